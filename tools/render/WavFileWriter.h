#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

namespace gribb::render
{
/** Checks, before anything is rendered, that the WAV file can be written: its folder exists (or,
    with makeFolder, is created) and takes a file. Returns false with a reason in `error`. */
bool checkOutputFile (const juce::File& file, bool makeFolder, juce::String& error);

/** Writes the buffer as a 32-bit float WAV file. The file appears complete or not at all: it is
    written beside the target under a temporary name and moved into place at the end. */
bool writeWavFile (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate,
                   juce::String& error);
} // namespace gribb::render
