#pragma once

#include "processor/GribbTazoAudioProcessor.h"
#include "support/PitchCases.h"
#include "support/PitchMeasure.h"
#include "support/ProcessorTestHelpers.h"

namespace gribb::test
{
/** Plays a pitch case through a processor (the triangle oscillator, everything else at its
    default) for `seconds` and returns channel 0. */
inline juce::AudioBuffer<float> renderPitchCase (const PitchCase& c, double sampleRate = 48000.0, double seconds = 1.0)
{
    GribbTazoAudioProcessor processor;
    setPlain (processor, "oscType", 1.0f);
    if (c.bendRange > 0.0f)
        processor.pitchSettings.setBendRange (c.bendRange);
    processor.pitchSettings.setFollowMpe (c.followMpe);
    juce::String error;
    if (c.scale != nullptr)
        EXPECT_TRUE (processor.pitchSettings.setScaleText (c.scale, error)) << error;
    if (c.mapping != nullptr)
        EXPECT_TRUE (processor.pitchSettings.setMappingText (c.mapping, error)) << error;

    constexpr int blockSize = 512;
    processor.prepareToPlay (sampleRate, blockSize);
    const int total = (int) (sampleRate * seconds);
    juce::AudioBuffer<float> out (1, total);
    out.clear();
    juce::AudioBuffer<float> block (2, blockSize);

    for (int done = 0; done < total; done += blockSize)
    {
        juce::MidiBuffer midi;
        if (done == 0)
        {
            for (const auto& m : c.before)
                midi.addEvent (m, 0);
            midi.addEvent (juce::MidiMessage::noteOn (c.channel, c.note, (juce::uint8) 100), 0);
        }
        block.clear();
        processor.processBlock (block, midi);
        out.copyFrom (0, done, block, 0, 0, juce::jmin (blockSize, total - done));
    }
    return out;
}
} // namespace gribb::test
