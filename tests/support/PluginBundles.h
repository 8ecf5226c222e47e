#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>

namespace gribb::test
{
/** A plug-in bundle for the hosted tests: the one this build made, unless the environment
    variable names another (an installed or packaged copy, to test what users get). */
inline juce::File pluginBundle (const char* environmentVariable, const char* builtBundle)
{
    const auto* value = std::getenv (environmentVariable);
    return juce::File (value != nullptr && *value != '\0' ? value : builtBundle);
}

/** The VST3 bundle under test: GRIBB_VST3_PATH from the environment, else the build's. */
inline juce::File vst3Bundle() { return pluginBundle ("GRIBB_VST3_PATH", GRIBB_VST3_PATH); }

/** The LV2 bundle under test: GRIBB_LV2_PATH from the environment, else the build's. */
inline juce::File lv2Bundle() { return pluginBundle ("GRIBB_LV2_PATH", GRIBB_LV2_PATH); }
} // namespace gribb::test
