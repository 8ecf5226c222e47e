#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <optional>

namespace gribb::render
{
/** The render host's pitch options: the instrument's pitch-bend range, following the
    controller's MPE set-up, and a Scala scale and keyboard mapping. They travel to the plug-in
    inside its saved state (the element Gribb Tazo keeps them in), so they work the same through
    the VST3 and the LV2. */
struct PitchOptions
{
    std::optional<float> bendRange;
    bool followMpe = false;
    juce::File scaleFile, mappingFile;
    juce::String scaleText, mappingText; // read and checked by readPitchFiles

    bool any() const noexcept { return bendRange.has_value() || followMpe || scaleFile != juce::File() || mappingFile != juce::File(); }
};

/** If args[index] is one of the pitch options, reads it (and its value, advancing index) and
    returns true; a bad value gives false with handled set and a message. */
bool takePitchOption (const juce::StringArray& args, int& index, PitchOptions& options, bool& handled, juce::String& error);

juce::String pitchOptionsUsage();

/** Reads and checks the scale and mapping files: false with a message that names the file. */
bool readPitchFiles (PitchOptions& options, juce::String& error);

/** Puts the options into the plug-in's state: false if the plug-in's state holds no Gribb Tazo
    state to put them in. */
bool applyPitchOptions (juce::AudioPluginInstance& plugin, const PitchOptions& options, juce::String& error);
} // namespace gribb::render
