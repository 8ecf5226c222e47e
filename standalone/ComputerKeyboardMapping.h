#pragma once

#include <optional>

#include <juce_core/juce_core.h>

/** Which note a key of the computer keyboard plays in the Standalone, as in other instruments'
    stand-alone apps: the home row holds the white keys and the row above it the black keys, a
    chromatic run of seventeen notes from C to the E an octave and a third above:

        W E   T Y U   O P          C# D#   F# G# A#   C# D#
       A S D F G H J K L ;        C  D  E  F  G  A  B  C  D  E

    Z shifts the computer keyboard down an octave and X up. Keys are matched by the character
    they type, so letters in either case play the same note. */
namespace ComputerKeyboardMapping
{
/** The keys, in note order from the lowest (A). */
inline constexpr const char* noteKeys = "awsedftgyhujkolp;";
inline constexpr int numNoteKeys = 17;
inline constexpr juce::juce_wchar octaveDownKey = 'z';
inline constexpr juce::juce_wchar octaveUpKey = 'x';

/** Octaves are counted so that the A key plays MIDI note 12 * octave: octave 5 starts at middle
    C (note 60, "C4"). The highest octave still has the top key (;) on a MIDI note. */
inline constexpr int lowestOctave = 0;
inline constexpr int highestOctave = 9;
inline constexpr int defaultOctave = 5;

/** The key's place in noteKeys (0 for A up to 16 for ;), or nothing for a key that plays no note. */
std::optional<int> semitoneForKey (juce::juce_wchar key);

/** -1 for Z, +1 for X, 0 for any other key. */
int octaveStepForKey (juce::juce_wchar key);

/** The octave brought into lowestOctave..highestOctave. */
int clampOctave (int octave);

/** The MIDI note a key plays in an octave (the octave clamped first). */
int noteFor (int octave, int semitone);

/** The name of the A key's note in an octave, with middle C as C4: "C4" for octave 5. */
juce::String lowestNoteName (int octave);
} // namespace ComputerKeyboardMapping
