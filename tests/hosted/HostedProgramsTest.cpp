// Programs and saved state as a VST3 host sees them: the plug-in is loaded from its bundle
// through JUCE's VST3 hosting. JUCE's VST3 wrapper offers the programs as a program list and a
// "Program" parameter; the hosting side reads the names from that list and selects a program by
// setting that parameter, which makes the wrapper call the plug-in's setCurrentProgram.

#include <gtest/gtest.h>

#include "PluginLoader.h"
#include "processor/FactoryProgramTable.h"
#include "support/PluginBundles.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

struct LoadedPlugin
{
    LoadedPlugin() { instance = loader.load (gribb::test::vst3Bundle(), sampleRate, blockSize, error); }

    juce::AudioProcessorParameter& parameter (gribb::ParamIndex index) { return *instance->getParameters()[index]; }

    /** The host's view of the plug-in's 22 parameters, normalised. */
    std::array<float, gribb::numParameters> values()
    {
        std::array<float, gribb::numParameters> result {};
        for (int i = 0; i < gribb::numParameters; ++i)
            result[(size_t) i] = parameter ((gribb::ParamIndex) i).getValue();
        return result;
    }

    gribb::render::PluginLoader loader;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};

/** A plain value as the host sees it: normalised with the parameter's own range. */
float normalisedFor (const gribb::ParameterSpec& spec, float plainValue)
{
    if (spec.kind == gribb::ParameterSpec::Kind::choice)
        return plainValue / (float) (spec.numChoices() - 1);

    return juce::NormalisableRange<float> (spec.start, spec.end, spec.interval, spec.skew).convertTo0to1 (plainValue);
}
} // namespace

TEST (HostedPrograms, TheHostSeesTwentyNamedProgramsAndAProgramParameter)
{
    LoadedPlugin plugin;
    ASSERT_NE (plugin.instance, nullptr) << plugin.error;

    ASSERT_EQ (plugin.instance->getNumPrograms(), 20);
    EXPECT_EQ (plugin.instance->getCurrentProgram(), 0);

    for (int i = 0; i < 20; ++i)
        EXPECT_EQ (plugin.instance->getProgramName (i), juce::String::fromUTF8 (gribb::factoryProgramNames[(size_t) i])) << i;

    EXPECT_TRUE (plugin.instance->getProgramName (20).isEmpty());

    // After the plug-in's own parameters the wrapper lists a "Program" parameter with a step per program.
    const auto& all = plugin.instance->getParameters();
    const auto program = std::find_if (all.begin(), all.end(), [] (auto* p) { return p->getName (100) == "Program"; });
    ASSERT_NE (program, all.end());
    EXPECT_GE ((int) (program - all.begin()), gribb::numParameters);
    EXPECT_EQ ((*program)->getNumSteps(), 20);
    EXPECT_EQ ((*program)->getText (1.0f, 100), "20. Motherboard Melt");
}

TEST (HostedPrograms, SelectingAProgramThroughTheHostChangesTheParametersItLists)
{
    LoadedPlugin plugin;
    ASSERT_NE (plugin.instance, nullptr) << plugin.error;

    // Every program once, then a few that leave parameters unlisted after others that set them.
    // (Program 0 comes later: see the next test.)
    const int sequence[] = { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 3, 0, 8, 12 };

    for (const int program : sequence)
    {
        const auto before = plugin.values();
        plugin.instance->setCurrentProgram (program);
        const auto after = plugin.values();

        EXPECT_EQ (plugin.instance->getCurrentProgram(), program);

        for (int i = 0; i < gribb::numParameters; ++i)
        {
            const auto& spec = gribb::parameterTable[(size_t) i];
            const auto listed = gribb::factoryProgramValue (program, (gribb::ParamIndex) i);
            const auto expected = listed.has_value() ? normalisedFor (spec, *listed) : before[(size_t) i];
            EXPECT_NEAR (after[(size_t) i], expected, 1.0e-4f)
                << "program " << program << ", " << spec.id << (listed.has_value() ? " (listed)" : " (not listed)");
        }
    }
}

// The wrapper passes a program change on only when the index differs from the one the plug-in
// reports. A fresh instance reports program 0 without having applied it, so choosing program 0
// first through the host changes nothing, and choosing the current program again does not
// re-apply it. This is what a host sees; the window's selector calls selectProgram, which always
// re-applies.
TEST (HostedPrograms, TheHostCannotReselectTheProgramThePlugInReports)
{
    LoadedPlugin plugin;
    ASSERT_NE (plugin.instance, nullptr) << plugin.error;

    const auto defaults = plugin.values();
    plugin.instance->setCurrentProgram (0);
    EXPECT_EQ (plugin.instance->getCurrentProgram(), 0);
    EXPECT_EQ (plugin.values(), defaults);

    plugin.instance->setCurrentProgram (4);
    plugin.parameter (gribb::cutoff).setValueNotifyingHost (0.2f);
    plugin.instance->setCurrentProgram (4);
    EXPECT_NEAR (plugin.parameter (gribb::cutoff).getValue(), 0.2f, 1.0e-5f);

    plugin.instance->setCurrentProgram (0);
    EXPECT_NEAR (plugin.parameter (gribb::oscType).getValue(), 1.0f, 1.0e-5f);
    EXPECT_NEAR (plugin.parameter (gribb::cutoff).getValue(), normalisedFor (gribb::parameterTable[gribb::cutoff], 1200.0f), 1.0e-4f);
}

