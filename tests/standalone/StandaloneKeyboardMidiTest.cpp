// The Standalone's keyboard state and the instrument's MIDI input: notes played on the keyboards go
// where hardware notes go, once; hardware notes only light their keys.
#include <gtest/gtest.h>

#include <thread>

#include "standalone/StandaloneKeyboardMidi.h"

namespace
{
std::vector<juce::MidiMessage> collected (juce::MidiMessageCollector& collector)
{
    juce::MidiBuffer buffer;
    collector.removeNextBlockOfMessages (buffer, 512);
    std::vector<juce::MidiMessage> messages;
    for (const auto metadata : buffer)
        messages.push_back (metadata.getMessage());
    return messages;
}
} // namespace

TEST (StandaloneKeyboardMidi, PlayedNotesReachTheInstrumentsInputAndHardwareNotesOnlyLightKeys)
{
    juce::MidiKeyboardState state;
    juce::MidiMessageCollector input;
    input.reset (48000.0);
    StandaloneKeyboardMidi midi (state, input);

    state.noteOn (1, 60, 0.5f);
    state.noteOff (1, 60, 0.0f);
    auto messages = collected (input);
    ASSERT_EQ (messages.size(), 2u);
    EXPECT_TRUE (messages[0].isNoteOn());
    EXPECT_EQ (messages[0].getChannel(), 1);
    EXPECT_EQ (messages[0].getNoteNumber(), 60);
    EXPECT_EQ (messages[0].getVelocity(), 64);
    EXPECT_TRUE (messages[1].isNoteOff());

    // From the MIDI input thread, as JUCE's device manager calls it.
    std::thread hardware ([&] { midi.handleIncomingMidiMessage (nullptr, juce::MidiMessage::noteOn (3, 64, (juce::uint8) 100)); });
    hardware.join();
    EXPECT_TRUE (state.isNoteOn (3, 64));
    EXPECT_TRUE (collected (input).empty()) << "a hardware note was sent to the instrument a second time";

    // Meanwhile the keyboards still play, and a hardware note-off darkens its key.
    state.noteOn (1, 72, 1.0f);
    EXPECT_EQ (collected (input).size(), 1u);
    std::thread release ([&] { midi.handleIncomingMidiMessage (nullptr, juce::MidiMessage::noteOff (3, 64)); });
    release.join();
    EXPECT_FALSE (state.isNoteOn (3, 64));
    EXPECT_TRUE (collected (input).empty());
}

TEST (StandaloneKeyboardMidi, PanicSendsAllNotesOffOnEveryChannel)
{
    juce::MidiKeyboardState state;
    juce::MidiMessageCollector input;
    input.reset (48000.0);
    StandaloneKeyboardMidi midi (state, input);

    midi.sendAllNotesOff();
    const auto messages = collected (input);
    ASSERT_EQ (messages.size(), 16u);
    for (int channel = 1; channel <= 16; ++channel)
    {
        EXPECT_TRUE (messages[(size_t) channel - 1].isAllNotesOff());
        EXPECT_EQ (messages[(size_t) channel - 1].getChannel(), channel);
    }
}
