// A seeded random-mutation fuzzer for restoring saved state. It starts from valid blocks (every
// factory program, with and without hand edits), mutates them (bit flips, byte edits, truncation,
// length-field edits, XML edits) or makes up random bytes, and feeds each input to
// setStateInformation. After every input the processor must hold only legal, finite values, and
// it must still save a block that restores itself exactly; now and then it also renders audio.
// Crashes, out-of-bounds access and leaks show up in the AddressSanitizer build.
//
// The test suite runs a bounded number of inputs (5000). A longer run, from the build folder:
//   GRIBB_FUZZ_ITERATIONS=300000 GRIBB_FUZZ_SEED=7 tests/fuzz/gribb_state_fuzz
// (about a minute in a Release build; the program prints its seed, so a failure can be repeated).
// An input that fails a check is written to gribb-fuzz-failure.bin in the temporary folder; one
// that runs longer than GRIBB_FUZZ_HANG_SECONDS (default 60) to gribb-fuzz-hang.bin, and one
// behind an AddressSanitizer report to gribb-fuzz-crash.bin. A second test feeds preset files,
// mutated the same way, through the preset reader and applies what it accepts.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "support/FuzzSupport.h"
#include "support/StateBlocks.h"

#include "processor/SavedStateText.h"
#include "processor/UserPresets.h"

using gribb::test::ProcessorSnapshot;
using gribb::test::savedState;
using gribb::test::environmentNumber;
using gribb::test::fuzzDumpFile;

namespace
{
using Bytes = std::vector<juce::uint8>;

constexpr int defaultIterations = 5000;

Bytes toBytes (const juce::MemoryBlock& block)
{
    const auto* data = static_cast<const juce::uint8*> (block.getData());
    return Bytes (data, data + block.getSize());
}

const char* const dictionary[] = {
    "<", ">", "/>", "</", "\"", "'", "&", "&amp;", "&#", "&#x", "&#x4", "&<", "&<a>&#x41;", "&#0;", "&#60;", "&lt;", ";", "=", " ",
    "<!--", "-->", "<![CDATA[", "]]>", "<?", "?>", "<!DOCTYPE", "<!ENTITY", "base64:", " base64:value=\"-1.ab\"", " base64:x=\"12.abcd\"",
    "<PARAMETERS>", "</PARAMETERS>", "<PARAM id=\"cutoff\" value=\"nan\"/>", "<PARAM id=\"oscType\" value=\"1e30\"/>",
    "<PARAM id=\"nothing\" value=\"1\"/>", "<PARAM/>", "<PARAM id=\"drive\"/>",
    " currentProgram=\"", "currentProgram", " id=\"", " value=\"", "PARAM", "PARAMETERS",
    "nan", "-nan", "inf", "-inf", "1e39", "-1e39", "4294967296", "-2147483648", "2147483647", "0x10", "1.5e-45",
    "\xc3\xa9", "\xf0\x9f\x90\x94", "\xff", "\xc0", "\x00",
};

class Mutator
{
public:
    explicit Mutator (std::uint64_t seed) : rng (seed) {}

    int below (int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int> (0, n - 1) (rng); }
    bool chance (int percent) { return below (100) < percent; }

    Bytes mutate (const Bytes& seedBlock)
    {
        if (chance (6))
            return randomBytes();

        auto data = seedBlock;
        const int rounds = 1 + below (chance (20) ? 12 : 3);
        bool textEdited = false;

        for (int r = 0; r < rounds; ++r)
        {
            switch (below (9))
            {
                case 0: flipBits (data); break;
                case 1: setBytes (data); break;
                case 2: truncate (data); break;
                case 3: editLengthField (data); break;
                case 4: insertToken (data); textEdited = true; break;
                case 5: eraseSpan (data); textEdited = true; break;
                case 6: duplicateSpan (data); textEdited = true; break;
                case 7: editNumber (data); textEdited = true; break;
                default: appendRandom (data); break;
            }
        }

        // Text edits usually come with a matching length, so that the XML parser sees them.
        if (textEdited && data.size() >= 9 && chance (80))
            writeLength (data, (juce::uint32) (data.size() - 9));

        return data;
    }

private:
    std::mt19937_64 rng;

