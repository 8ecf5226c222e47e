#include "PluginLoader.h"

namespace gribb::render
{
PluginLoader::PluginLoader()
{
    formats.addFormat (new juce::VST3PluginFormat());
    formats.addFormat (new juce::LV2PluginFormat());
}

std::unique_ptr<juce::AudioPluginInstance> PluginLoader::load (const juce::File& bundle, double sampleRate,
                                                               int blockSize, juce::String& error)
{
    if (! bundle.exists())
    {
        error = "plug-in not found: " + bundle.getFullPathName();
        return nullptr;
    }

    const auto path = bundle.getFullPathName();

    for (auto* format : formats.getFormats())
    {
        if (! format->fileMightContainThisPluginType (path))
            continue;

        juce::OwnedArray<juce::PluginDescription> found;
        format->findAllTypesForFile (found, path);

        if (found.isEmpty())
            continue;

        juce::String reason;
        auto instance = formats.createPluginInstance (*found.getFirst(), sampleRate, blockSize, reason);

        if (instance != nullptr)
            return instance;

        error = "could not instantiate " + found.getFirst()->name + ": " + reason;
        return nullptr;
    }

    error = "no VST3 or LV2 plug-in could be loaded from " + path;
    return nullptr;
}
} // namespace gribb::render
