#pragma once

#include <array>
#include <functional>

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "standalone/ComputerKeyboardMapping.h"

/** Plays notes from the computer keyboard into a MidiKeyboardState, on MIDI channel 1. Added as
    a key listener to the Standalone's window, it hears every key that no control of the window
    uses itself (a text field keeps its letters), wherever the mouse is.

    A key starts its note when it goes down and ends it when it comes up. The operating system's
    key repeat sends a held key again and again, and X11 may send each repeat as the key coming
    up and going down at once; so a key whose note sounds starts nothing, and a key that comes up
    ends its note only when it has stayed up for repeatGraceMs, which a repeat never does. Z and
    X shift the octave once per press. A note keeps its pitch until its key comes up, even when
    the octave changes meanwhile. releaseAll() ends every note at once: the window calls it when
    it loses the focus, since the key-up would then go elsewhere, and for its Panic button. A key
    still held then stays silent, whatever its repeats, until it has come up.

    Whether a key is down is asked of keyIsDown (JUCE's KeyPress::isKeyCurrentlyDown by default),
    with the key's lower-case character; the time comes from now (JUCE's millisecond counter by
    default). While a key sounds or waits to come up, a timer checks the keys every few
    milliseconds. Everything runs on the message thread. */
class ComputerKeyboardPlayer : public juce::KeyListener,
                               private juce::Timer
{
public:
    using KeyIsDown = std::function<bool (juce::juce_wchar key)>;
    using Clock = std::function<double()>;

    static constexpr int midiChannel = 1;
    /** The velocity of every computer-keyboard note: 100 of 127. */
    static constexpr float velocity = 100.0f / 127.0f;
    /** How long a key must stay up before its note ends. */
    static constexpr double repeatGraceMs = 40.0;

    explicit ComputerKeyboardPlayer (juce::MidiKeyboardState& state, KeyIsDown keyIsDown = {}, Clock now = {});
    ~ComputerKeyboardPlayer() override;

    bool keyPressed (const juce::KeyPress& key, juce::Component* origin) override;
    bool keyStateChanged (bool isKeyDown, juce::Component* origin) override;

    /** Ends the notes of the keys that have been up for repeatGraceMs (and the silence of keys
        that releaseAll() ended), and starts the wait for keys just found up. The timer calls it. */
    void releaseKeysNoLongerDown();
    /** Ends every note the keys hold, at once; the keys still down stay silent until they come up. */
    void releaseAll();

    int getOctave() const noexcept { return octave; }
    /** Sets the octave (clamped) for the notes started from now on; tells onOctaveChange. */
    void setOctave (int newOctave);
    std::function<void (int octave)> onOctaveChange;

    /** How many notes the keys hold now. */
    int getNumSoundingNotes() const noexcept;

private:
    struct HeldKey
    {
        int note = -1;          // the sounding note, or -1
        bool silenced = false;  // ended by releaseAll() while down: plays nothing until it comes up
        double upSince = -1.0;  // when the key was found up, or -1 while it is down
    };

    void timerCallback() override;

    juce::MidiKeyboardState& state;
    KeyIsDown keyIsDown;
    Clock now;
    int octave = ComputerKeyboardMapping::defaultOctave;
    std::array<HeldKey, ComputerKeyboardMapping::numNoteKeys> keys;
    bool octaveDownHeld = false;
    bool octaveUpHeld = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ComputerKeyboardPlayer)
};
