#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb::render
{
/** Loads an instrument plug-in (a VST3 or LV2 bundle) by path. Keep the loader alive for as long
    as any instance it created. */
class PluginLoader
{
public:
    PluginLoader();

    /** Returns the first plug-in found in the bundle, or nullptr with a reason in `error`. */
    std::unique_ptr<juce::AudioPluginInstance> load (const juce::File& bundle, double sampleRate,
                                                     int blockSize, juce::String& error);

private:
    juce::AudioPluginFormatManager formats;
};
} // namespace gribb::render
