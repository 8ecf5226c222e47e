#pragma once

#include <juce_core/juce_core.h>

namespace gribb::render
{
/** The bundle gribb-render loads when no --plugin is given: the first that exists of
    - the VST3 installed beside the program (<prefix>/lib/vst3 for <prefix>/bin/gribb-render),
    - the VST3 this build made (builtPath),
    - the VST3 in the user's own plug-in folder (~/.vst3),
    or builtPath when none exists, so that the error message names the build's bundle. */
juce::File findDefaultPlugin (const juce::File& program, const juce::File& builtPath, const juce::File& home);
} // namespace gribb::render
