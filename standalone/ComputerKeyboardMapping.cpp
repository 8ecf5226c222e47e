#include "standalone/ComputerKeyboardMapping.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace ComputerKeyboardMapping
{
std::optional<int> semitoneForKey (juce::juce_wchar key)
{
    const auto lower = juce::CharacterFunctions::toLowerCase (key);

    for (int i = 0; i < numNoteKeys; ++i)
        if (lower == static_cast<juce::juce_wchar> (noteKeys[i]))
            return i;

    return std::nullopt;
}

int octaveStepForKey (juce::juce_wchar key)
{
    const auto lower = juce::CharacterFunctions::toLowerCase (key);
    return lower == octaveDownKey ? -1 : lower == octaveUpKey ? 1 : 0;
}

int clampOctave (int octave)
{
    return juce::jlimit (lowestOctave, highestOctave, octave);
}

int noteFor (int octave, int semitone)
{
    return 12 * clampOctave (octave) + semitone;
}

juce::String lowestNoteName (int octave)
{
    return juce::MidiMessage::getMidiNoteName (noteFor (octave, 0), true, true, 4);
}
} // namespace ComputerKeyboardMapping
