// A saved project reopens as the musician left it, through the VST3 interfaces themselves: the
// built module is loaded by a small host that keeps its own copy of every parameter and writes
// it back into the plug-in the way Ardour 7 does (see support/ShadowingVst3Host.h). The session
// is built as a musician would: a factory program chosen from the host's preset list, three
// parameters then set by hand, the session saved and reopened in a new instance.

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include <juce_core/juce_core.h>

#include "processor/FactoryProgramTable.h"
#include "engine/ParameterTable.h"
#include "support/ShadowingVst3Host.h"

using gribb::test::ShadowingVst3Host;
using gribb::test::Vst3Session;

namespace
{
constexpr int motherboardMelt = 19; // "20. Motherboard Melt"

/** The hand-set values (normalised), each far from what program 20 sets. */
struct HandEdit { gribb::ParamIndex parameter; double normalised; };
const HandEdit handEdits[] = {
    { gribb::cutoff, 0.62 },
    { gribb::fmIndex, 0.125 },
    { gribb::lfoShape, 1.0 / 3.0 }, // "Triangle"; the program sets "Random"
};

int listedIndex (const ShadowingVst3Host& host, gribb::ParamIndex parameter)
{
    return host.indexOf (gribb::parameterTable[(size_t) parameter].name);
}

std::map<std::string, double> valuesById (const ShadowingVst3Host::PluginState& state)
{
    return { state.values.begin(), state.values.end() };
}

/** Plain values are compared with a tolerance of one part in 10^5 of the parameter's range. */
double toleranceFor (const std::string& id)
{
    const auto& spec = gribb::parameterTable[(size_t) gribb::parameterIndexOf (id)];
    return spec.kind == gribb::ParameterSpec::Kind::choice ? 1.0e-6 : 1.0e-5 * (spec.end - spec.start);
}

/** Session 1: program 20 from the host's list, three parameters set by hand, saved. */
Vst3Session buildSession()
{
    ShadowingVst3Host host (GRIBB_VST3_PATH);
    EXPECT_TRUE (host.isLoaded()) << host.error;
    if (! host.isLoaded())
        return {};

    const int restarts = host.valuesChangedCount;
    host.chooseProgram (motherboardMelt);
    host.waitForValuesChanged (restarts);
    host.runCycle();

    for (const auto& edit : handEdits)
        host.setFromHost (listedIndex (host, edit.parameter), edit.normalised);

    host.runCycle();
    for (int i = 0; i < (int) host.listed.size(); ++i)
        host.read (i); // the host's UI follows its copy
    host.runCycle();

    return host.save();
}

/** The ways a host brings a session back. */
enum class Restore { ardourSessionLoad, chunkOnly, chunkThenProgram };

struct RestoreCase { const char* name; Restore how; };
const RestoreCase restoreCases[] = {
    { "Ardour 7 session load: program parameter, saved values, then the chunks", Restore::ardourSessionLoad },
    { "chunks only", Restore::chunkOnly },
    { "chunks, then the program parameter set to the saved program", Restore::chunkThenProgram },
};
} // namespace

