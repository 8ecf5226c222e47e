// The instance's pitch settings through the processor: the bend range and RPN 0, the tuning, the
// default path unchanged, and their element in the saved state.
#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>

#include "processor/SavedStateText.h"
#include "support/PitchRender.h"
#include "support/ProcessorAccess.h"
#include "support/AllocationCounter.h"
#include "support/RealtimeChecks.h"
#include "support/StateBlocks.h"
#include "support/StateFixtures.h"

using gribb::test::PitchCase;
using Inspector = GribbTazoAudioProcessorInspector;

namespace
{
void expectPitch (const PitchCase& c)
{
    const double rate = 48000.0;
    const auto out = gribb::test::renderPitchCase (c, rate);
    const int from = (int) (0.2 * rate);
    if (c.expectedHz <= 0.0)
    {
        EXPECT_EQ (out.getMagnitude (0, 0, out.getNumSamples()), 0.0f) << c.name;
        std::cout << "[pitch] " << std::left << std::setw (48) << c.name << " expected silence, got peak " << out.getMagnitude (0, 0, out.getNumSamples()) << "\n";
        return;
    }
    const double hz = gribb::test::measuredFrequency (out.getReadPointer (0), out.getNumSamples(), rate, from);
    const double cents = gribb::test::centsBetween (hz, c.expectedHz);
    std::cout << "[pitch] " << std::left << std::setw (48) << c.name << std::fixed << std::setprecision (3) << " expected " << c.expectedHz
              << " Hz, measured " << hz << " Hz, " << std::showpos << cents << std::noshowpos << " cents\n";
    EXPECT_NEAR (cents, 0.0, 0.5) << c.name << ": expected " << c.expectedHz << " Hz, measured " << hz << " Hz";
}

using gribb::test::stateFixture;

using gribb::test::restoreState;

void playRpn (GribbTazoAudioProcessor& processor, std::vector<juce::MidiMessage> messages)
{
    juce::MidiBuffer midi;
    for (const auto& m : messages)
        midi.addEvent (m, 0);
    juce::AudioBuffer<float> block (2, 64);
    processor.processBlock (block, midi);
}
} // namespace

TEST (PitchSettings, NotesSoundAtTheirBendRangeAndTuning)
{
    for (const auto& c : gribb::test::pitchCases())
        expectPitch (c);
}

TEST (PitchSettings, ADefaultInstanceSavesTodaysStateByteForByte)
{
    // The fixture was saved by the version before these settings; loaded and saved again it is
    // the same, also after notes, bends and RPNs that set a channel to the range it has.
    const auto before = stateFixture ("state-with-midi-learn.bin");
    GribbTazoAudioProcessor processor;
    restoreState (processor, before);
    processor.prepareToPlay (48000.0, 64);
    playRpn (processor, gribb::test::withBend (gribb::test::rpn0 (3, 48), 3, 0));
    EXPECT_EQ (gribb::test::savedState (processor), before);
    EXPECT_FALSE (gribb::test::savedXmlText (processor).contains ("PITCH_SETUP"));
}