    juce::uint8 randomByte() { return (juce::uint8) below (256); }

    Bytes randomBytes()
    {
        Bytes data ((size_t) below (chance (10) ? 4096 : 64));
        for (auto& b : data)
            b = randomByte();

        if (data.size() >= 8 && chance (50))
        {
            const juce::uint8 magic[] = { 0x56, 0x43, 0x32, 0x21 };
            std::copy (std::begin (magic), std::end (magic), data.begin());
            writeLength (data, (juce::uint32) below ((int) data.size() + 16));
        }

        return data;
    }

    static void writeLength (Bytes& data, juce::uint32 length)
    {
        if (data.size() < 8)
            return;
        for (int i = 0; i < 4; ++i)
            data[(size_t) (4 + i)] = (juce::uint8) (length >> (8 * i));
    }

    // Most edits land in the text, after the header.
    size_t position (const Bytes& data)
    {
        if (data.empty())
            return 0;
        return (size_t) (data.size() > 8 && chance (90) ? 8 + below ((int) data.size() - 8) : below ((int) data.size()));
    }

    void flipBits (Bytes& data)
    {
        for (int n = 1 + below (8); --n >= 0 && ! data.empty();)
            data[position (data)] ^= (juce::uint8) (1u << below (8));
    }

    void setBytes (Bytes& data)
    {
        static const juce::uint8 interesting[] = { 0, 0xff, 0x7f, 0x80, '<', '>', '/', '"', '&', ';', '=', ' ', '-', '9' };
        for (int n = 1 + below (4); --n >= 0 && ! data.empty();)
            data[position (data)] = chance (50) ? interesting[below ((int) std::size (interesting))] : randomByte();
    }

    void truncate (Bytes& data)
    {
        data.resize ((size_t) below ((int) data.size() + 1));
    }

    void editLengthField (Bytes& data)
    {
        if (data.size() < 8)
            return;

        const auto size = (juce::uint32) data.size();
        const juce::uint32 choices[] = { 0u, 1u, 0xffffffffu, 0x80000000u, 0x7fffffffu, size - 9u, size - 8u, size,
                                         size + 1u, size / 2u, (juce::uint32) below (1 << 20) };
        writeLength (data, choices[below ((int) std::size (choices))]);
    }

    void insertToken (Bytes& data)
    {
        const std::string token = below (60) == 0 ? std::string (1, '\0') : dictionary[below ((int) std::size (dictionary))];
        const auto at = std::min (position (data), data.size());
        data.insert (data.begin() + (std::ptrdiff_t) at, token.begin(), token.end());
    }

    void eraseSpan (Bytes& data)
    {
        if (data.empty())
            return;
        const auto at = position (data);
        const auto length = std::min (data.size() - at, (size_t) 1 + (size_t) below (chance (20) ? 200 : 12));
        data.erase (data.begin() + (std::ptrdiff_t) at, data.begin() + (std::ptrdiff_t) (at + length));
    }

    void duplicateSpan (Bytes& data)
    {
        if (data.empty())
            return;
        const auto from = position (data);
        const auto length = std::min (data.size() - from, (size_t) 1 + (size_t) below (chance (10) ? 400 : 40));
        const Bytes span (data.begin() + (std::ptrdiff_t) from, data.begin() + (std::ptrdiff_t) (from + length));
        const auto to = std::min (position (data), data.size());
        for (int copies = chance (10) ? 1 + below (20) : 1; --copies >= 0;)
            data.insert (data.begin() + (std::ptrdiff_t) to, span.begin(), span.end());
    }

