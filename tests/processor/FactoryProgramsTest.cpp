#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "support/StateBlocks.h"

using gribb::test::ProcessorSnapshot;

namespace
{
float plain (GribbTazoAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

float normalised (GribbTazoAudioProcessor& processor, const char* id)
{
    return processor.parameters.getParameter (id)->getValue();
}

const gribb::ParameterSpec& specOf (const juce::String& id)
{
    const auto index = gribb::parameterIndexOf (id.toStdString());
    EXPECT_GE (index, 0) << id;
    return gribb::parameterTable[(size_t) std::max (0, index)];
}

/** The processor's values must be exactly what `program` lists, and `before` elsewhere. */
void expectProgramApplied (GribbTazoAudioProcessor& processor, int program, const ProcessorSnapshot& before)
{
    const auto listed = GribbTazoAudioProcessor::getProgramValues (program);

    for (size_t i = 0; i < gribb::parameterTable.size(); ++i)
    {
        const auto& spec = gribb::parameterTable[i];
        const auto it = listed.find (spec.id);
        const auto expected = it != listed.end() ? it->second : before.values[i];
        EXPECT_NEAR (plain (processor, spec.id), expected, std::max (1.0e-3f * spec.interval, 1.0e-6f * std::abs (expected)))
            << "program " << program << ", " << spec.id << (it != listed.end() ? " (listed)" : " (not listed)");
    }
}

/** Records what a processor tells its listeners, in order. */
struct ChangeRecorder : juce::AudioProcessorListener
{
    std::vector<int> changedIndices;
    int gestures = 0;

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { changedIndices.push_back (index); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int) override { ++gestures; }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int) override { ++gestures; }
};

/** The two ways a program is chosen: by the host, and in the window. Outside a VST3 host both
    apply the program the same way. */
struct Chooser { const char* name; void (*choose) (GribbTazoAudioProcessor&, int); };
const Chooser choosers[] = {
    { "by the host", [] (GribbTazoAudioProcessor& p, int index) { p.setCurrentProgram (index); } },
    { "in the window", [] (GribbTazoAudioProcessor& p, int index) { p.selectProgram (index); } },
};
} // namespace

TEST (FactoryPrograms, TwentyNamedProgramsAndEmptyNamesOutside)
{
    GribbTazoAudioProcessor processor;
    const auto names = GribbTazoAudioProcessor::getProgramNames();

    ASSERT_EQ (names.size(), 20);
    EXPECT_EQ (processor.getNumPrograms(), 20);

    for (int i = 0; i < 20; ++i)
    {
        EXPECT_EQ (processor.getProgramName (i), names[i]);
        // Every name carries its one-based position, so the list is in program order.
        EXPECT_TRUE (names[i].startsWith (juce::String (i + 1).paddedLeft ('0', 2) + ". ")) << names[i];
    }

    EXPECT_EQ (processor.getProgramName (0), "01. Vorlen Pakkt Wobble");
    EXPECT_EQ (processor.getProgramName (8), "09. Tarvek's Bounce");
    EXPECT_EQ (processor.getProgramName (19), "20. Motherboard Melt");

    for (const int outside : { 20, -1, 42, INT_MIN, INT_MAX })
        EXPECT_TRUE (processor.getProgramName (outside).isEmpty()) << outside;

    processor.changeProgramName (0, "x");
    EXPECT_EQ (processor.getProgramName (0), "01. Vorlen Pakkt Wobble");
}