TEST (PitchSettings, SettingsRangesReceivedAndTheTuningTravelInTheState)
{
    GribbTazoAudioProcessor saved;
    saved.prepareToPlay (48000.0, 64);
    saved.pitchSettings.setBendRange (12.0f);
    playRpn (saved, gribb::test::rpn0 (3, 2, 50));
    juce::String error;
    ASSERT_TRUE (saved.pitchSettings.setScaleText (gribb::test::justMajorScale, error)) << error;
    ASSERT_TRUE (saved.pitchSettings.setMappingText (gribb::test::whiteKeys432Mapping, error)) << error;

    const auto text = gribb::test::savedXmlText (saved);
    EXPECT_TRUE (text.contains ("<PITCH_SETUP bendRange=\"12\"")) << text;

    GribbTazoAudioProcessor restored;
    restoreState (restored, gribb::test::savedState (saved));
    const auto setup = Inspector::engine (restored).getPitchSetup();
    EXPECT_EQ (setup.bendRange, 12.0f);
    EXPECT_EQ (setup.channelRanges[2], 2.5f);
    EXPECT_EQ (setup.channelRanges[0], 12.0f);
    EXPECT_EQ (restored.pitchSettings.getScaleDescription(), "Just major");
    EXPECT_TRUE (restored.pitchSettings.hasMapping());
    EXPECT_EQ (gribb::test::savedState (restored), gribb::test::savedState (saved));

    // The parameter state never holds the element.
    EXPECT_FALSE (restored.parameters.copyState().getChildWithName (gribb::PitchSettings::stateType).isValid());

    // A state without the element is a new instance's settings.
    restoreState (restored, stateFixture ("state-with-midi-learn.bin"));
    EXPECT_TRUE (Inspector::engine (restored).getPitchSetup().isDefault());
    EXPECT_TRUE (restored.pitchSettings.isStandardTuning());
}

TEST (PitchSettings, TheVersionBeforeLoadsANewStateAsWithoutTheElement)
{
    // A state of this version: the fixture's sound with a bend range and a tuning.
    const auto before = stateFixture ("state-with-midi-learn.bin");
    GribbTazoAudioProcessor processor;
    restoreState (processor, before);
    processor.pitchSettings.setBendRange (2.0f);
    juce::String error;
    ASSERT_TRUE (processor.pitchSettings.setScaleText (gribb::test::edo19Scale, error));
    const auto with = gribb::test::savedState (processor);

    // Nothing else changed: the text is the old one with the element added before the end.
    const auto withText = *gribb::readSavedStateText (with.getData(), (int) with.getSize());
    const auto beforeText = *gribb::readSavedStateText (before.getData(), (int) before.getSize());
    const auto start = withText.indexOf ("<PITCH_SETUP");
    ASSERT_GT (start, 0);
    const auto end = withText.indexOf (start, "/>") + 2;
    EXPECT_EQ (withText.substring (0, start) + withText.substring (end), beforeText);

    // The loader before this version (the same steps without the element's own) reads the same
    // parameters, program and bindings from both: its parameter state passes the element over.
    auto load = [] (const juce::MemoryBlock& block)
    {
        GribbTazoAudioProcessor old;
        const auto text = gribb::readSavedStateText (block.getData(), (int) block.getSize());
        EXPECT_TRUE (text.has_value());
        auto tree = juce::ValueTree::fromXml (*juce::parseXML (*text));
        old.midiLearn.restoreFromState (tree);
        old.parameters.replaceState (tree);
        return gribb::test::ProcessorSnapshot::of (old);
    };
    EXPECT_TRUE (load (with).matches (load (before)));
}

TEST (PitchSettings, BadTuningTextChangesNothing)
{
    GribbTazoAudioProcessor processor;
    juce::String error;
    ASSERT_TRUE (processor.pitchSettings.setScaleText (gribb::test::justMajorScale, error));
    const auto saved = gribb::test::savedState (processor);
    EXPECT_FALSE (processor.pitchSettings.setScaleText ("bad\n2\n0/1\n2/1\n", error));
    EXPECT_TRUE (error.contains ("not positive")) << error;
    EXPECT_FALSE (processor.pitchSettings.setMappingText ("1\n2\n", error));
    EXPECT_EQ (gribb::test::savedState (processor), saved);
    EXPECT_EQ (processor.pitchSettings.getScaleDescription(), "Just major");
}

