#include "ProgramSelection.h"

#include "ParameterListing.h"
#include "ParameterSetter.h"

#include <numeric>

namespace gribb::render
{
namespace
{
bool isLv2 (juce::AudioPluginInstance& plugin)
{
    return plugin.getPluginDescription().pluginFormatName == "LV2";
}

/** The number a program's name starts with, as written there ("05" of "05. Final Destination"). */
juce::String leadingNumber (const juce::String& name)
{
    return name.trimStart().initialSectionContainingOnly ("0123456789");
}
} // namespace

ProgramList listPrograms (juce::AudioPluginInstance& plugin)
{
    ProgramList list;
    const int count = juce::jmax (0, plugin.getNumPrograms());
    list.pluginIndices.resize ((size_t) count);
    std::iota (list.pluginIndices.begin(), list.pluginIndices.end(), 0);

    juce::StringArray names;
    for (int i = 0; i < count; ++i)
        names.add (plugin.getProgramName (i));

    if (isLv2 (plugin))
    {
        list.rule = "LV2 presets, sorted by name";
        std::stable_sort (list.pluginIndices.begin(), list.pluginIndices.end(),
                          [&] (int a, int b) { return names[a].compareNatural (names[b]) < 0; });
    }
    else
    {
        list.rule = plugin.getPluginDescription().pluginFormatName + " programs, in the plug-in's own order";
    }

    for (const int index : list.pluginIndices)
        list.names.add (names[index]);

    return list;
}

int findProgram (const ProgramList& programs, const juce::String& text, juce::String& error)
{
    const auto t = text.trim();

    if (programs.size() == 0)
    {
        error = "the plug-in has no programs";
        return -1;
    }

    for (int i = 0; i < programs.size(); ++i)
        if (programs.names[i].trim().equalsIgnoreCase (t))
            return i;

    const bool plainNumber = t.containsOnly ("0123456789") && ! (t.length() > 1 && t.startsWithChar ('0'));

    if (plainNumber)
    {
        const int n = t.getIntValue();
        if (t.length() <= 9 && juce::isPositiveAndBelow (n, programs.size()))
            return n;

        error = "program " + t + " does not exist (the plug-in has " + juce::String (programs.size())
              + ", numbered 0 to " + juce::String (programs.size() - 1) + "; try --list-programs)";
        return -1;
    }

    const auto number = t.trimCharactersAtEnd (".");
    if (number.isNotEmpty() && number.containsOnly ("0123456789"))
        for (int i = 0; i < programs.size(); ++i)
            if (leadingNumber (programs.names[i]) == number)
                return i;

    error = "no program is called '" + t + "' (try --list-programs)";
    return -1;
}

void flushParameterChanges (juce::AudioPluginInstance& plugin)
{
    const int channels = juce::jmax (1, plugin.getTotalNumOutputChannels(), plugin.getTotalNumInputChannels());
    juce::AudioBuffer<float> block (channels, 1);
    block.clear();
    juce::MidiBuffer midi;
    plugin.processBlock (block, midi);
}

void selectProgram (juce::AudioPluginInstance& plugin, int pluginIndex)
{
    const int count = plugin.getNumPrograms();
    if (! juce::isPositiveAndBelow (pluginIndex, count))
        return;

    if (plugin.getCurrentProgram() == pluginIndex && count > 1)
    {
        const auto own = ownParameters (plugin);
        std::vector<float> before;
        for (auto* parameter : own)
            before.push_back (parameter->getValue());

        plugin.setCurrentProgram (pluginIndex == 0 ? 1 : 0);
        flushParameterChanges (plugin);

        for (size_t i = 0; i < own.size(); ++i)
            own[i]->setValueNotifyingHost (before[i]);
        flushParameterChanges (plugin);
    }

    plugin.setCurrentProgram (pluginIndex);
    flushParameterChanges (plugin);
}
} // namespace gribb::render

namespace gribb::render
{
bool setUpForRender (juce::AudioPluginInstance& plugin, const ProgramList& programs, int listIndex,
                     const std::vector<std::pair<juce::String, juce::String>>& settings,
                     double sampleRate, int blockSize, juce::String& error)
{
    plugin.setNonRealtime (true);
    plugin.prepareToPlay (sampleRate, blockSize);

    if (juce::isPositiveAndBelow (listIndex, programs.size()))
        selectProgram (plugin, programs.pluginIndices[(size_t) listIndex]);

    bool ok = true;
    for (const auto& [idOrName, value] : settings)
    {
        auto* parameter = findParameter (plugin, idOrName);
        if (parameter == nullptr)
        {
            error = "unknown parameter '" + idOrName + "' (try --list-params)";
            ok = false;
            break;
        }
        if (! setPlainValue (*parameter, value, error))
        {
            ok = false;
            break;
        }
    }

    flushParameterChanges (plugin);
    plugin.releaseResources();
    return ok;
}
} // namespace gribb::render
