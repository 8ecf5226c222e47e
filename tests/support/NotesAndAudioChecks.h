// Blocks of notes and checks of blocks of audio, for tests of the engine and of the processor.
#pragma once

#include <cmath>

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb::test
{
/** `count` notes a fourth apart from `firstNote`, each on a channel of its own (1, 2, ...), at
    velocity 110, all at `sample`. */
inline juce::MidiBuffer chord (int firstNote, int count, int sample = 0)
{
    juce::MidiBuffer midi;
    for (int i = 0; i < count; ++i)
        midi.addEvent (juce::MidiMessage::noteOn (1 + i % 16, firstNote + 5 * i, (juce::uint8) 110), sample);
    return midi;
}

/** True when the first numSamples samples (all of them for -1) of every channel are finite. */
inline bool allFinite (const juce::AudioBuffer<float>& buffer, int numSamples = -1)
{
    const int n = numSamples < 0 ? buffer.getNumSamples() : numSamples;
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < n; ++i)
            if (! std::isfinite (buffer.getSample (ch, i)))
                return false;
    return true;
}
} // namespace gribb::test
