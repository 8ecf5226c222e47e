// MIDI learn in the processor: a controller learned to a parameter or a macro knob moves it through
// the host-notifying path, leaves the block before the voices see it, and can be forgotten; the
// controllers the voices read are refused. Handling controllers on the audio thread reaches no heap.
#include <gtest/gtest.h>

#include <vector>

#include "processor/GribbTazoAudioProcessor.h"
#include "processor/MidiLearn.h"
#include "support/ProcessorTestHelpers.h"
#include "support/RealtimeChecks.h"

using gribb::ControllerBinding;
using gribb::MidiLearn;

namespace
{
juce::MidiMessage cc (int channel, int controller, int value)
{
    return juce::MidiMessage::controllerEvent (channel, controller, value);
}

/** One block's MIDI: each message at the sample position of its place in the list, times 10. */
juce::MidiBuffer block (std::initializer_list<juce::MidiMessage> messages)
{
    juce::MidiBuffer midi;
    int position = 0;
    for (const auto& m : messages)
        midi.addEvent (m, 10 * position++);
    return midi;
}

/** The events of a buffer as (sample position, bytes) pairs, for comparing buffers. */
std::vector<std::pair<int, std::vector<juce::uint8>>> eventsOf (const juce::MidiBuffer& midi)
{
    std::vector<std::pair<int, std::vector<juce::uint8>>> events;
    for (const auto metadata : midi)
        events.emplace_back (metadata.samplePosition,
                             std::vector<juce::uint8> (metadata.data, metadata.data + metadata.numBytes));
    return events;
}

float normalised (GribbTazoAudioProcessor& p, const char* id)
{
    return p.parameters.getParameter (id)->getValue();
}

/** What the parameter holds once set to a normalised value: the value on the parameter's step. */
float onStep (GribbTazoAudioProcessor& p, const char* id, float value)
{
    auto* parameter = p.parameters.getParameter (id);
    return parameter->convertTo0to1 (parameter->convertFrom0to1 (value));
}

/** Hands one block's MIDI to MIDI learn alone, with the parameters' current values, and returns
    the values the block would sound with. */
gribb::BlockValues readControllers (GribbTazoAudioProcessor& p, juce::MidiBuffer& midi)
{
    gribb::BlockValues values;
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = p.parameters.getRawParameterValue (gribb::parameterTable[i].id)->load();
    p.midiLearn.process (midi, values);
    return values;
}

/** Plays one block of the processor with this MIDI, then lets the message thread write the moves. */
void play (GribbTazoAudioProcessor& p, juce::MidiBuffer midi)
{
    juce::AudioBuffer<float> audio (2, 256);
    p.processBlock (audio, midi);
    p.midiLearn.applyPendingMoves();
}

/** Counts the host-notifying writes of one parameter and its change gestures. */
struct ParameterWatcher final : juce::AudioProcessorParameter::Listener
{
    explicit ParameterWatcher (juce::AudioProcessorParameter& p) : parameter (p) { parameter.addListener (this); }
    ~ParameterWatcher() override { parameter.removeListener (this); }

    void parameterValueChanged (int, float) override { ++writes; }
    void parameterGestureChanged (int, bool starting) override { ++(starting ? gesturesBegun : gesturesEnded); }

    juce::AudioProcessorParameter& parameter;
    int writes = 0, gesturesBegun = 0, gesturesEnded = 0;
};
} // namespace

TEST (MidiLearn, TheNextLearnableControllerOnAnyChannelIsBoundAndMovesItsParameter)
{
    GribbTazoAudioProcessor p;
    p.midiLearn.startLearning (gribb::cutoff);
    const auto changesBefore = p.midiLearn.bindingChanges();

    play (p, block ({ cc (5, 21, 64) }));

    EXPECT_EQ (p.midiLearn.bindingOf (gribb::cutoff), (ControllerBinding { 21, 0 }));
    EXPECT_EQ (MidiLearn::describe (p.midiLearn.bindingOf (gribb::cutoff)), "CC 21 (ch any)");
    EXPECT_EQ (p.midiLearn.learningTarget(), -1);
    EXPECT_NE (p.midiLearn.bindingChanges(), changesBefore);
    EXPECT_FLOAT_EQ (normalised (p, "cutoff"), onStep (p, "cutoff", 64.0f / 127.0f));

    // Bound on any channel: channel 16 moves it too.
    play (p, block ({ cc (16, 21, 127) }));
    EXPECT_FLOAT_EQ (normalised (p, "cutoff"), 1.0f);
}

