#include "processor/FactoryProgramTable.h"

namespace gribb
{
const std::array<const char*, numFactoryPrograms> factoryProgramNames {
    "01. Vorlen Pakkt Wobble",
    "02. Deep Fried 808",
    "03. Wavedash Pluck",
    "04. See.Quelmor Sub",
    "05. Final Destination",
    "06. Hard Reset Kicker",
    "07. Overclocked CPU",
    "08. CRT Scanline Pad",
    "09. Tarvek's Bounce",
    "10. 100 Wubz Sugar",
    "11. Blow the Cartridge",
    "12. N64 Startup Chord",
    "13. Hyrule Temple",
    "14. Dial-Up Scream",
    "15. Sausage Replacer",
    "16. Glitchcore Arp",
    "17. Burnt Feathers",
    "18. 8-Bit Heartbreak",
    "19. The Mexican Tour",
    "20. Motherboard Melt",
};

namespace
{
constexpr int programsPerPage = 10;

// A program that does not list a parameter leaves it at whatever value it had.
constexpr std::optional<float> keep = std::nullopt;

struct ProgramRow
{
    ParamIndex parameter;
    std::array<std::optional<float>, programsPerPage> values;
};

using ProgramPage = std::array<ProgramRow, numParameters>;

// Plain values in the parameter's own unit; choices by index:
//   oscType 0 Square, 1 Triangle, 2 FM;  oversample 0 Off, 1 2x, 2 4x;
//   lfoShape 0 Sine, 1 Triangle, 2 Square, 3 Random.

// clang-format off
constexpr ProgramPage programs0to9 {{
    //                 0       1      2       3       4      5       6      7      8      9
    { oscType,       { 2,      1,     0,      1,      2,     1,      0,     1,     0,     0     } },
    { pulseWidth,    { 0.5f,   0.5f,  0.25f,  keep,   keep,  keep,   0.5f,  keep,  0.5f,  0.15f } },
    { fmRatio,       { 1,      2,     2,      keep,   3,     keep,   keep,  keep,  keep,  keep  } },
    { fmIndex,       { 6,      0.5f,  0,      0,      8,     0,      2,     keep,  keep,  keep  } },
    { attack,        { 0.005f, 0.002f, 0.001f, 0.01f, 0.004f, 0.001f, 0.001f, 0.6f, 0.002f, 0.001f } },
    { decay,         { 0.2f,   0.6f,  0.12f,  0.8f,   0.3f,  0.18f,  0.2f,  1,     0.15f, 0.1f  } },
    { sustain,       { 0.9f,   0.55f, 0,      0.9f,   0.85f, 0,      0.6f,  0.8f,  0.7f,  0.75f } },
    { release,       { 0.25f,  0.6f,  0.08f,  0.8f,   0.2f,  0.12f,  0.1f,  1.5f,  0.15f, 0.1f  } },
    { unison,        { 8,      0,     0,      3,      6,     0,      keep,  22,    keep,  14    } },
    { cutoff,        { 1200,   6000,  9000,   3500,   2200,  5000,   8000,  3500,  6500,  15000 } },
    { resonance,     { 2.8f,   0.7f,  1.2f,   0.5f,   3.5f,  1.5f,   2,     0.6f,  2.2f,  2.8f  } },
    { drive,         { 8,      14,    3,      4,      18,    22,     10,    2.5f,  12,    9     } },
    { hardClip,      { 0.15f,  0.35f, 0.05f,  0,      0.45f, 0.6f,   0.3f,  0,     0.5f,  0.4f  } },
    { oversample,    { 2,      2,     1,      2,      2,     2,      1,     1,     2,     2     } },
    { bitDepth,      { 16,     12,    8,      16,     14,    15,     6,     12,    14,    9     } },
    { srReduce,      { 0,      0.1f,  0,      0,      0.05f, 0,      0.7f,  0.15f, keep,  0     } },
    { lfoRate,       { 6,      1,     2,      keep,   8,     keep,   20,    0.3f,  keep,  keep  } },
    { lfoShape,      { 0,      0,     1,      keep,   2,     keep,   3,     0,     keep,  keep  } },
    { lfoToCutoff,   { 0.85f,  0,     0.1f,   keep,   0.9f,  keep,   0.6f,  0.3f,  keep,  keep  } },
    { lfoToFm,       { 0.4f,   0,     0,      keep,   0.6f,  keep,   0.5f,  keep,  keep,  keep  } },
    { outputGain,    { -6,     -7,    -5,     -6,     -7,    -5,     -8,    -8,    -6,    -6    } },
    { reactiveRoast, { 1,      1,     1,      keep,   keep,  keep,   keep,  keep,  keep,  keep  } },
}};

constexpr ProgramPage programs10to19 {{
    //                 10     11      12      13      14      15      16      17     18      19
    { oscType,       { 0,     2,      1,      0,      0,      2,      0,      0,     0,      2     } },
    { pulseWidth,    { 0.5f,  keep,   keep,   0.5f,   0.5f,   keep,   0.35f,  0.5f,  0.4f,   keep  } },
    { fmRatio,       { keep,  1,      keep,   keep,   keep,   2.5f,   keep,   keep,  keep,   5     } },
    { fmIndex,       { 4,     3.5f,   0,      3,      keep,   2,      keep,   keep,  keep,   18    } },
    { attack,        { 0.3f,  0.05f,  0.002f, 0.05f,  0.004f, 0.001f, 0.002f, 0.01f, 0.003f, 0.001f } },
    { decay,         { 0.5f,  0.8f,   0.3f,   0.4f,   0.4f,   0.1f,   0.2f,   0.3f,  0.22f,  0.3f  } },
    { sustain,       { 0.5f,  0.85f,  0.2f,   0.7f,   0.9f,   0.3f,   0.8f,   0.7f,  0.4f,   0.9f  } },
    { release,       { 0.5f,  1.2f,   0.4f,   0.3f,   0.3f,   0.08f,  0.15f,  0.4f,  0.18f,  0.2f  } },
    { unison,        { keep,  5,      keep,   keep,   40,     keep,   10,     keep,  5,      30    } },
    { cutoff,        { 12000, 9000,   7000,   800,    4000,   10000,  5500,   6000,  4500,   1600  } },
    { resonance,     { 3,     0.8f,   4,      8,      1.5f,   2.5f,   3,      1,     2,      6     } },
    { drive,         { 6,     2,      3,      7,      16,     6,      26,     2,     10,     45    } },
    { hardClip,      { 0.2f,  0,      0.05f,  0.2f,   0.55f,  0.25f,  0.5f,   0,     0.3f,   0.9f  } },
    { oversample,    { 1,     2,      1,      2,      2,      1,      2,      1,     2,      2     } },
    { bitDepth,      { 4,     16,     12,     10,     15,     8,      13,     8,     14,     3     } },
    { srReduce,      { 0.5f,  keep,   keep,   0.2f,   keep,   0.1f,   keep,   0.05f, keep,   0.6f  } },
    { lfoRate,       { 0.2f,  keep,   keep,   0.4f,   keep,   12,     keep,   5.5f,  4,      10    } },
    { lfoShape,      { 1,     keep,   keep,   1,      keep,   3,      keep,   0,     2,      3     } },
    { lfoToCutoff,   { 1,     keep,   keep,   1,      keep,   0.4f,   keep,   keep,  0.5f,   1     } },
    { lfoToFm,       { keep,  keep,   keep,   keep,   keep,   0.9f,   keep,   0.15f, keep,   1     } },
    { outputGain,    { -9,    -7,     -6,     -8,     -5,     -6,     -7,     -6,    -6,     -10   } },
    { reactiveRoast, { keep,  keep,   keep,   keep,   keep,   keep,   keep,   keep,  keep,   keep  } },
}};
// clang-format on

constexpr bool rowsFollowParameterOrder (const ProgramPage& page)
{
    for (int i = 0; i < numParameters; ++i)
        if (page[(std::size_t) i].parameter != i)
            return false;
    return true;
}

static_assert (rowsFollowParameterOrder (programs0to9));
static_assert (rowsFollowParameterOrder (programs10to19));
} // namespace

std::optional<float> factoryProgramValue (int program, ParamIndex parameter) noexcept
{
    if (program < 0 || program >= numFactoryPrograms || parameter < 0 || parameter >= numParameters)
        return std::nullopt;

    const auto& page = program < programsPerPage ? programs0to9 : programs10to19;
    return page[(std::size_t) parameter].values[(std::size_t) (program % programsPerPage)];
}
} // namespace gribb
