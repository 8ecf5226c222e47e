#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb::render
{
/** Reads a standard MIDI file into one sequence with timestamps in seconds, all tracks merged.
    Returns false with a reason when the file cannot be read or holds no events. */
bool loadMidiFile (const juce::File& file, juce::MidiMessageSequence& result, juce::String& error);
} // namespace gribb::render
