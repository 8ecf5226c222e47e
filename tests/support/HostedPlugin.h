#pragma once

#include <gtest/gtest.h>

#include "OfflineRenderer.h"
#include "PluginLoader.h"

namespace gribb::test
{
/** The freshly built plug-in bundle, loaded through JUCE's plug-in hosting as a DAW would. */
struct HostedPlugin
{
    explicit HostedPlugin (const char* path = GRIBB_VST3_PATH, double rate = 48000.0, int block = 512)
    {
        instance = loader.load (juce::File (path), rate, block, error);
    }

    gribb::render::PluginLoader loader;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
};
} // namespace gribb::test