TEST (MidiLearn, ControllerValuesSpanTheWholeRangeAndChoicesStepThroughTheirItems)
{
    struct Case
    {
        gribb::ParamIndex parameter;
        int value;
        float expectedPlain;
    };
    const Case cases[] = {
        { gribb::cutoff, 0, 20.0f },        { gribb::cutoff, 127, 20000.0f },
        { gribb::sustain, 0, 0.0f },        { gribb::sustain, 127, 1.0f },
        { gribb::outputGain, 0, -48.0f },   { gribb::outputGain, 127, 6.0f },
        // Three items: 128 values in bands of 43, 43 and 42.
        { gribb::oscType, 0, 0.0f },        { gribb::oscType, 42, 0.0f },   { gribb::oscType, 43, 1.0f },
        { gribb::oscType, 85, 1.0f },       { gribb::oscType, 86, 2.0f },   { gribb::oscType, 127, 2.0f },
        // Four items: bands of 32.
        { gribb::lfoShape, 31, 0.0f },      { gribb::lfoShape, 32, 1.0f },  { gribb::lfoShape, 64, 2.0f },
        { gribb::lfoShape, 95, 2.0f },      { gribb::lfoShape, 96, 3.0f },  { gribb::lfoShape, 127, 3.0f },
    };

    GribbTazoAudioProcessor p;
    for (const auto& c : cases)
    {
        const auto* id = gribb::parameterTable[(size_t) c.parameter].id;
        SCOPED_TRACE (juce::String (id) + " at " + juce::String (c.value));
        ASSERT_TRUE (p.midiLearn.bind (c.parameter, { 30, 0 }));
        play (p, block ({ cc (1, 30, c.value) }));
        EXPECT_NEAR (gribb::test::plainValue (p, id), c.expectedPlain, 1.0e-3f * std::abs (c.expectedPlain) + 1.0e-4f);
    }

    // In between, a float parameter follows the normalised value (and so its skew), on its step.
    ASSERT_TRUE (p.midiLearn.bind (gribb::attack, { 30, 0 }));
    play (p, block ({ cc (1, 30, 100) }));
    EXPECT_FLOAT_EQ (normalised (p, "attack"), onStep (p, "attack", 100.0f / 127.0f));
}

TEST (MidiLearn, BoundControllersLeaveTheBlockAndEverythingElseStaysInOrder)
{
    GribbTazoAudioProcessor p;
    ASSERT_TRUE (p.midiLearn.bind (gribb::resonance, { 21, 0 }));
    ASSERT_TRUE (p.midiLearn.bind (gribb::drive, { 22, 3 })); // channel 3 only

    const juce::uint8 sysexData[] = { 0x7e, 0x7f, 0x06, 0x01 };
    auto midi = block ({ cc (1, 21, 5),
                         juce::MidiMessage::noteOn (2, 60, 0.8f),
                         cc (1, 1, 99),            // the mod wheel: not bound
                         juce::MidiMessage::createSysExMessage (sysexData, 4),
                         cc (3, 22, 40),           // bound on its channel
                         cc (4, 22, 41),           // the same controller on another channel stays
                         juce::MidiMessage::pitchWheel (2, 9000),
                         cc (9, 21, 120),
                         juce::MidiMessage::noteOff (2, 60) });
    // What stays: everything but the bound controllers, at the same sample positions.
    juce::MidiBuffer kept;
    for (const auto metadata : midi)
    {
        const auto m = metadata.getMessage();
        const bool bound = m.isController()
                        && (m.getControllerNumber() == 21 || (m.getControllerNumber() == 22 && m.getChannel() == 3));
        if (! bound)
            kept.addEvent (m, metadata.samplePosition);
    }
    ASSERT_EQ (kept.getNumEvents(), 6);

    readControllers (p, midi);
    EXPECT_EQ (eventsOf (midi), eventsOf (kept));

    p.midiLearn.applyPendingMoves();
    // The last move of the block counts.
    EXPECT_FLOAT_EQ (normalised (p, "resonance"), onStep (p, "resonance", 120.0f / 127.0f));
    EXPECT_FLOAT_EQ (normalised (p, "drive"), onStep (p, "drive", 40.0f / 127.0f));

    // A block of bound controllers only is empty afterwards.
    auto onlyBound = block ({ cc (1, 21, 1), cc (2, 21, 2), cc (3, 22, 3) });
    readControllers (p, onlyBound);
    EXPECT_TRUE (onlyBound.isEmpty());
}