TEST (PitchSettings, RpnsAndTuningsOnTheAudioThreadAllocateNothing)
{
    GribbTazoAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    juce::String error;
    ASSERT_TRUE (processor.pitchSettings.setScaleText (gribb::test::edo19Scale, error));
    juce::MidiBuffer midi;
    for (const auto& m : gribb::test::joined (gribb::test::joined (gribb::test::rpn0 (3, 12, 10), gribb::test::mcm (1, 15)), gribb::test::mcm (1, 0)))
        midi.addEvent (m, 0);
    midi.addEvent (juce::MidiMessage::noteOn (3, 60, (juce::uint8) 100), 10);
    midi.addEvent (juce::MidiMessage::pitchWheel (3, 1000), 20);
    juce::AudioBuffer<float> block (2, 256);
    processor.processBlock (block, midi); // a first block may set things up

    processor.pitchSettings.setBendRange (24.0f);
    processor.pitchSettings.setFollowMpe (true);
    juce::MidiBuffer zones;
    for (const auto& m : gribb::test::joined (gribb::test::mcm (1, 15), gribb::test::rpn0 (1, 12)))
        zones.addEvent (m, 0);
    zones.addEvent (juce::MidiMessage::noteOn (5, 64, (juce::uint8) 100), 5);
    zones.addEvent (juce::MidiMessage::pitchWheel (1, 12000), 30);
    juce::MidiBuffer noZones;
    for (const auto& m : gribb::test::mcm (1, 0))
        noZones.addEvent (m, 0);

    gribb::test::ScopedAllocationCounter counter;
    processor.processBlock (block, midi); // takes the new settings: the notes are released
    processor.processBlock (block, zones);
    processor.processBlock (block, noZones);
    gribb::test::expectNoHeapCallOfOurs (counter);
}

TEST (PitchSettings, NotesOfTheZonesPlayAtTheirPitch)
{
    for (const auto& c : gribb::test::zoneCases())
        expectPitch (c);
}

TEST (PitchSettings, SwitchingBetweenZonesAndChannelsLeavesNoVoiceSounding)
{
    GribbTazoAudioProcessor processor;
    processor.prepareToPlay (48000.0, 512);
    juce::AudioBuffer<float> block (2, 512);
    auto play = [&] (std::vector<juce::MidiMessage> messages)
    {
        juce::MidiBuffer midi;
        for (const auto& m : messages)
            midi.addEvent (m, 0);
        processor.processBlock (block, midi);
    };
    auto sounding = [&]
    {
        auto& engine = Inspector::engine (processor);
        int n = 0;
        for (int i = 0; i < 16; ++i)
            n += (engine.voice (i).isActive() ? 1 : 0) + (engine.zoneVoice (i).isActive() ? 1 : 0);
        return n;
    };
    auto settle = [&] { for (int i = 0; i < 200; ++i) play ({}); }; // 2 s: longer than the default release

    play ({ juce::MidiMessage::noteOn (2, 60, (juce::uint8) 100), juce::MidiMessage::noteOn (3, 64, (juce::uint8) 100) });
    EXPECT_EQ (sounding(), 2);
    processor.pitchSettings.setFollowMpe (true);
    play (gribb::test::mcm (1, 15)); // the zone takes over: the held notes are released
    settle();
    EXPECT_EQ (sounding(), 0);

    play ({ juce::MidiMessage::noteOn (2, 60, (juce::uint8) 100), juce::MidiMessage::noteOn (1, 67, (juce::uint8) 100) });
    EXPECT_EQ (sounding(), 2);
    play (gribb::test::mcm (1, 3)); // a new layout releases the zone's notes
    settle();
    EXPECT_EQ (sounding(), 0);

    play ({ juce::MidiMessage::noteOn (4, 60, (juce::uint8) 100) });
    EXPECT_EQ (sounding(), 1);
    processor.pitchSettings.setFollowMpe (false);
    play ({});
    settle();
    EXPECT_EQ (sounding(), 0);

    // Notes off after the switch find nothing stuck, and new notes play on every channel again.
    play ({ juce::MidiMessage::noteOff (4, 60), juce::MidiMessage::noteOn (9, 60, (juce::uint8) 100) });
    EXPECT_EQ (sounding(), 1);
}
