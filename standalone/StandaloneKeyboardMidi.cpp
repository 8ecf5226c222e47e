#include "standalone/StandaloneKeyboardMidi.h"

namespace
{
/** Set while this thread shows a hardware message on the keyboard state. */
thread_local bool showingHardwareMessage = false;
} // namespace

StandaloneKeyboardMidi::StandaloneKeyboardMidi (juce::MidiKeyboardState& stateToJoin, juce::MidiMessageCollector& input)
    : state (stateToJoin), instrumentInput (input)
{
    state.addListener (this);
}

StandaloneKeyboardMidi::~StandaloneKeyboardMidi()
{
    state.removeListener (this);
}

void StandaloneKeyboardMidi::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    showingHardwareMessage = true;
    state.processNextMidiEvent (message);
    showingHardwareMessage = false;
}

void StandaloneKeyboardMidi::sendAllNotesOff()
{
    for (int channel = 1; channel <= 16; ++channel)
        send (juce::MidiMessage::allNotesOff (channel));
}

void StandaloneKeyboardMidi::handleNoteOn (juce::MidiKeyboardState*, int channel, int note, float velocity)
{
    if (! showingHardwareMessage)
        send (juce::MidiMessage::noteOn (channel, note, velocity));
}

void StandaloneKeyboardMidi::handleNoteOff (juce::MidiKeyboardState*, int channel, int note, float velocity)
{
    if (! showingHardwareMessage)
        send (juce::MidiMessage::noteOff (channel, note, velocity));
}

void StandaloneKeyboardMidi::send (juce::MidiMessage message)
{
    // The collector places a message in the next audio block by its time stamp, in seconds of
    // JUCE's high-resolution millisecond counter, as it does for the hardware inputs' messages.
    message.setTimeStamp (juce::Time::getMillisecondCounterHiRes() * 0.001);
    instrumentInput.addMessageToQueue (message);
}