TEST (MidiLearn, AMoveReachesTheHostAsAnEditInsideAGestureThatEndsWhenTheControllerRests)
{
    GribbTazoAudioProcessor p;
    ASSERT_TRUE (p.midiLearn.bind (gribb::cutoff, { 21, 0 }));
    ParameterWatcher watcher (*p.parameters.getParameter ("cutoff"));

    for (int value : { 10, 20, 30 })
        play (p, block ({ cc (1, 21, value) }));

    EXPECT_EQ (watcher.writes, 3);
    EXPECT_EQ (watcher.gesturesBegun, 1);
    EXPECT_EQ (watcher.gesturesEnded, 0);

    // An unchanged value is not written again.
    play (p, block ({ cc (1, 21, 30) }));
    EXPECT_EQ (watcher.writes, 3);

    juce::Thread::sleep ((int) MidiLearn::gestureRestMs + 50);
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (watcher.gesturesEnded, 1);
}

TEST (MidiLearn, AForgottenControllerGoesBackToTheVoicesAndMovesNothing)
{
    GribbTazoAudioProcessor p;
    ASSERT_TRUE (p.midiLearn.bind (gribb::fmIndex, { 21, 0 }));
    play (p, block ({ cc (1, 21, 127) }));
    ASSERT_FLOAT_EQ (normalised (p, "fmIndex"), 1.0f);

    p.midiLearn.forget (gribb::fmIndex);
    EXPECT_FALSE (p.midiLearn.bindingOf (gribb::fmIndex).isBound());

    auto midi = block ({ cc (1, 21, 0) });
    readControllers (p, midi);
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (midi.getNumEvents(), 1);
    EXPECT_FLOAT_EQ (normalised (p, "fmIndex"), 1.0f);
}

TEST (MidiLearn, LearningAControllerThatIsBoundElsewhereMovesItAndStopLearningLearnsNothing)
{
    GribbTazoAudioProcessor p;
    ASSERT_TRUE (p.midiLearn.bind (gribb::cutoff, { 21, 0 }));

    p.midiLearn.startLearning (gribb::resonance);
    play (p, block ({ cc (1, 21, 64) }));
    EXPECT_FALSE (p.midiLearn.bindingOf (gribb::cutoff).isBound());
    EXPECT_EQ (p.midiLearn.bindingOf (gribb::resonance).controller, 21);

    p.midiLearn.startLearning (gribb::drive);
    p.midiLearn.stopLearning();
    play (p, block ({ cc (1, 23, 64) }));
    EXPECT_FALSE (p.midiLearn.bindingOf (gribb::drive).isBound());
}

TEST (MidiLearn, TheControllersTheVoicesReadAreRefusedAndStayWithTheVoices)
{
    struct Case
    {
        int controller;
        const char* reasonContains;
    };
    const Case cases[] = {
        { 6, "RPN" },         { 38, "RPN" },        { 98, "RPN" },       { 99, "RPN" },
        { 100, "RPN" },       { 101, "RPN" },       { 64, "sustain" },   { 66, "sostenuto" },
        { 70, "pressure" },   { 102, "pressure" },  { 74, "timbre" },    { 106, "timbre" },
        { 120, "channel mode" }, { 121, "channel mode" }, { 123, "channel mode" }, { 127, "channel mode" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.controller);
        const auto* reason = MidiLearn::whyNotLearnable (c.controller);
        ASSERT_NE (reason, nullptr);
        EXPECT_TRUE (juce::String (reason).contains (c.reasonContains)) << reason;

        GribbTazoAudioProcessor p;
        EXPECT_FALSE (p.midiLearn.bind (gribb::cutoff, { c.controller, 0 }));

        p.midiLearn.startLearning (gribb::cutoff);
        auto midi = block ({ cc (1, c.controller, 90) });
        readControllers (p, midi);
        EXPECT_EQ (midi.getNumEvents(), 1) << "a refused controller still reaches the voices";
        EXPECT_FALSE (p.midiLearn.bindingOf (gribb::cutoff).isBound());
        EXPECT_EQ (p.midiLearn.learningTarget(), (int) gribb::cutoff) << "learning waits for a learnable controller";
        const int refusedController = c.controller <= MidiLearn::highestLearnableController ? c.controller : -1;
        EXPECT_EQ (p.midiLearn.lastRefusedController(), refusedController);
    }

    // Everything else from 0 to 119 can be learned, bank select and the mod wheel included.
    for (int controller = 0; controller <= MidiLearn::highestLearnableController; ++controller)
    {
        const auto refusedList = MidiLearn::refusedControllers();
        const bool refused = std::find (refusedList.begin(), refusedList.end(), controller) != refusedList.end();
        EXPECT_EQ (MidiLearn::whyNotLearnable (controller) != nullptr, refused) << controller;
    }
}

