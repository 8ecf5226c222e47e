// A learned controller sounds in the block where it arrives: with no message thread at all, with
// one that writes the moves after every block, or after every few, the samples are those of the
// same sweep written as the parameter's automation at the block boundaries. The host hears the
// value that already sounds, and the latest writer of a parameter wins. No heap on the way.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "processor/GribbTazoAudioProcessor.h"
#include "processor/MacroMaps.h"
#include "processor/MidiLearn.h"
#include "support/ProcessorTestHelpers.h"
#include "support/RealtimeChecks.h"
#include "support/SameSamples.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
constexpr int numBlocks = 120;

/** A controller's value as the binding maps it, written here from the manual's description:
    a parameter's whole range in 128 steps (value / 127), a choice's items in equal bands, and a
    macro knob's position in its 0.001 steps through the knob's map. Each entry is one
    (parameter, normalised value) write, in the order a host would write them. */
std::vector<std::pair<int, float>> automationFor (GribbTazoAudioProcessor& p, int target, int value)
{
    if (target >= gribb::numParameters)
    {
        const auto x = (float) (std::round ((double) value / 127.0 / gribb::macroKnobInterval) * gribb::macroKnobInterval);
        std::vector<std::pair<int, float>> writes;
        gribb::forEachMacroTarget ((gribb::Macro) (target - gribb::numParameters), x, [&] (gribb::ParamIndex index, float plain)
        {
            const auto* parameter = p.parameters.getParameter (gribb::parameterTable[(size_t) index].id);
            writes.emplace_back ((int) index, parameter->getNormalisableRange().convertTo0to1 (plain));
        });
        return writes;
    }

    const auto& spec = gribb::parameterTable[(size_t) target];
    if (spec.kind == gribb::ParameterSpec::Kind::choice)
    {
        const int items = spec.numChoices();
        return { { target, (float) (value * items / 128) / (float) (items - 1) } };
    }
    return { { target, (float) value / 127.0f } };
}

/** The sweep: two chords, and in every block two moves of the controller, the second one
    winning; the values rise and fall over the whole range. */
juce::MidiBuffer blockMidi (int block, int controller)
{
    juce::MidiBuffer midi;
    if (block == 0)
        for (int note : { 48, 55, 60, 64 })
            midi.addEvent (juce::MidiMessage::noteOn (1, note, 0.8f), 3);
    if (block == numBlocks / 2)
        for (int note : { 50, 57, 62 })
            midi.addEvent (juce::MidiMessage::noteOn (1, note, 0.6f), 100);

    const int first = (block * 11) % 128;
    const int last = (int) std::lround (63.5 + 63.5 * std::sin (block * 0.13));
    midi.addEvent (juce::MidiMessage::controllerEvent (1 + block % 16, controller, first), 7);
    midi.addEvent (juce::MidiMessage::controllerEvent (1 + block % 16, controller, last), 200);
    return midi;
}

enum class MessageThread { none, afterEveryBlock, afterEveryThirdBlock };

/** Renders the sweep through a binding; the message thread writes the moves as asked. */
juce::AudioBuffer<float> renderLearned (int target, int controller, MessageThread messageThread)
{
    GribbTazoAudioProcessor p;
    EXPECT_TRUE (p.midiLearn.bind (target, { controller, 0 }));
    p.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> out (2, numBlocks * blockSize), block (2, blockSize);
    for (int b = 0; b < numBlocks; ++b)
    {
        auto midi = blockMidi (b, controller);
        p.processBlock (block, midi);
        for (int ch = 0; ch < 2; ++ch)
            out.copyFrom (ch, b * blockSize, block, ch, 0, blockSize);

        if (messageThread == MessageThread::afterEveryBlock || (messageThread == MessageThread::afterEveryThirdBlock && b % 3 == 1))
            p.midiLearn.applyPendingMoves();
    }
    return out;
}

