#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "processor/PresetFile.h"
#include "processor/PresetLibrary.h"

class GribbTazoAudioProcessor;

namespace gribb
{
// User presets in use: applying a preset's values to the parameters, and loading and saving the
// files that the window offers (processor/PresetFile.h is the file format, processor/PresetLibrary.h
// the folder of files). Message thread.

/** Writes the preset's values through the host-notifying path, as choosing a program in the
    window does; parameters the preset does not list keep their values. */
void applyUserPreset (juce::AudioProcessorValueTreeState& parameters, const UserPreset& preset);

/** Opens a preset file and applies it; remembers it as the processor's loaded user preset.
    Returns an empty string, or a one-line message naming the file and the reason; then nothing
    has changed. */
juce::String loadUserPresetFile (GribbTazoAudioProcessor& processor, const juce::File& file);

/** Saves the processor's values as a preset under that name in the folder and remembers it as
    the loaded user preset. Returns an empty string, or a one-line message. */
juce::String saveUserPreset (GribbTazoAudioProcessor& processor, const juce::File& folder, const juce::String& name,
                             const FileReplacer& replace = renameOver);
} // namespace gribb
