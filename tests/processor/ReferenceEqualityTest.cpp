// The processor against the reference processing (tests/support/ReferenceProcessor.h) on long
// renders: note starts, releases, resonant ringing, idle stretches and notes after idle, for every
// oscillator shape, oversampling setting and degradation setting. The filter, the oversampler and
// the drive do the same arithmetic in the same order as the reference, so every sample must be
// equal (compared as values: an exactly silent sample may be +0 in one and -0 in the other).
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "support/ProcessorAccess.h"
#include "support/ReferenceProcessor.h"
#include "support/SameSamples.h"

using namespace gribb::test;
using Inspector = GribbTazoAudioProcessorInspector;

namespace
{
using Settings = std::vector<std::pair<const char*, float>>;

struct Case
{
    std::string name;
    double sampleRate;
    int channels;
    int preparedBlock;
    std::vector<int> blockSizes; // cycled
    Settings settings;
};

// Test names and failure messages show the case by its name.
void PrintTo (const Case& c, std::ostream* os) { *os << c.name; }

// A resonant, driven, LFO-swept patch with a short release: the filter rings on after the notes.
const Settings ringingPatch { { "resonance", 8.0f }, { "cutoff", 2500.0f }, { "release", 0.2f },
                              { "lfoRate", 3.0f }, { "lfoToCutoff", 0.5f }, { "lfoToFm", 0.3f },
                              { "drive", 4.0f }, { "hardClip", 0.2f }, { "unison", 9.0f } };

std::vector<Case> cases()
{
    std::vector<Case> list;
    const std::pair<const char*, Settings> degradations[] = {
        { "clean", {} },
        { "fractionalBits", { { "bitDepth", 4.5f } } },
        { "reducedAndCrushed", { { "srReduce", 0.6f }, { "bitDepth", 7.3f } } },
    };
    for (int shape = 0; shape < 3; ++shape)
        for (int oversample = 0; oversample < 3; ++oversample)
            for (const auto& [degradationName, degradation] : degradations)
            {
                Settings s = ringingPatch;
                s.push_back ({ "oscType", (float) shape });
                s.push_back ({ "oversample", (float) oversample });
                s.insert (s.end(), degradation.begin(), degradation.end());
                list.push_back ({ "shape" + std::to_string (shape) + "_oversample" + std::to_string (oversample) + "_"
                                      + degradationName,
                                  48000.0, 2, 512, { 512 }, s });
            }

    // Odd block sizes, a block longer than prepared, mono, other rates, the random LFO shape.
    Settings random = ringingPatch;
    random.push_back ({ "lfoShape", 3.0f });
    random.push_back ({ "lfoRate", 11.0f });
    list.push_back ({ "oddBlocks_randomLfo", 48000.0, 2, 256, { 256, 77, 1, 300, 200 }, random });
    list.push_back ({ "mono_44k", 44100.0, 1, 512, { 512, 129 }, ringingPatch });
    list.push_back ({ "rate22k_bits", 22050.0, 2, 128, { 128, 64 }, { { "bitDepth", 3.3f }, { "resonance", 10.0f } } });
    list.push_back ({ "rate192k_defaults", 192000.0, 2, 1024, { 1024 }, {} });
    list.push_back ({ "fmWithoutUnison", 48000.0, 2, 512, { 512 },
                      { { "oscType", 2.0f }, { "fmIndex", 5.0f }, { "fmRatio", 3.5f }, { "lfoToFm", 0.7f } } });
    list.push_back ({ "triangleWithoutUnison", 96000.0, 2, 480, { 480, 33 }, { { "oscType", 1.0f }, { "oversample", 2.0f } } });
    return list;
}

juce::MidiBuffer notesOn (int first, int count, int sample)
{
    juce::MidiBuffer midi;
    for (int i = 0; i < count; ++i)
        midi.addEvent (juce::MidiMessage::noteOn (1 + i, first + 7 * i, (juce::uint8) (70 + 10 * i)), sample);
    return midi;
}

juce::MidiBuffer notesOff (int first, int count, int sample)
{
    juce::MidiBuffer midi;
    for (int i = 0; i < count; ++i)
        midi.addEvent (juce::MidiMessage::noteOff (1 + i, first + 7 * i), sample);
    return midi;
}

class ReferenceEquality : public ::testing::TestWithParam<Case> {};

std::string caseName (const ::testing::TestParamInfo<Case>& param) { return param.param.name; }
} // namespace