/** Renders the same sweep as the parameters' automation, written before each block. */
juce::AudioBuffer<float> renderAutomated (int target, int controller)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> out (2, numBlocks * blockSize), block (2, blockSize);
    for (int b = 0; b < numBlocks; ++b)
    {
        juce::MidiBuffer notes;
        for (const auto metadata : blockMidi (b, controller))
        {
            const auto message = metadata.getMessage();
            if (message.isController())
                for (const auto& [index, value] : automationFor (p, target, message.getControllerValue()))
                    p.parameters.getParameter (gribb::parameterTable[(size_t) index].id)->setValueNotifyingHost (value);
            else
                notes.addEvent (message, metadata.samplePosition);
        }

        p.processBlock (block, notes);
        for (int ch = 0; ch < 2; ++ch)
            out.copyFrom (ch, b * blockSize, block, ch, 0, blockSize);
    }
    return out;
}

gribb::BlockValues rawValues (GribbTazoAudioProcessor& p)
{
    gribb::BlockValues values;
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = gribb::test::plainValue (p, gribb::parameterTable[i].id);
    return values;
}

/** One block of MIDI learn alone: the values the block sounds with. */
gribb::BlockValues sounding (GribbTazoAudioProcessor& p, std::initializer_list<juce::MidiMessage> messages = {})
{
    juce::MidiBuffer midi;
    for (const auto& m : messages)
        midi.addEvent (m, 0);
    auto values = rawValues (p);
    p.midiLearn.process (midi, values);
    return values;
}

juce::MidiMessage cc (int controller, int value) { return juce::MidiMessage::controllerEvent (1, controller, value); }
} // namespace

TEST (MidiLearnInTheBlock, ALearnedSweepSoundsAsTheSameAutomationWithOrWithoutAMessageThread)
{
    struct Case
    {
        const char* what;
        int target;
    };
    const Case cases[] = {
        { "cutoff, a continuous parameter", gribb::cutoff },
        { "the oscillator, a choice", gribb::oscType },
        { "CRUSH, a macro knob: drive, bit depth and hard clip", gribb::crushLearnTarget },
        { "WARP, a macro knob: LFO rate, LFO to FM, FM index, LFO to cutoff", gribb::warpLearnTarget },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto automated = renderAutomated (c.target, 21);
        ASSERT_GT (automated.getMagnitude (0, 0, automated.getNumSamples()), 0.01f);

        EXPECT_TRUE (gribb::test::sameSamples (renderLearned (c.target, 21, MessageThread::none), automated, -1, "no message thread"));
        EXPECT_TRUE (gribb::test::sameSamples (renderLearned (c.target, 21, MessageThread::afterEveryBlock), automated, -1,
                                               "the moves written after every block"));
        EXPECT_TRUE (gribb::test::sameSamples (renderLearned (c.target, 21, MessageThread::afterEveryThirdBlock), automated, -1,
                                               "the moves written after every third block"));
    }
}