    // Replaces a run of digits with another number, in range or far outside it.
    void editNumber (Bytes& data)
    {
        if (data.size() <= 8)
            return;

        auto at = position (data);
        while (at < data.size() && ! (data[at] >= '0' && data[at] <= '9'))
            ++at;
        auto end = at;
        while (end < data.size() && ((data[end] >= '0' && data[end] <= '9') || data[end] == '.' || data[end] == '-'))
            ++end;
        if (at >= data.size())
            return;

        const char* const numbers[] = { "0", "-1", "1e9", "-1e9", "nan", "inf", "-inf", "0.0001", "99999999999", "3", "19", "20", "42" };
        const std::string replacement = numbers[below ((int) std::size (numbers))];
        data.erase (data.begin() + (std::ptrdiff_t) at, data.begin() + (std::ptrdiff_t) end);
        data.insert (data.begin() + (std::ptrdiff_t) at, replacement.begin(), replacement.end());
    }

    void appendRandom (Bytes& data)
    {
        for (int n = 1 + below (16); --n >= 0;)
            data.push_back (randomByte());
    }
};

/** The input being restored, kept where a sanitizer's death callback can write it out. */
Bytes* inputInFlight = nullptr;

#if defined(__SANITIZE_ADDRESS__)
extern "C" void __sanitizer_set_death_callback (void (*callback)());

void writeInputInFlight()
{
    if (inputInFlight == nullptr)
        return;

    if (auto* file = std::fopen (fuzzDumpFile ("gribb-fuzz-crash.bin").getFullPathName().toRawUTF8(), "wb"))
    {
        std::fwrite (inputInFlight->data(), 1, inputInFlight->size(), file);
        std::fclose (file);
    }
}
#endif

/** Valid blocks to start from: defaults, every program, programs with hand edits. */
std::vector<Bytes> makeSeeds (std::uint64_t seed)
{
    std::vector<Bytes> seeds;
    std::mt19937_64 rng (seed ^ 0x5eedULL);

    GribbTazoAudioProcessor processor;
    seeds.push_back (toBytes (savedState (processor)));

    for (int program = 0; program < 20; ++program)
    {
        processor.setCurrentProgram (program);
        seeds.push_back (toBytes (savedState (processor)));

        auto* parameter = processor.getParameters()[(int) (rng() % (std::uint64_t) gribb::numParameters)];
        parameter->setValueNotifyingHost (std::uniform_real_distribution<float> (0.0f, 1.0f) (rng));
        seeds.push_back (toBytes (savedState (processor)));
    }

    return seeds;
}

/** Every parameter holds a finite value inside its range. */
void expectLegalValues (GribbTazoAudioProcessor& processor, long long input)
{
    for (const auto& spec : gribb::parameterTable)
    {
        const auto value = processor.parameters.getRawParameterValue (spec.id)->load();
        const auto low = spec.kind == gribb::ParameterSpec::Kind::choice ? 0.0f : spec.start;
        const auto high = spec.kind == gribb::ParameterSpec::Kind::choice ? (float) (spec.numChoices() - 1) : spec.end;
        ASSERT_TRUE (std::isfinite (value) && value >= low && value <= high)
            << spec.id << " = " << value << " after input " << input;
    }
}

/** Renders a short block with a note and checks that the output stays finite. */
void expectFiniteAudio (GribbTazoAudioProcessor& processor, long long input)
{
    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 0);
    midi.addEvent (juce::MidiMessage::noteOff (1, 60), 200);
    processor.processBlock (buffer, midi);

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i))) << "channel " << ch << " sample " << i << " after input " << input;
}

/** Keeps the input of one fuzz run wherever the run fails: it is written to a file in the
    temporary folder when one step hangs (`hangFile`, by the watchdog, which then aborts), when
    AddressSanitizer reports (gribb-fuzz-crash.bin), and when the test ends with a fatal failure
    (`failureFile`), whichever check stopped it (an ASSERT_* returns from the test at once). The
    run brackets each step with `watchdog.starting()` and `watchdog.finished()`. */