TEST (MidiLearn, AMacroKnobsControllerWritesItsTargetsAsTheKnobsMapDoes)
{
    struct Case
    {
        int target;
        int value;
        std::vector<std::pair<const char*, float>> expected;
    };
    // 64 / 127 = 0.50394 puts the knob on its step 0.504.
    const Case cases[] = {
        { gribb::crushLearnTarget, 127, { { "bitDepth", 3.0f }, { "drive", 40.0f }, { "hardClip", 0.85f } } },
        { gribb::crushLearnTarget, 0, { { "bitDepth", 16.0f }, { "drive", 1.0f }, { "hardClip", 0.0f } } },
        { gribb::crushLearnTarget, 64, { { "bitDepth", 16.0f - 13.0f * 0.504f }, { "drive", 1.0f + 39.0f * 0.504f }, { "hardClip", 0.85f * 0.504f } } },
        { gribb::warpLearnTarget, 127, { { "lfoRate", 18.0f }, { "lfoToFm", 1.0f }, { "fmIndex", 14.0f }, { "lfoToCutoff", 0.8f } } },
        { gribb::warpLearnTarget, 0, { { "lfoRate", 0.5f }, { "lfoToFm", 0.0f }, { "fmIndex", 0.0f }, { "lfoToCutoff", 0.0f } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (MidiLearn::targetName (c.target) + " at " + juce::String (c.value));
        GribbTazoAudioProcessor p;
        p.midiLearn.startLearning (c.target);
        const auto macro = (gribb::Macro) (c.target - gribb::numParameters);
        const auto movesBefore = p.midiLearn.macroMoves (macro);

        // Set the targets elsewhere first: the controller's move overwrites every one of them.
        for (const auto& [id, value] : c.expected)
            gribb::test::setPlain (p, id, value < 0.1f ? 0.5f : 0.0f);

        play (p, block ({ cc (2, 40, c.value) }));
        EXPECT_EQ (p.midiLearn.bindingOf (c.target).controller, 40);
        for (const auto& [id, value] : c.expected)
        {
            const auto& spec = gribb::parameterTable[(size_t) gribb::parameterIndexOf (id)];
            EXPECT_NEAR (gribb::test::plainValue (p, id), value, spec.interval * 0.51f) << id;
        }
        EXPECT_NE (p.midiLearn.macroMoves (macro), movesBefore);
        EXPECT_FLOAT_EQ (p.midiLearn.macroPosition (macro), (float) (std::round (c.value / 127.0 * 1000.0) / 1000.0));
    }
}

TEST (MidiLearn, HandlingControllersReachesNoHeapOfOurs)
{
    struct Case
    {
        const char* what;
        bool bound, learning;
        int blocks;
    };
    const Case cases[] = {
        { "unbound controllers pass to the voices", false, false, 40 },
        { "bound controllers are read and taken out of the block", true, false, 40 },
        { "a waiting target learns a controller, then reads it", false, true, 40 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GribbTazoAudioProcessor p;
        p.prepareToPlay (48000.0, 512);
        if (c.bound)
        {
            ASSERT_TRUE (p.midiLearn.bind (gribb::cutoff, { 21, 0 }));
            ASSERT_TRUE (p.midiLearn.bind (gribb::crushLearnTarget, { 22, 0 }));
        }
        if (c.learning)
            p.midiLearn.startLearning (gribb::resonance);

        // Many controller messages among notes, more than the block's first storage, so that
        // taking some out shortens a long buffer.
        std::vector<juce::MidiBuffer> blocks ((size_t) c.blocks);
        for (int b = 0; b < c.blocks; ++b)
        {
            auto& midi = blocks[(size_t) b];
            if (b % 10 == 0)
                midi.addEvent (juce::MidiMessage::noteOn (1 + b % 16, 48 + b % 24, 0.7f), 0);
            for (int i = 0; i < 200; ++i)
                midi.addEvent (cc (1 + i % 16, 20 + i % 4, (b * 7 + i) % 128), i * 2);
            if (b % 10 == 5)
                midi.addEvent (juce::MidiMessage::noteOff (1 + (b - 5) % 16, 48 + (b - 5) % 24), 500);
        }

        juce::AudioBuffer<float> audio (2, 512);
        gribb::test::ScopedAllocationCounter counter;
        for (auto& midi : blocks)
            p.processBlock (audio, midi);
        gribb::test::expectNoHeapCallOfOurs (counter);

        EXPECT_EQ (p.midiLearn.bindingOf (gribb::resonance).isBound(), c.learning);
        EXPECT_EQ (blocks[1].getNumEvents() < 200, c.bound || c.learning);
    }
}
