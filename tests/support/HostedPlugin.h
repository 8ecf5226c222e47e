#pragma once

#include <gtest/gtest.h>

#include "OfflineRenderer.h"
#include "PluginLoader.h"
#include "support/PluginBundles.h"

namespace gribb::test
{
/** The plug-in bundle under test (by default the freshly built VST3), loaded through JUCE's
    plug-in hosting as a DAW would. */
struct HostedPlugin
{
    explicit HostedPlugin (const juce::File& bundle = vst3Bundle(), double rate = 48000.0, int block = 512)
    {
        instance = loader.load (bundle, rate, block, error);
    }

    gribb::render::PluginLoader loader;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};

/** The hosted plug-in's parameter with this name as the host shows it, or null. */
inline juce::AudioProcessorParameter* parameterNamed (juce::AudioPluginInstance& plugin, const juce::String& name)
{
    for (auto* p : plugin.getParameters())
        if (p->getName (100) == name)
            return p;
    return nullptr;
}
} // namespace gribb::test
