#pragma once

#include <cmath>

#include "processor/GribbTazoAudioProcessor.h"
#include "support/NotesAndAudioChecks.h"

namespace gribb::test
{
/** The parameter's plain value, as the audio thread reads it. */
inline float plainValue (GribbTazoAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

/** Sets a parameter to a plain value through the host-notifying path, as a host would. */
inline void setPlain (GribbTazoAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** Plays `firstBlockMidi` in the first of `numBlocks` blocks of the buffer's size and returns the
    peak of channel 0 over all of them; false in `finite` when any block held NaN or Inf. */
inline float peakOverBlocks (GribbTazoAudioProcessor& processor, juce::AudioBuffer<float>& buffer,
                             int numBlocks, const juce::MidiBuffer& firstBlockMidi, bool& finite)
{
    float peak = 0.0f;
    finite = true;
    for (int block = 0; block < numBlocks; ++block)
    {
        auto midi = block == 0 ? firstBlockMidi : juce::MidiBuffer();
        processor.processBlock (buffer, midi);
        finite = finite && allFinite (buffer);
        peak = juce::jmax (peak, buffer.getMagnitude (0, 0, buffer.getNumSamples()));
    }
    return peak;
}
} // namespace gribb::test