TEST (ProgramRestoreVst3, AReopenedSessionHoldsTheHandSetValuesAndTheProgram)
{
    const auto session = buildSession();
    ASSERT_FALSE (session.componentState.empty());
    ASSERT_EQ (session.lastProgram, motherboardMelt);

    ShadowingVst3Host reference (GRIBB_VST3_PATH);
    ASSERT_TRUE (reference.isLoaded()) << reference.error;
    reference.loadChunks (session);
    const auto saved = reference.pluginState();
    ASSERT_EQ (saved.values.size(), (size_t) gribb::numParameters);
    ASSERT_EQ (saved.currentProgram, motherboardMelt);

    // The session is worth testing: each hand-set value differs from the program's own.
    const auto savedById = valuesById (saved);
    for (const auto& edit : handEdits)
    {
        const auto* id = gribb::parameterTable[(size_t) edit.parameter].id;
        const auto programValue = gribb::factoryProgramValue (motherboardMelt, edit.parameter);
        ASSERT_TRUE (programValue.has_value()) << id;
        EXPECT_GT (std::abs (savedById.at (id) - *programValue), 100.0 * toleranceFor (id)) << id;
    }

    for (const auto& c : restoreCases)
    {
        SCOPED_TRACE (c.name);
        ShadowingVst3Host host (GRIBB_VST3_PATH);
        ASSERT_TRUE (host.isLoaded()) << host.error;

        if (c.how == Restore::ardourSessionLoad)
            host.reopen (session);
        else
            host.loadChunks (session);

        if (c.how == Restore::chunkThenProgram)
            host.setProgramParameter (session.lastProgram);

        ShadowingVst3Host::settle();

        // The session runs; the host's UI reads every parameter, writing back what it holds.
        for (int round = 0; round < 2; ++round)
        {
            host.runCycle();
            for (int i = 0; i < (int) host.listed.size(); ++i)
                host.read (i);
            ShadowingVst3Host::settle();
        }
        host.runCycle();

        const auto reopened = host.pluginState();
        EXPECT_EQ (reopened.currentProgram, motherboardMelt);
        ASSERT_EQ (reopened.values.size(), saved.values.size());
        for (const auto& [id, value] : saved.values)
            EXPECT_NEAR (valuesById (reopened).at (id), value, toleranceFor (id)) << id;

        // The host's copy and the controller agree with the saved values too.
        for (const auto& [id, value] : session.ports)
        {
            for (int i = 0; i < (int) host.listed.size(); ++i)
            {
                if (host.listed[(size_t) i].id != id)
                    continue;
                EXPECT_NEAR (host.shadowOf (i), value, 1.0e-6) << host.listed[(size_t) i].title;
                EXPECT_NEAR (host.controllerValue (i), value, 1.0e-6) << host.listed[(size_t) i].title;
            }
        }

        EXPECT_NEAR (host.programParameterValue(), motherboardMelt / (host.numFactoryPrograms() - 1.0), 1.0e-9);
    }
}

TEST (ProgramRestoreVst3, AProgramFromTheHostsListChangesTheSoundAndWhatTheHostShows)
{
    ShadowingVst3Host host (GRIBB_VST3_PATH);
    ASSERT_TRUE (host.isLoaded()) << host.error;
    ASSERT_EQ (host.numFactoryPrograms(), 20);

    for (const int program : { 4, 19, 0 })
    {
        SCOPED_TRACE (program);
        const int editsBefore = host.performEditCount + host.outputChangeCount;
        const int restartsBefore = host.valuesChangedCount;

        host.chooseProgram (program);
        EXPECT_TRUE (host.waitForValuesChanged (restartsBefore));
        host.runCycle();
        host.runCycle();

        // The plug-in holds the program's values.
        const auto state = host.pluginState();
        EXPECT_EQ (state.currentProgram, program);
        const auto values = valuesById (state);
        for (int p = 0; p < gribb::numParameters; ++p)
        {
            const auto* id = gribb::parameterTable[(size_t) p].id;
            if (const auto expected = gribb::factoryProgramValue (program, (gribb::ParamIndex) p))
            {
                EXPECT_NEAR (values.at (id), *expected, toleranceFor (id)) << id;
            }
        }

        // The host learns them as a program change (kParamValuesChanged, then it reads the
        // controller), not as edits the user made (performEdit, or output parameter changes of
        // process()); its copy and display follow.
        EXPECT_EQ (host.performEditCount + host.outputChangeCount, editsBefore);
        for (int i = 0; i < (int) host.listed.size(); ++i)
            EXPECT_NEAR (host.shadowOf (i), host.controllerValue (i), 1.0e-6) << host.listed[(size_t) i].title;

        const auto cutoff = listedIndex (host, gribb::cutoff);
        const auto& cutoffSpec = gribb::parameterTable[gribb::cutoff];
        const auto expectedCutoff = *gribb::factoryProgramValue (program, gribb::cutoff);
        EXPECT_NEAR (juce::NormalisableRange<float> (cutoffSpec.start, cutoffSpec.end, cutoffSpec.interval, cutoffSpec.skew)
                         .convertFrom0to1 ((float) host.read (cutoff)),
                     expectedCutoff, 0.1);

        // The host's program display.
        EXPECT_NEAR (host.programParameterValue(), program / 19.0, 1.0e-9);
    }
}