TEST_P (ReferenceEquality, SameSamplesAndMeterAsTheReference)
{
    const auto& c = GetParam();
    GribbTazoAudioProcessor processor;
    ReferenceProcessor reference (processor);
    for (const auto& [id, value] : c.settings)
        setPlain (processor, id, value);

    processor.prepareToPlay (c.sampleRate, c.preparedBlock);
    reference.prepareToPlay (c.sampleRate, c.preparedBlock);
    for (auto* lfo : { &Inspector::lfo (processor), &reference.lfo })
    {
        lfo->random.setSeed (20261210);
        lfo->drawRandom();
    }

    // Time in seconds: chord, hold, release and ring, a long idle stretch, a note straight after
    // idle, its release, another idle stretch.
    const auto at = [&] (double seconds) { return (juce::int64) (seconds * c.sampleRate); };
    struct Event { juce::int64 sample; juce::MidiBuffer midi; };
    const std::vector<Event> events {
        { at (0.01), notesOn (48, 4, 0) },  { at (0.5), notesOff (48, 4, 0) },
        { at (3.0), notesOn (60, 2, 0) },   { at (3.3), notesOff (60, 2, 0) },
        { at (3.31), notesOn (36, 1, 0) },  { at (3.6), notesOff (36, 1, 0) },
    };
    const juce::int64 total = at (6.0);

    juce::AudioBuffer<float> ours (c.channels, 4096), theirs (c.channels, 4096);
    juce::int64 position = 0;
    int blockIndex = 0, idleBlocks = 0, idleBlocksAfterSound = 0;
    size_t nextEvent = 0;
    bool sounded = false;

    while (position < total)
    {
        const int size = c.blockSizes[(size_t) blockIndex++ % c.blockSizes.size()];
        ours.setSize (c.channels, size, false, false, true);
        theirs.setSize (c.channels, size, false, false, true);

        // Events land at their sample within the block that covers it.
        const size_t nextEventBefore = nextEvent;
        juce::MidiBuffer midi;
        while (nextEvent < events.size() && events[nextEvent].sample < position + size)
        {
            const int offset = (int) juce::jmax ((juce::int64) 0, events[nextEvent].sample - position);
            for (const auto metadata : events[nextEvent].midi)
                midi.addEvent (metadata.getMessage(), offset);
            ++nextEvent;
        }
        juce::MidiBuffer midiCopy (midi);

        sounded = sounded || nextEventBefore > 0;
        const bool idleBefore = Inspector::chainIsIdle (processor) && midi.isEmpty();
        idleBlocks += idleBefore ? 1 : 0;
        idleBlocksAfterSound += idleBefore && sounded ? 1 : 0;

        processor.processBlock (ours, midi);
        reference.processBlock (theirs, midiCopy);

        ASSERT_TRUE (sameSamples (ours, theirs, size, c.name + ": block from sample " + std::to_string (position)));
        ASSERT_EQ (processor.roastLevel.load(), reference.roastLevel.load()) << c.name << " at sample " << position;
        position += size;
    }

    // The renders must have gone through the idle shortcut, also after the notes had sounded
    // (the ring died away within the stretch), or the comparison proves little.
    EXPECT_GT (idleBlocks, 0) << c.name;
    EXPECT_GT (idleBlocksAfterSound, 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P (EveryShapeOversamplingAndDegradation, ReferenceEquality, ::testing::ValuesIn (cases()), caseName);
