#include <gtest/gtest.h>

#include "engine/MidiChannelSetup.h"
#include "support/AllocationCounter.h"

namespace
{
using gribb::MidiChannelSetup;
using Msg = juce::MidiMessage;

Msg cc (int channel, int controller, int value) { return Msg::controllerEvent (channel, controller, value); }

void feed (MidiChannelSetup& setup, std::initializer_list<Msg> messages)
{
    for (const auto& m : messages)
        setup.handle (m);
}
} // namespace

TEST (MidiChannelSetup, Rpn0SetsTheChannelsBendRangeAsTheMidiStandardSays)
{
    struct Case
    {
        const char* what;
        std::vector<Msg> messages;
        int channel;
        float range;
    };
    const Case cases[] = {
        { "semitones only", { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 12) }, 3, 12.0f },
        { "semitones and cents", { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 2), cc (3, 38, 50) }, 3, 2.5f },
        { "parameter LSB first", { cc (5, 100, 0), cc (5, 101, 0), cc (5, 6, 24) }, 5, 24.0f },
        { "running selection: a second data entry", { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 12), cc (3, 6, 7) }, 3, 7.0f },
        { "another channel keeps its range", { cc (4, 101, 0), cc (4, 100, 0), cc (4, 6, 12) }, 3, 48.0f },
        { "RPN null ends the selection", { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 12), cc (3, 101, 127), cc (3, 100, 127), cc (3, 6, 3) }, 3, 12.0f },
        { "an NRPN 0 changes nothing", { cc (3, 99, 0), cc (3, 98, 0), cc (3, 6, 12) }, 3, 48.0f },
        { "an NRPN after RPN selection takes over", { cc (3, 101, 0), cc (3, 100, 0), cc (3, 99, 0), cc (3, 98, 0), cc (3, 6, 5) }, 3, 48.0f },
        { "RPN 1 (fine tuning) changes nothing", { cc (3, 101, 0), cc (3, 100, 1), cc (3, 6, 12) }, 3, 48.0f },
        { "RPN 2 (coarse tuning) changes nothing", { cc (3, 101, 0), cc (3, 100, 2), cc (3, 6, 12) }, 3, 48.0f },
        { "data entry without selection changes nothing", { cc (3, 6, 12), cc (3, 38, 0) }, 3, 48.0f },
        { "a range beyond 96 gives 96", { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 127) }, 3, 96.0f },
        { "0 semitones: no bend", { cc (16, 101, 0), cc (16, 100, 0), cc (16, 6, 0) }, 16, 0.0f },
    };

    for (const auto& c : cases)
    {
        MidiChannelSetup setup;
        for (const auto& m : c.messages)
            setup.handle (m);
        EXPECT_FLOAT_EQ (setup.channelRange (c.channel), c.range) << c.what;
    }
}

TEST (MidiChannelSetup, TheSettingResetsEveryChannel)
{
    MidiChannelSetup setup;
    feed (setup, { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 12) });
    setup.setAllChannelRanges (2.0f);
    for (int ch = 1; ch <= 16; ++ch)
        EXPECT_EQ (setup.channelRange (ch), 2.0f);
}

TEST (MidiChannelSetup, LegacyBendIsTheChannelsRangeTimesTheWheel)
{
    MidiChannelSetup setup;
    feed (setup, { cc (2, 101, 0), cc (2, 100, 0), cc (2, 6, 12) });
    juce::MPENote note (2, 60, juce::MPEValue::from7BitInt (100), juce::MPEValue::from14BitInt (16383), juce::MPEValue(), juce::MPEValue());
    EXPECT_FLOAT_EQ (setup.legacyBendInSemitones (note), 12.0f);
    note.pitchbend = juce::MPEValue::from14BitInt (0);
    EXPECT_FLOAT_EQ (setup.legacyBendInSemitones (note), -12.0f);
    // The default range gives JUCE's own value, bit for bit.
    note.midiChannel = 5;
    note.pitchbend = juce::MPEValue::from14BitInt (12345);
    EXPECT_EQ (setup.legacyBendInSemitones (note), note.pitchbend.asSignedFloat() * 48.0f);
}

TEST (MidiChannelSetup, Rpn6SetsZonesAndRpn0InAZoneSetsItsRanges)
{
    MidiChannelSetup setup;
    feed (setup, { cc (1, 101, 0), cc (1, 100, 6), cc (1, 6, 15) });
    ASSERT_TRUE (setup.hasZones());
    EXPECT_EQ (setup.lowerZone().members, 15);
    EXPECT_EQ (setup.lowerZone().memberRange, 48.0f);
    EXPECT_EQ (setup.lowerZone().masterRange, 2.0f);
    EXPECT_EQ (setup.upperZone().members, 0);

    // RPN 0 on a member channel sets every member's range; on the master, the master's.
    feed (setup, { cc (5, 101, 0), cc (5, 100, 0), cc (5, 6, 24), cc (1, 101, 0), cc (1, 100, 0), cc (1, 6, 12) });
    EXPECT_EQ (setup.lowerZone().memberRange, 24.0f);
    EXPECT_EQ (setup.lowerZone().masterRange, 12.0f);

    // A member's note bends by its own wheel and the master's.
    feed (setup, { Msg::pitchWheel (1, 16383) });
    juce::MPENote member (7, 60, juce::MPEValue::from7BitInt (100), juce::MPEValue::from14BitInt (0), juce::MPEValue(), juce::MPEValue());
    EXPECT_FLOAT_EQ (setup.zoneBendInSemitones (member), -24.0f + 12.0f);
    juce::MPENote master (1, 60, juce::MPEValue::from7BitInt (100), juce::MPEValue::from14BitInt (0), juce::MPEValue(), juce::MPEValue());
    EXPECT_FLOAT_EQ (setup.zoneBendInSemitones (master), 12.0f);

    // Upper zone of 3 shrinks the lower one to 11; 0 members ends a zone.
    feed (setup, { cc (16, 101, 0), cc (16, 100, 6), cc (16, 6, 3) });
    EXPECT_EQ (setup.upperZone().members, 3);
    EXPECT_EQ (setup.lowerZone().members, 11);
    feed (setup, { cc (1, 101, 0), cc (1, 100, 6), cc (1, 6, 0), cc (16, 6, 0) }); // channel 16 still has RPN 6 selected
    EXPECT_FALSE (setup.hasZones());

    // An MCM on another channel, or with more than 15 members, changes nothing.
    feed (setup, { cc (2, 101, 0), cc (2, 100, 6), cc (2, 6, 5), cc (1, 101, 0), cc (1, 100, 6), cc (1, 6, 16) });
    EXPECT_FALSE (setup.hasZones());
}

TEST (MidiChannelSetup, HandlingAnRpnAllocatesNothing)
{
    MidiChannelSetup setup;
    const Msg messages[] = { cc (3, 101, 0), cc (3, 100, 0), cc (3, 6, 12), cc (3, 38, 10),
                             cc (1, 101, 0), cc (1, 100, 6), cc (1, 6, 15), cc (1, 6, 0), Msg::pitchWheel (1, 100) };
    gribb::test::ScopedAllocationCounter counter;
    for (const auto& m : messages)
        setup.handle (m);
    counter.stop();
    EXPECT_EQ (counter.allocations(), 0u) << counter.describe();
}