TEST (HostedPrograms, AStateSavedFromOneInstanceRestoresIntoAnother)
{
    LoadedPlugin source;
    ASSERT_NE (source.instance, nullptr) << source.error;

    source.instance->setCurrentProgram (13);

    // Hand edits after the program, as a musician makes them in the host's generic editor.
    source.parameter (gribb::cutoff).setValueNotifyingHost (0.31f);
    source.parameter (gribb::oscType).setValueNotifyingHost (0.5f);
    source.parameter (gribb::reactiveRoast).setValueNotifyingHost (0.123f);
    source.parameter (gribb::lfoShape).setValueNotifyingHost (1.0f);

    juce::MemoryBlock state;
    source.instance->getStateInformation (state);
    ASSERT_GT (state.getSize(), 0u);

    LoadedPlugin target;
    ASSERT_NE (target.instance, nullptr) << target.error;
    target.instance->setCurrentProgram (2);
    target.instance->setStateInformation (state.getData(), (int) state.getSize());

    EXPECT_EQ (target.instance->getCurrentProgram(), 13);

    const auto expected = source.values();
    const auto restored = target.values();

    for (int i = 0; i < gribb::numParameters; ++i)
        EXPECT_NEAR (restored[(size_t) i], expected[(size_t) i], 1.0e-5f) << gribb::parameterTable[(size_t) i].id;

    // The hand edits made it through, not program 13's values.
    EXPECT_NEAR (restored[gribb::reactiveRoast], 0.123f, 1.0e-5f);
    EXPECT_NEAR (restored[gribb::oscType], 0.5f, 1.0e-5f);

    // The restored instance saves the same plug-in state again.
    juce::MemoryBlock again;
    target.instance->getStateInformation (again);
    LoadedPlugin third;
    ASSERT_NE (third.instance, nullptr) << third.error;
    third.instance->setStateInformation (again.getData(), (int) again.getSize());
    EXPECT_EQ (third.instance->getCurrentProgram(), 13);
    EXPECT_EQ (third.values(), restored);
}

namespace
{
/** The hosted state with the plug-in's program index rewritten, as a hand edit would leave it.
    JUCE's hosting wraps the component's state (the plug-in's block, then the wrapper's own data)
    in base64 inside an XML element "IComponent". */
juce::MemoryBlock withStoredProgram (const juce::MemoryBlock& hostedState, const juce::String& from, const juce::String& to)
{
    auto outer = juce::AudioProcessor::getXmlFromBinary (hostedState.getData(), (int) hostedState.getSize());
    auto* component = outer != nullptr ? outer->getChildByName ("IComponent") : nullptr;

    if (component == nullptr)
        return {};

    juce::MemoryBlock inner;
    inner.fromBase64Encoding (component->getAllSubText());
    const auto* bytes = static_cast<const char*> (inner.getData());
    const auto xmlLength = (size_t) juce::ByteOrder::littleEndianInt (bytes + 4);
    const auto xmlText = juce::String::fromUTF8 (bytes + 8, (int) xmlLength).replace (from, to);

    juce::MemoryOutputStream edited;
    edited.writeInt (0x21324356);
    edited.writeInt ((int) xmlText.getNumBytesAsUTF8());
    edited << xmlText;
    edited.writeByte (0);
    edited.write (bytes + 8 + xmlLength + 1, inner.getSize() - (8 + xmlLength + 1)); // the wrapper's data

    component->deleteAllTextElements();
    component->addTextElement (edited.getMemoryBlock().toBase64Encoding());

    juce::MemoryBlock result;
    juce::AudioProcessor::copyXmlToBinary (*outer, result);
    return result;
}
} // namespace

TEST (HostedPrograms, AStoredIndexBeyondTheListDoesNotReplaceTheRestoredValues)
{
    LoadedPlugin source;
    ASSERT_NE (source.instance, nullptr) << source.error;
    source.instance->setCurrentProgram (13);
    source.parameter (gribb::cutoff).setValueNotifyingHost (0.31f);

    juce::MemoryBlock state;
    source.instance->getStateInformation (state);
    const auto edited = withStoredProgram (state, "currentProgram=\"13\"", "currentProgram=\"42\"");
    ASSERT_GT (edited.getSize(), 0u);

    // Were 42 kept, the wrapper would move its program parameter to the last program and apply
    // program 19 over every restored value.
    LoadedPlugin target;
    ASSERT_NE (target.instance, nullptr) << target.error;
    target.instance->setStateInformation (edited.getData(), (int) edited.getSize());

    EXPECT_EQ (target.instance->getCurrentProgram(), 19);

    const auto expected = source.values();
    const auto restored = target.values();

    for (int i = 0; i < gribb::numParameters; ++i)
        EXPECT_NEAR (restored[(size_t) i], expected[(size_t) i], 1.0e-5f) << gribb::parameterTable[(size_t) i].id;
}
