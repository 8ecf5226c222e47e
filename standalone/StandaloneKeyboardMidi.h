#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>

/** Joins the Standalone's keyboard state (drawn by the on-screen keyboard, played by it and by the
    computer keyboard) to the instrument's MIDI input.

    Notes played into the state go into the same collector that the hardware MIDI inputs feed, so
    they take the same way to the instrument: its channel handling, voices and sound are those of
    a note from a MIDI keyboard. Notes from the hardware inputs (this object is registered with the
    device manager as one more MIDI input callback) only light their keys: they reach the
    instrument already, and are not sent twice.

    The state's listeners run on the thread that changed it: the message thread for the on-screen
    and computer keyboards, the MIDI input thread for the hardware; a flag of that thread tells
    the two apart. */
class StandaloneKeyboardMidi : public juce::MidiInputCallback,
                               private juce::MidiKeyboardState::Listener
{
public:
    StandaloneKeyboardMidi (juce::MidiKeyboardState& state, juce::MidiMessageCollector& instrumentInput);
    ~StandaloneKeyboardMidi() override;

    /** A message from a hardware MIDI input: lights or darkens its key. */
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

    /** Sends "all notes off" (CC 123) on all sixteen channels, which also ends notes that a
        sustain pedal holds. */
    void sendAllNotesOff();

private:
    void handleNoteOn (juce::MidiKeyboardState*, int channel, int note, float velocity) override;
    void handleNoteOff (juce::MidiKeyboardState*, int channel, int note, float velocity) override;
    void send (juce::MidiMessage message);

    juce::MidiKeyboardState& state;
    juce::MidiMessageCollector& instrumentInput;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneKeyboardMidi)
};
