#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace gribb::render
{
/** True for a parameter that the hosting adds, not the plug-in: a VST3 wrapper's bypass and
    program-change parameters and JUCE's emulated "MIDI CC" controller parameters. */
bool isHostAddedParameter (juce::AudioPluginInstance& plugin, juce::AudioProcessorParameter& parameter);

/** The plug-in's own parameters, in the plug-in's order. */
std::vector<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& plugin);

/** The parameter's ID as the plug-in names it, the same in every format: a VST3's parameter
    number is traced back to the ID a JUCE plug-in derived it from (for Gribb Tazo's own
    parameters), and an LV2 parameter's URI loses the plug-in's URI in front of it. */
juce::String readableParameterId (juce::AudioPluginInstance& plugin, juce::AudioProcessorParameter& parameter);

/** A choice parameter's items, in order; empty for a continuous parameter. */
juce::StringArray choicesOf (juce::AudioProcessorParameter& parameter);

/** A plain value as text: a choice's item, or the number the plug-in shows written the same
    way in every format. */
juce::String plainValueText (juce::AudioProcessorParameter& parameter, float normalised);

struct ParameterRow
{
    juce::String id, name, range, unit, value;
};

/** One row per parameter: the plug-in's own, and with `includeHostAdded` the host's too. */
std::vector<ParameterRow> describeParameters (juce::AudioPluginInstance& plugin, bool includeHostAdded);
} // namespace gribb::render
