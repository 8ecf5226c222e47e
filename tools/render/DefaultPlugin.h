#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace gribb::render
{
/** The places gribb-render looks for the bundle to load when no --plugin is given, in order:
    - the VST3 installed with the program (<prefix>/lib/vst3 for <prefix>/bin/gribb-render),
    - the VST3 of the build the program belongs to (builtRelative, relative to the program's folder),
    - the VST3 in the user's own plug-in folder (~/.vst3),
    - the system's plug-in folders (/usr/lib/vst3, /usr/local/lib/vst3).
    `program` must be the program's real location, not the name it was started by. */
std::vector<juce::File> defaultPluginCandidates (const juce::File& program, const juce::String& builtRelative,
                                                 const juce::File& home);

/** The first candidate that is a folder (a bundle), or an empty File when there is none. */
juce::File findDefaultPlugin (const juce::File& program, const juce::String& builtRelative, const juce::File& home);

/** The running program's real file, whatever folder it was started from and by what name. */
juce::File runningProgram();
} // namespace gribb::render
