#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

namespace gribb::render
{
/** Writes the buffer as a 32-bit float WAV file. The file appears complete or not at all: it is
    written beside the target under a temporary name and moved into place at the end. */
bool writeWavFile (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate,
                   juce::String& error);
} // namespace gribb::render
