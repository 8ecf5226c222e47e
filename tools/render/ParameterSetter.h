#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb::render
{
/** Finds a hosted plug-in's parameter by its plug-in-side ID or by its display name (case
    insensitive). A JUCE plug-in's string ID is matched through the VST3 parameter number it
    derives from it, so "cutoff" works through the VST3 interface too. */
juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& plugin, const juce::String& idOrName);

/** Sets a parameter to a plain value (the unit the plug-in shows, or a choice's index or name).
    Returns false with a reason when the value is outside the parameter's range or unknown. */
bool setPlainValue (juce::AudioProcessorParameter& parameter, const juce::String& value, juce::String& error);
} // namespace gribb::render