TEST (FactoryPrograms, EveryValueLiesInsideItsRangeAndOnItsInterval)
{
    for (int program = 0; program < 20; ++program)
    {
        const auto values = GribbTazoAudioProcessor::getProgramValues (program);
        EXPECT_GE (values.size(), 13u) << program;
        EXPECT_LE (values.size(), 22u) << program;

        for (const auto& [id, value] : values)
        {
            SCOPED_TRACE ("program " + juce::String (program) + ", " + id);
            const auto& spec = specOf (id);

            if (spec.kind == gribb::ParameterSpec::Kind::choice)
            {
                EXPECT_GE (value, 0.0f);
                EXPECT_LE (value, (float) (spec.numChoices() - 1));
                EXPECT_EQ (value, std::round (value));
            }
            else
            {
                EXPECT_GE (value, spec.start);
                EXPECT_LE (value, spec.end);
                EXPECT_TRUE (gribb::test::isOnGrid (spec, value)) << value;
            }
        }

        EXPECT_NE (values.at ("oversample"), 0.0f) << "no program switches oversampling off";
    }

    EXPECT_TRUE (GribbTazoAudioProcessor::getProgramValues (-1).empty());
    EXPECT_TRUE (GribbTazoAudioProcessor::getProgramValues (20).empty());
}

TEST (FactoryPrograms, AFreshProcessorReportsProgramZeroButKeepsTheDefaults)
{
    GribbTazoAudioProcessor processor;
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    for (const auto& spec : gribb::parameterTable)
        EXPECT_FLOAT_EQ (plain (processor, spec.id), spec.defaultValue) << spec.id;
}

TEST (FactoryPrograms, EachProgramWritesExactlyItsListedValues)
{
    for (int program = 0; program < 20; ++program)
    {
        GribbTazoAudioProcessor processor;
        const auto before = ProcessorSnapshot::of (processor);
        processor.setCurrentProgram (program);

        EXPECT_EQ (processor.getCurrentProgram(), program);
        expectProgramApplied (processor, program, before);
    }
}

TEST (FactoryPrograms, OutOfRangeIndicesAreClamped)
{
    struct Case { int requested; int selected; };
    const Case cases[] = { { -3, 0 }, { 25, 19 }, { 20, 19 }, { -1, 0 }, { INT_MIN, 0 }, { INT_MAX, 19 } };

    for (const auto& chooser : choosers)
    {
        for (const auto& c : cases)
        {
            SCOPED_TRACE (chooser.name);
            GribbTazoAudioProcessor processor;
            processor.setCurrentProgram (7); // something else first, so the clamped program must be applied
            const auto before = ProcessorSnapshot::of (processor);

            chooser.choose (processor, c.requested);
            EXPECT_EQ (processor.getCurrentProgram(), c.selected) << c.requested;
            expectProgramApplied (processor, c.selected, before);
        }
    }
}

TEST (FactoryPrograms, UnlistedParametersKeepWhatTheyHadBefore)
{
    GribbTazoAudioProcessor afterProgramZero;
    afterProgramZero.setCurrentProgram (0);
    afterProgramZero.setCurrentProgram (3);
    EXPECT_NEAR (plain (afterProgramZero, "lfoRate"), 6.0f, 1.0e-4f);
    EXPECT_NEAR (plain (afterProgramZero, "lfoToCutoff"), 0.85f, 1.0e-4f);
    EXPECT_NEAR (plain (afterProgramZero, "pulseWidth"), 0.5f, 1.0e-4f);

    GribbTazoAudioProcessor fresh;
    fresh.setCurrentProgram (3);
    EXPECT_NEAR (plain (fresh, "lfoRate"), 2.0f, 1.0e-4f);
    EXPECT_NEAR (plain (fresh, "lfoToCutoff"), 0.0f, 1.0e-4f);
    EXPECT_NEAR (plain (fresh, "pulseWidth"), 0.5f, 1.0e-4f);
}

TEST (FactoryPrograms, OnlyTheFirstThreeProgramsSetReactiveRoast)
{
    for (int program = 0; program < 20; ++program)
    {
        GribbTazoAudioProcessor processor;
        processor.parameters.getParameter ("reactiveRoast")->setValueNotifyingHost (0.25f);
        processor.setCurrentProgram (program);
        EXPECT_NEAR (plain (processor, "reactiveRoast"), program <= 2 ? 1.0f : 0.25f, 1.0e-6f) << program;
    }
}

