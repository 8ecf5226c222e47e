#include "standalone/ComputerKeyboardPlayer.h"

#include <algorithm>

namespace
{
constexpr int timerIntervalMs = 10;

/** The character a key press stands for: what it types, or its key code for keys that type
    nothing printable. */
juce::juce_wchar characterOf (const juce::KeyPress& key)
{
    const auto text = key.getTextCharacter();
    return juce::CharacterFunctions::toLowerCase (text >= ' ' ? text : static_cast<juce::juce_wchar> (key.getKeyCode()));
}
} // namespace

ComputerKeyboardPlayer::ComputerKeyboardPlayer (juce::MidiKeyboardState& stateToPlay, KeyIsDown isDown, Clock clock)
    : state (stateToPlay),
      keyIsDown (isDown != nullptr ? std::move (isDown)
                                   : KeyIsDown ([] (juce::juce_wchar key) { return juce::KeyPress::isKeyCurrentlyDown (static_cast<int> (key)); })),
      now (clock != nullptr ? std::move (clock) : Clock ([] { return juce::Time::getMillisecondCounterHiRes(); }))
{
}

ComputerKeyboardPlayer::~ComputerKeyboardPlayer()
{
    stopTimer();
    releaseAll();
}

bool ComputerKeyboardPlayer::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    // Shortcuts with Ctrl, Alt or Command are not notes.
    if (key.getModifiers().isCtrlDown() || key.getModifiers().isAltDown() || key.getModifiers().isCommandDown())
        return false;

    const auto character = characterOf (key);

    if (const auto semitone = ComputerKeyboardMapping::semitoneForKey (character))
    {
        auto& held = keys[static_cast<size_t> (*semitone)];

        if (held.note < 0 && ! held.silenced)
        {
            held.note = ComputerKeyboardMapping::noteFor (octave, *semitone);
            state.noteOn (midiChannel, held.note, velocity);

            if (! isTimerRunning())
                startTimer (timerIntervalMs);
        }

        held.upSince = -1.0; // down again: a repeat, not a new note
        return true;
    }

    if (const auto step = ComputerKeyboardMapping::octaveStepForKey (character); step != 0)
    {
        auto& held = step < 0 ? octaveDownHeld : octaveUpHeld;

        if (! held)
        {
            held = true;
            setOctave (octave + step);
        }

        return true;
    }

    return false;
}

bool ComputerKeyboardPlayer::keyStateChanged (bool, juce::Component*)
{
    releaseKeysNoLongerDown();
    return false;
}

void ComputerKeyboardPlayer::releaseKeysNoLongerDown()
{
    const auto time = now();

    for (size_t i = 0; i < keys.size(); ++i)
    {
        auto& held = keys[i];

        if (held.note < 0 && ! held.silenced)
            continue;

        if (keyIsDown (static_cast<juce::juce_wchar> (ComputerKeyboardMapping::noteKeys[i])))
        {
            held.upSince = -1.0;
        }
        else if (held.upSince < 0.0)
        {
            held.upSince = time;
        }
        else if (time - held.upSince >= repeatGraceMs)
        {
            if (held.note >= 0)
                state.noteOff (midiChannel, held.note, 0.0f);

            held = {};
        }
    }

    if (octaveDownHeld && ! keyIsDown (ComputerKeyboardMapping::octaveDownKey))
        octaveDownHeld = false;

    if (octaveUpHeld && ! keyIsDown (ComputerKeyboardMapping::octaveUpKey))
        octaveUpHeld = false;

    if (std::none_of (keys.begin(), keys.end(), [] (const HeldKey& k) { return k.note >= 0 || k.silenced; }))
        stopTimer();
}

void ComputerKeyboardPlayer::releaseAll()
{
    bool anySilenced = false;

    for (size_t i = 0; i < keys.size(); ++i)
    {
        auto& held = keys[i];

        if (held.note >= 0)
            state.noteOff (midiChannel, held.note, 0.0f);

        const bool stillDown = (held.note >= 0 || held.silenced)
                            && keyIsDown (static_cast<juce::juce_wchar> (ComputerKeyboardMapping::noteKeys[i]));
        held = {};
        held.silenced = stillDown;
        anySilenced = anySilenced || stillDown;
    }

    octaveDownHeld = false;
    octaveUpHeld = false;

    if (anySilenced)
        startTimer (timerIntervalMs);
    else
        stopTimer();
}

void ComputerKeyboardPlayer::setOctave (int newOctave)
{
    newOctave = ComputerKeyboardMapping::clampOctave (newOctave);

    if (newOctave == octave)
        return;

    octave = newOctave;

    if (onOctaveChange != nullptr)
        onOctaveChange (octave);
}

int ComputerKeyboardPlayer::getNumSoundingNotes() const noexcept
{
    int count = 0;

    for (const auto& held : keys)
        if (held.note >= 0)
            ++count;

    return count;
}

void ComputerKeyboardPlayer::timerCallback()
{
    releaseKeysNoLongerDown();
}
