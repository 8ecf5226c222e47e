#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace gribb
{
/** How one host-automatable parameter is declared. Plain values are in the parameter's own unit
    (seconds, Hz, dB, cents, choice index); only the host interface sees normalised values. */
struct ParameterSpec
{
    enum class Kind { floating, choice };

    const char* id;
    const char* name;
    Kind kind;
    float start, end, interval, skew;   // float parameters only
    float defaultValue;                 // plain value; a choice's default index
    std::array<const char*, 4> choices; // choice parameters only, unused slots are nullptr
    const char* unit = "";              // the plain value's unit, for tools and documents; hosts
                                        // see no unit label

    constexpr int numChoices() const noexcept
    {
        int n = 0;
        for (auto* c : choices)
            n += (c != nullptr) ? 1 : 0;
        return n;
    }
};

/** Index of each parameter in the table below, which is also the index the host sees. */
enum ParamIndex : int
{
    oscType, pulseWidth, fmRatio, fmIndex, attack, decay, sustain, release, unison,
    cutoff, resonance, drive, hardClip, oversample, bitDepth, srReduce,
    lfoRate, lfoShape, lfoToCutoff, lfoToFm, outputGain, reactiveRoast,
    numParameters
};

inline constexpr ParameterSpec floatParam (const char* id, const char* name, float start, float end,
                                           float interval, float skew, float def, const char* unit = "")
{
    return { id, name, ParameterSpec::Kind::floating, start, end, interval, skew, def, { nullptr, nullptr, nullptr, nullptr }, unit };
}

inline constexpr ParameterSpec choiceParam (const char* id, const char* name,
                                            std::array<const char*, 4> choices, int def)
{
    return { id, name, ParameterSpec::Kind::choice, 0.0f, 0.0f, 1.0f, 1.0f, (float) def, choices, "" };
}

/** The single source of truth for the 22 parameters, in host order. */
inline constexpr std::array<ParameterSpec, numParameters> parameterTable {{
    choiceParam ("oscType",       "Oscillator",      { "Square", "Triangle", "FM", nullptr }, 0),
    floatParam  ("pulseWidth",    "Pulse Width",     0.05f, 0.95f,   0.001f, 1.0f,  0.5f),
    floatParam  ("fmRatio",       "FM Ratio",        0.25f, 12.0f,   0.01f,  1.0f,  2.0f),
    floatParam  ("fmIndex",       "FM Index",        0.0f,  24.0f,   0.01f,  1.0f,  0.0f, "rad"),
    floatParam  ("attack",        "Attack",          0.001f, 4.0f,   0.001f, 0.4f,  0.005f, "s"),
    floatParam  ("decay",         "Decay",           0.001f, 4.0f,   0.001f, 0.4f,  0.15f, "s"),
    floatParam  ("sustain",       "Sustain",         0.0f,  1.0f,    0.001f, 1.0f,  0.8f),
    floatParam  ("release",       "Release",         0.001f, 6.0f,   0.001f, 0.4f,  0.25f, "s"),
    floatParam  ("unison",        "Unison Detune",   0.0f,  50.0f,   0.1f,   1.0f,  0.0f, "cents"),
    floatParam  ("cutoff",        "Cutoff",          20.0f, 20000.0f, 0.1f,  0.25f, 12000.0f, "Hz"),
    floatParam  ("resonance",     "Resonance",       0.1f,  10.0f,   0.01f,  1.0f,  0.9f),
    floatParam  ("drive",         "Analog Drive",    1.0f,  50.0f,   0.01f,  0.4f,  1.0f),
    floatParam  ("hardClip",      "Hard Clip",       0.0f,  1.0f,    0.001f, 1.0f,  0.0f),
    choiceParam ("oversample",    "Oversampling",    { "Off", "2x", "4x", nullptr }, 1),
    floatParam  ("bitDepth",      "Bit Depth",       1.0f,  16.0f,   0.01f,  1.0f,  16.0f, "bits"),
    floatParam  ("srReduce",      "SR Reduction",    0.0f,  1.0f,    0.001f, 1.0f,  0.0f),
    floatParam  ("lfoRate",       "LFO Rate",        0.01f, 40.0f,   0.001f, 0.35f, 2.0f, "Hz"),
    choiceParam ("lfoShape",      "LFO Shape",       { "Sine", "Triangle", "Square", "Random" }, 0),
    floatParam  ("lfoToCutoff",   "LFO -> Cutoff",   0.0f,  1.0f,    0.001f, 1.0f,  0.0f),
    floatParam  ("lfoToFm",       "LFO -> FM Index", 0.0f,  1.0f,    0.001f, 1.0f,  0.0f),
    floatParam  ("outputGain",    "Output",          -48.0f, 6.0f,   0.1f,   1.0f,  -6.0f, "dB"),
    floatParam  ("reactiveRoast", "Reactive Roast",  0.0f,  1.0f,    0.001f, 1.0f,  1.0f),
}};

/** A parameter's default plain value (a choice's default index), for code that names its fields
    as the parameters are named (the engine's parameter values): ParamIndex::cutoff and the like. */
constexpr float defaultOf (ParamIndex index) noexcept { return parameterTable[(std::size_t) index].defaultValue; }

/** The table's index of a parameter ID, or -1 when no parameter has that ID. */
constexpr int parameterIndexOf (std::string_view id) noexcept
{
    for (std::size_t i = 0; i < parameterTable.size(); ++i)
        if (id == parameterTable[i].id)
            return (int) i;
    return -1;
}

// The enum above and the table must name the parameters in the same order.
static_assert (parameterIndexOf ("oscType") == oscType);
static_assert (parameterIndexOf ("unison") == unison);
static_assert (parameterIndexOf ("cutoff") == cutoff);
static_assert (parameterIndexOf ("oversample") == oversample);
static_assert (parameterIndexOf ("lfoShape") == lfoShape);
static_assert (parameterIndexOf ("reactiveRoast") == reactiveRoast);
} // namespace gribb