TEST (MidiLearnInTheBlock, TheHostHearsTheValueThatSoundsAndNothingJumpsBack)
{
    struct Case
    {
        const char* what;
        int target;
        std::vector<gribb::ParamIndex> moved;
    };
    const Case cases[] = {
        { "cutoff", gribb::cutoff, { gribb::cutoff } },
        { "LFO shape, a choice", gribb::lfoShape, { gribb::lfoShape } },
        { "CRUSH", gribb::crushLearnTarget, { gribb::bitDepth, gribb::drive, gribb::hardClip } },
        { "WARP", gribb::warpLearnTarget, { gribb::lfoRate, gribb::lfoToFm, gribb::fmIndex, gribb::lfoToCutoff } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GribbTazoAudioProcessor p;
        ASSERT_TRUE (p.midiLearn.bind (c.target, { 21, 0 }));

        for (int value : { 0, 1, 77, 127, 64, 3 })
        {
            SCOPED_TRACE (value);
            const auto first = sounding (p, { cc (21, value) });
            const auto held = sounding (p);
            p.midiLearn.applyPendingMoves();
            const auto landed = rawValues (p);
            const auto after = sounding (p);

            for (auto index : c.moved)
            {
                EXPECT_EQ (held[(size_t) index], first[(size_t) index]) << "the next block holds the value";
                EXPECT_EQ (landed[(size_t) index], first[(size_t) index]) << "the host is told the value that sounds";
                EXPECT_EQ (after[(size_t) index], first[(size_t) index]);
            }
        }
    }
}

TEST (MidiLearnInTheBlock, ControllersInOneBlockApplyInOrderAndTheLastWins)
{
    // LFO to cutoff is learned directly to CC 21 and is also a target of WARP, learned to CC 22.
    struct Case
    {
        const char* what;
        std::initializer_list<juce::MidiMessage> block;
        float lfoToCutoff;
    };
    const Case cases[] = {
        { "WARP, then the parameter itself", { cc (22, 127), cc (21, 0) }, 0.0f },
        { "the parameter, then WARP", { cc (21, 0), cc (22, 127) }, 0.8f },
        { "three moves of one controller", { cc (21, 127), cc (21, 0), cc (21, 127) }, 1.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GribbTazoAudioProcessor p;
        ASSERT_TRUE (p.midiLearn.bind (gribb::lfoToCutoff, { 21, 0 }));
        ASSERT_TRUE (p.midiLearn.bind (gribb::warpLearnTarget, { 22, 0 }));

        const auto values = sounding (p, c.block);
        EXPECT_FLOAT_EQ (values[gribb::lfoToCutoff], c.lfoToCutoff);

        // The message thread writes the moves in the order they were made: the parameter ends
        // where it sounds.
        p.midiLearn.applyPendingMoves();
        EXPECT_EQ (gribb::test::plainValue (p, "lfoToCutoff"), values[gribb::lfoToCutoff]);
        EXPECT_EQ (sounding (p)[gribb::lfoToCutoff], values[gribb::lfoToCutoff]);
    }
}

TEST (MidiLearnInTheBlock, TheLatestWriterWins)
{
    GribbTazoAudioProcessor p;
    ASSERT_TRUE (p.midiLearn.bind (gribb::cutoff, { 21, 0 }));
    ASSERT_TRUE (p.midiLearn.bind (gribb::crushLearnTarget, { 22, 0 }));
    juce::ignoreUnused (sounding (p)); // nothing held yet

    // A controller moves the cutoff; the host's automation writes it before the move is written:
    // the host's value sounds from the next block, and the overtaken move is never written.
    const auto moved = sounding (p, { cc (21, 100) });
    ASSERT_NE (moved[gribb::cutoff], 500.0f);
    gribb::test::setPlain (p, "cutoff", 500.0f);
    EXPECT_EQ (sounding (p)[gribb::cutoff], 500.0f);
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (gribb::test::plainValue (p, "cutoff"), 500.0f);
    EXPECT_EQ (sounding (p)[gribb::cutoff], 500.0f);

    // The controller again, after the host: the controller's value sounds and is written.
    const auto again = sounding (p, { cc (21, 10) });
    EXPECT_NE (again[gribb::cutoff], 500.0f);
    EXPECT_EQ (sounding (p)[gribb::cutoff], again[gribb::cutoff]);
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (gribb::test::plainValue (p, "cutoff"), again[gribb::cutoff]);

    // A macro: the host writes one of its targets; that one follows the host, the others the knob.
    const auto crushed = sounding (p, { cc (22, 127) });
    gribb::test::setPlain (p, "drive", 2.0f);
    const auto next = sounding (p);
    EXPECT_EQ (next[gribb::drive], 2.0f);
    EXPECT_EQ (next[gribb::bitDepth], crushed[gribb::bitDepth]);
    EXPECT_EQ (next[gribb::hardClip], crushed[gribb::hardClip]);
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (gribb::test::plainValue (p, "drive"), 2.0f);
    EXPECT_EQ (gribb::test::plainValue (p, "bitDepth"), crushed[gribb::bitDepth]);
    EXPECT_EQ (gribb::test::plainValue (p, "hardClip"), crushed[gribb::hardClip]);

    // A restored state replaces what a controller holds, also where it leaves a parameter's value
    // as it was, and the overtaken move is not written.
    juce::MemoryBlock state;
    p.getStateInformation (state);
    const auto saved = rawValues (p);
    EXPECT_NE (sounding (p, { cc (21, 127) })[gribb::cutoff], saved[gribb::cutoff]);
    p.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (sounding (p), saved);
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (rawValues (p), saved);
}

TEST (MidiLearnInTheBlock, AHostsLateRepeatOfAnOlderWriteNeitherSoundsNorEndsTheHold)
{
    // A VST3 host hands each edit the plug-in reports back to the processor a few blocks later
    // (Ardour does while it exports), by which time the controller has moved on.
    GribbTazoAudioProcessor p;
    ASSERT_TRUE (p.midiLearn.bind (gribb::cutoff, { 21, 0 }));
    auto* cutoff = p.parameters.getParameter ("cutoff");
    juce::ignoreUnused (sounding (p));

    // The host's late repeat, delivered as JUCE's VST3 wrapper delivers a host's parameter change.
    const auto hostRepeats = [cutoff] (float normalised)
    {
        if (juce::exactlyEqual (cutoff->getValue(), normalised))
            return; // the wrapper passes on changes only
        cutoff->setValue (normalised);
        cutoff->sendValueChangedMessageToListeners (normalised);
    };
    const auto written = [&] (int value)
    {
        const auto v = sounding (p, { cc (21, value) })[gribb::cutoff];
        p.midiLearn.applyPendingMoves();
        return std::pair<float, float> { v, cutoff->getValue() };
    };

    const auto [at10, n10] = written (10);
    const auto [at20, n20] = written (20);
    const auto at30 = sounding (p, { cc (21, 30) })[gribb::cutoff]; // held, not written yet
    ASSERT_NE (at10, at20);

    hostRepeats (n10);
    EXPECT_EQ (sounding (p)[gribb::cutoff], at30) << "the repeat of 10 does not end the hold of 30";
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (gribb::test::plainValue (p, "cutoff"), at30) << "the move of 30 is still written";

    hostRepeats (n20);
    EXPECT_EQ (sounding (p)[gribb::cutoff], at30) << "the repeat of 20 sounds as the last value written";
    p.midiLearn.applyPendingMoves();
    EXPECT_EQ (gribb::test::plainValue (p, "cutoff"), at30) << "the last value is written again";
    EXPECT_EQ (sounding (p)[gribb::cutoff], at30);

    // The host's own automation still wins, also with a value once written, long after.
    gribb::test::setPlain (p, "cutoff", 500.0f);
    EXPECT_EQ (sounding (p)[gribb::cutoff], 500.0f);
    for (int block = 0; block < 40; ++block)
        juce::ignoreUnused (sounding (p));
    hostRepeats (n10);
    EXPECT_EQ (sounding (p)[gribb::cutoff], at10) << "40 blocks later the same value is the host's own write";
}

TEST (MidiLearnInTheBlock, HeldValuesReachNoHeapOfOursWhileMovesLandAndTheHostWrites)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (sampleRate, blockSize);
    ASSERT_TRUE (p.midiLearn.bind (gribb::cutoff, { 21, 0 }));
    ASSERT_TRUE (p.midiLearn.bind (gribb::warpLearnTarget, { 22, 0 }));

    juce::AudioBuffer<float> audio (2, blockSize);
    for (int b = 0; b < 60; ++b)
    {
        auto midi = blockMidi (b, 21);
        midi.addEvent (juce::MidiMessage::controllerEvent (1, 22, (b * 5) % 128), 50);
        {
            gribb::test::ScopedAllocationCounter counter;
            p.processBlock (audio, midi);
            gribb::test::expectNoHeapCallOfOurs (counter);
        }

        // Between blocks: the message thread lands the moves, or the host writes.
        if (b % 4 == 1)
            p.midiLearn.applyPendingMoves();
        if (b % 4 == 2)
            gribb::test::setPlain (p, b % 8 == 2 ? "cutoff" : "fmIndex", 3.0f + (float) b);
    }
}