class FuzzInputKeeper
{
public:
    FuzzInputKeeper (Bytes& input, const char* hangFile, const char* failureFile)
        : watchdog ((int) environmentNumber ("GRIBB_FUZZ_HANG_SECONDS", 60), [&input, hangFile] { write (input, hangFile); }),
          data (input),
          failureName (failureFile)
    {
        inputInFlight = &input;
       #if defined(__SANITIZE_ADDRESS__)
        __sanitizer_set_death_callback (writeInputInFlight);
       #endif
    }

    ~FuzzInputKeeper()
    {
        inputInFlight = nullptr;

        if (::testing::Test::HasFatalFailure())
            write (data, failureName);
    }

    gribb::test::HangWatchdog watchdog;

private:
    static void write (const Bytes& input, const char* name)
    {
        const auto dump = fuzzDumpFile (name);
        dump.replaceWithData (input.data(), input.size());
        std::cout << "[fuzz] the input is written to " << dump.getFullPathName() << std::endl;
    }

    const Bytes& data;
    const char* failureName;

    JUCE_DECLARE_NON_COPYABLE (FuzzInputKeeper)
};

/** Every check made after one input; a fatal failure stops here and the caller saves the input. */
void checkProcessorAfterInput (GribbTazoAudioProcessor& processor, long long input, bool changed, long long& savedOutsideLimits)
{
    expectLegalValues (processor, input);
    if (::testing::Test::HasFatalFailure())
        return;

    // Whatever was restored saves into a block that restores to the same values. (A restored
    // tree keeps foreign elements and text that JUCE escapes on writing, so a crafted input
    // just inside the size limits can save a block just outside them; those are counted.)
    if (input % 16 == 0 || changed)
    {
        const auto block = savedState (processor);

        if (gribb::readSavedStateText (block.getData(), (int) block.getSize()).has_value())
        {
            GribbTazoAudioProcessor copy;
            copy.setStateInformation (block.getData(), (int) block.getSize());
            const auto original = ProcessorSnapshot::of (processor);
            const auto restored = ProcessorSnapshot::of (copy);
            ASSERT_EQ (restored.program, original.program) << "after input " << input;

            for (size_t i = 0; i < original.values.size(); ++i)
                ASSERT_NEAR (restored.values[i], original.values[i], 1.0e-6f * std::max (1.0f, std::abs (original.values[i])))
                    << gribb::parameterTable[i].id << " after input " << input;
        }
        else
        {
            ++savedOutsideLimits;
        }
    }

    if (input % 64 == 0)
        expectFiniteAudio (processor, input);
}
} // namespace

TEST (StateFuzz, MutatedAndRandomBlocksNeverLeaveTheProcessorBroken)
{
    const auto iterations = environmentNumber ("GRIBB_FUZZ_ITERATIONS", defaultIterations);
    const auto seed = (std::uint64_t) environmentNumber ("GRIBB_FUZZ_SEED", 20261210);
    std::cout << "[fuzz] seed " << seed << ", " << iterations << " inputs" << std::endl;

    auto corpus = makeSeeds (seed);
    const auto numSeeds = corpus.size();
    Mutator mutator (seed);

    GribbTazoAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    Bytes data;
    FuzzInputKeeper keeper (data, "gribb-fuzz-hang.bin", "gribb-fuzz-failure.bin");
    auto& watchdog = keeper.watchdog;

    long long restored = 0, ignored = 0, savedOutsideLimits = 0;
    double slowestMs = 0.0;
    size_t largest = 0;

    for (long long input = 0; input < iterations; ++input)
    {
        const auto& base = corpus[(size_t) mutator.below ((int) corpus.size())];
        data = mutator.mutate (base);
        largest = std::max (largest, data.size());

        const auto before = ProcessorSnapshot::of (processor);
        const auto start = std::chrono::steady_clock::now();
        watchdog.starting();
        processor.setStateInformation (data.empty() ? nullptr : data.data(), (int) data.size());
        watchdog.finished();
        slowestMs = std::max (slowestMs, std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count());

        const bool changed = ! (ProcessorSnapshot::of (processor) == before);
        (changed ? restored : ignored) += 1;

        checkProcessorAfterInput (processor, input, changed, savedOutsideLimits);

        if (::testing::Test::HasFatalFailure())
            return; // the keeper writes the input

        if (input > 0 && input % 20000 == 0)
            std::cout << "[fuzz] " << input << " inputs, restored " << restored << ", slowest " << slowestMs << " ms" << std::endl;

        // Inputs that restored something are worth mutating further.
        if (changed && corpus.size() < numSeeds + 2000)
            corpus.push_back (data);
    }

    std::cout << "[fuzz] restored " << restored << ", ignored " << ignored << ", corpus " << corpus.size()
              << ", largest input " << largest << " bytes, slowest input " << slowestMs << " ms, saved blocks outside the limits "
              << savedOutsideLimits << std::endl;

    // Both paths must have been exercised, or the mutations have stopped being useful.
    if (iterations >= 1000)
    {
        EXPECT_GT (restored, iterations / 50);
        EXPECT_GT (ignored, iterations / 50);
    }
}

