// The computer keyboard in the Standalone: which key plays which note, and how held keys, the
// operating system's key repeat, octave shifts and a lost focus turn into notes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "standalone/ComputerKeyboardMapping.h"
#include "standalone/ComputerKeyboardPlayer.h"

namespace
{
/** The notes a keyboard state is told about, as "+60" for a note-on and "-60" for a note-off. */
struct NoteLog : juce::MidiKeyboardState::Listener
{
    void handleNoteOn (juce::MidiKeyboardState*, int channel, int note, float velocity) override
    {
        EXPECT_EQ (channel, 1);
        EXPECT_FLOAT_EQ (velocity, 100.0f / 127.0f);
        events.push_back ("+" + std::to_string (note));
    }
    void handleNoteOff (juce::MidiKeyboardState*, int channel, int note, float) override
    {
        EXPECT_EQ (channel, 1);
        events.push_back ("-" + std::to_string (note));
    }
    std::vector<std::string> take() { auto e = events; events.clear(); return e; }
    std::vector<std::string> events;
};

/** A computer keyboard whose keys and clock the test moves. */
struct Rig
{
    Rig() { state.addListener (&log); }
    ~Rig() { state.removeListener (&log); }

    void down (char key, juce::ModifierKeys modifiers = {})
    {
        keysDown.insert (key);
        player.keyStateChanged (true, nullptr);
        player.keyPressed (juce::KeyPress (key, modifiers, key), nullptr);
    }
    bool repeat (char key) { return player.keyPressed (juce::KeyPress (key, {}, key), nullptr); }
    void up (char key)
    {
        keysDown.erase (key);
        player.keyStateChanged (false, nullptr);
    }
    /** Lets time pass, with the timer's checks every 10 ms. */
    void wait (double ms)
    {
        for (double t = 0; t < ms; t += 10.0)
        {
            time += 10.0;
            player.releaseKeysNoLongerDown();
        }
    }

    /** A held key's repeats: each a press event of its own and, as X11 sends them, the key coming
        up and going down at once. */
    void repeatAsX11Does (char key, int times)
    {
        for (int i = 0; i < times; ++i)
        {
            EXPECT_TRUE (repeat (key));
            up (key);
            wait (10);
            down (key);
            wait (30);
        }
    }

    std::set<juce::juce_wchar> keysDown;
    double time = 1000.0;
    juce::MidiKeyboardState state;
    NoteLog log;
    ComputerKeyboardPlayer player { state,
                                    [this] (juce::juce_wchar key) { return keysDown.count (key) > 0; },
                                    [this] { return time; } };
};

using Events = std::vector<std::string>;
} // namespace

TEST (ComputerKeyboardMapping, TwoRowsPlayAChromaticOctaveAndAThirdAndZXShiftTheOctave)
{
    const char* keys = "awsedftgyhujkolp;";
    for (int i = 0; i < 17; ++i)
    {
        EXPECT_EQ (ComputerKeyboardMapping::semitoneForKey (keys[i]), i) << keys[i];
        EXPECT_EQ (ComputerKeyboardMapping::semitoneForKey (juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) keys[i])), i) << keys[i];
        EXPECT_EQ (ComputerKeyboardMapping::octaveStepForKey (keys[i]), 0);
    }

    for (const juce::juce_wchar other : { 'q', 'r', 'i', 'z', 'x', 'c', '1', ' ', '\'' })
        EXPECT_FALSE (ComputerKeyboardMapping::semitoneForKey (other).has_value()) << (char) other;

    EXPECT_EQ (ComputerKeyboardMapping::octaveStepForKey ('z'), -1);
    EXPECT_EQ (ComputerKeyboardMapping::octaveStepForKey ('X'), 1);

    struct Case { int octave; int semitone; int note; const char* name; };
    const Case cases[] = {
        { 5, 0, 60, "C4" }, { 5, 16, 76, "C4" }, { 0, 0, 0, "C-1" }, { 9, 16, 124, "C8" }, { -2, 0, 0, "C-1" }, { 12, 0, 108, "C8" },
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (ComputerKeyboardMapping::noteFor (c.octave, c.semitone), c.note) << c.octave << " " << c.semitone;
        EXPECT_EQ (ComputerKeyboardMapping::lowestNoteName (c.octave), c.name) << c.octave;
    }
}