TEST (FactoryPrograms, ProgramEightAfterProgramZeroWritesThirteenParametersInIdOrder)
{
    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (0);
    EXPECT_FLOAT_EQ (normalised (processor, "oscType"), 1.0f);
    EXPECT_FLOAT_EQ (normalised (processor, "oversample"), 1.0f);
    EXPECT_NEAR (plain (processor, "cutoff"), 1200.0f, 0.01f);

    ChangeRecorder recorder;
    processor.addListener (&recorder);
    processor.setCurrentProgram (8);
    processor.removeListener (&recorder);

    // Thirteen writes, one per listed parameter, walking the IDs in ascending character order,
    // with no change gestures around them.
    std::vector<juce::String> written;
    for (const int index : recorder.changedIndices)
        written.push_back (gribb::parameterTable[(size_t) index].id);

    std::vector<juce::String> listed;
    for (const auto& entry : GribbTazoAudioProcessor::getProgramValues (8))
        listed.push_back (entry.first);

    EXPECT_EQ (written.size(), 13u);
    EXPECT_EQ (written, listed);
    EXPECT_TRUE (std::is_sorted (written.begin(), written.end(),
                                 [] (const juce::String& a, const juce::String& b) { return a.compare (b) < 0; }));
    EXPECT_EQ (written.front(), "attack");
    EXPECT_EQ (recorder.gestures, 0);

    const std::pair<const char*, float> leftAlone[] = {
        { "fmRatio", 1.0f },  { "fmIndex", 6.0f },     { "unison", 8.0f },       { "srReduce", 0.0f },     { "lfoRate", 6.0f },
        { "lfoShape", 0.0f }, { "lfoToCutoff", 0.85f }, { "lfoToFm", 0.4f },     { "reactiveRoast", 1.0f },
    };

    for (const auto& [id, value] : leftAlone)
        EXPECT_NEAR (plain (processor, id), value, 1.0e-4f) << id;
}

TEST (FactoryPrograms, HandEditsKeepTheProgramIndexAndReselectingRestoresTheProgram)
{
    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (5);
    auto* cutoff = processor.parameters.getParameter ("cutoff");
    cutoff->setValueNotifyingHost (cutoff->convertTo0to1 (333.0f));

    EXPECT_EQ (processor.getCurrentProgram(), 5);
    EXPECT_NEAR (plain (processor, "cutoff"), 333.0f, 0.05f);

    for (const auto& chooser : choosers)
    {
        SCOPED_TRACE (chooser.name);
        cutoff->setValueNotifyingHost (cutoff->convertTo0to1 (333.0f));
        chooser.choose (processor, 5);
        EXPECT_NEAR (plain (processor, "cutoff"), 5000.0f, 0.05f);
    }
}

TEST (FactoryPrograms, ApplyProgramLeavesTheIndexAloneAndIgnoresUnknownPrograms)
{
    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (2);

    processor.applyProgram (9);
    EXPECT_EQ (processor.getCurrentProgram(), 2);
    EXPECT_NEAR (plain (processor, "cutoff"), 15000.0f, 0.05f);

    const auto before = ProcessorSnapshot::of (processor);
    processor.applyProgram (-1);
    processor.applyProgram (20);
    EXPECT_TRUE (ProcessorSnapshot::of (processor) == before);
}

TEST (FactoryPrograms, SelectingAProgramTellsTheHostItsProgramChanged)
{
    struct Listener : juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
        {
            programChanges += details.programChanged ? 1 : 0;
        }
        int programChanges = 0;
    } listener;

    for (const auto& chooser : choosers)
    {
        SCOPED_TRACE (chooser.name);
        GribbTazoAudioProcessor processor;
        listener.programChanges = 0;
        processor.addListener (&listener);
        chooser.choose (processor, 7);
        processor.removeListener (&listener);
        EXPECT_EQ (listener.programChanges, 1);
    }
}