TEST (StateFuzz, MutatedAndRandomPresetFilesNeverLeaveTheProcessorBroken)
{
    // Preset files hold the saved state's XML without the block around it and go through the same
    // hardened reader; the same mutations (header edits land in the XML declaration) apply.
    const auto iterations = environmentNumber ("GRIBB_FUZZ_ITERATIONS", defaultIterations);
    const auto seed = (std::uint64_t) environmentNumber ("GRIBB_FUZZ_SEED", 20261210) + 1;
    std::cout << "[fuzz] presets: seed " << seed << ", " << iterations << " inputs" << std::endl;

    std::vector<Bytes> corpus;
    {
        GribbTazoAudioProcessor source;
        for (int program = 0; program < 20; ++program)
        {
            source.setCurrentProgram (program);
            const auto text = gribb::presetText (source.parameters, GribbTazoAudioProcessor::getProgramNames()[program]);
            const auto* utf8 = text.toRawUTF8();
            corpus.emplace_back (utf8, utf8 + text.getNumBytesAsUTF8());
        }
    }
    const auto numSeeds = corpus.size();
    Mutator mutator (seed);

    GribbTazoAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    Bytes data;
    FuzzInputKeeper keeper (data, "gribb-fuzz-preset-hang.gribbpreset", "gribb-fuzz-preset-failure.gribbpreset");
    auto& watchdog = keeper.watchdog;

    long long loaded = 0, refused = 0;

    for (long long input = 0; input < iterations; ++input)
    {
        data = mutator.mutate (corpus[(size_t) mutator.below ((int) corpus.size())]);

        watchdog.starting();
        const auto result = gribb::readPresetText (data.empty() ? nullptr : data.data(), data.size());
        watchdog.finished();

        if (result.preset.has_value())
        {
            ++loaded;
            ASSERT_TRUE (result.problem.isEmpty());
            ASSERT_FALSE (result.preset->values.empty());
            gribb::applyUserPreset (processor.parameters, *result.preset);

            if (corpus.size() < numSeeds + 2000)
                corpus.push_back (data);
        }
        else
        {
            ++refused;
            ASSERT_TRUE (result.problem.isNotEmpty() && ! result.problem.containsAnyOf ("\r\n") && result.problem.length() <= 120)
                << "input " << input << ": " << result.problem;
        }

        expectLegalValues (processor, input);
        if (input % 64 == 0)
            expectFiniteAudio (processor, input);

        if (::testing::Test::HasFatalFailure())
            return; // the keeper writes the input
    }

    std::cout << "[fuzz] presets: loaded " << loaded << ", refused " << refused << ", corpus " << corpus.size() << std::endl;

    if (iterations >= 1000)
    {
        EXPECT_GT (loaded, iterations / 50);
        EXPECT_GT (refused, iterations / 50);
    }
}