TEST (ComputerKeyboardPlayer, AHeldKeyPlaysOneNoteHoweverOftenItRepeats)
{
    Rig rig;
    rig.down ('a');
    rig.down ('d');
    EXPECT_EQ (rig.log.take(), (Events { "+60", "+64" }));

    // Repeats as the key's own press events, and as X11 sends them: up and down at once.
    rig.repeatAsX11Does ('a', 25);
    EXPECT_EQ (rig.log.take(), Events {});
    EXPECT_EQ (rig.player.getNumSoundingNotes(), 2);

    // A key that stays up ends its note after the grace time, and only its own.
    rig.up ('a');
    rig.wait (20);
    EXPECT_EQ (rig.log.take(), Events {});
    rig.wait (40);
    EXPECT_EQ (rig.log.take(), (Events { "-60" }));
    rig.up ('d');
    rig.wait (60);
    EXPECT_EQ (rig.log.take(), (Events { "-64" }));
    EXPECT_EQ (rig.player.getNumSoundingNotes(), 0);

    // Pressed again after it came up, the key plays again.
    rig.down ('a');
    EXPECT_EQ (rig.log.take(), (Events { "+60" }));
}

TEST (ComputerKeyboardPlayer, ZAndXShiftTheOctaveOncePerPressAndANoteKeepsItsPitch)
{
    Rig rig;
    std::vector<int> told;
    rig.player.onOctaveChange = [&] (int octave) { told.push_back (octave); };

    rig.down ('a');
    rig.down ('x');
    for (int i = 0; i < 10; ++i)
        rig.repeat ('x');
    EXPECT_EQ (rig.player.getOctave(), 6);
    rig.down ('k'); // C an octave above the A key, in octave 6
    rig.up ('a');   // ends the note it started, not the one it would play now
    rig.wait (60);
    EXPECT_EQ (rig.log.take(), (Events { "+60", "+84", "-60" }));

    rig.up ('x');
    rig.wait (20);
    rig.down ('x');
    rig.up ('x');
    rig.wait (20);
    rig.down ('z');
    rig.up ('z');
    rig.wait (20);
    EXPECT_EQ (told, (std::vector<int> { 6, 7, 6 }));

    // The range ends at octave 0 and 9; a shift beyond changes nothing and tells nothing.
    rig.player.setOctave (9);
    rig.down ('x');
    EXPECT_EQ (rig.player.getOctave(), 9);
    rig.player.setOctave (-4);
    EXPECT_EQ (rig.player.getOctave(), 0);
    EXPECT_EQ (told, (std::vector<int> { 6, 7, 6, 9, 0 }));
}

TEST (ComputerKeyboardPlayer, LosingTheFocusOrPanicEndsEveryHeldNoteAtOnceAndHeldKeysStaySilent)
{
    Rig rig;
    rig.down ('a');
    rig.down ('g');
    rig.down (';');
    rig.log.take();

    rig.up ('g'); // comes up within the grace time: its note ends with the rest
    rig.player.releaseAll();
    EXPECT_EQ (rig.log.take(), (Events { "-60", "-67", "-76" }));

    // A key still held stays silent through its repeats, also those that X11 sends as the key
    // coming up and going down at once, until it has come up; then it plays when pressed anew.
    rig.repeatAsX11Does ('a', 10);
    rig.wait (100);
    EXPECT_EQ (rig.log.take(), Events {});
    rig.up ('a');
    rig.wait (60);
    rig.down ('a');
    rig.down ('g');
    EXPECT_EQ (rig.log.take(), (Events { "+60", "+67" }));
}

TEST (ComputerKeyboardPlayer, ShortcutsAndOtherKeysAreLeftToTheWindow)
{
    Rig rig;
    struct Case { char key; juce::ModifierKeys modifiers; bool used; };
    const Case cases[] = {
        { 'a', juce::ModifierKeys::ctrlModifier, false },
        { 'a', juce::ModifierKeys::altModifier, false },
        { 's', juce::ModifierKeys::shiftModifier, true },
        { 'q', {}, false },
        { '1', {}, false },
        { 'z', juce::ModifierKeys::ctrlModifier, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (rig.player.keyPressed (juce::KeyPress (c.key, c.modifiers, c.key), nullptr), c.used) << c.key;

    EXPECT_EQ (rig.log.take(), (Events { "+62" }));
    EXPECT_EQ (rig.player.getOctave(), ComputerKeyboardMapping::defaultOctave);
}
