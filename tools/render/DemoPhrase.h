#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb::render
{
/** A short built-in phrase (timestamps in seconds): a bass line, a chord with a pitch bend on its
    own channel, and a lead with pressure, about eight seconds long. */
juce::MidiMessageSequence makeDemoPhrase();
} // namespace gribb::render
