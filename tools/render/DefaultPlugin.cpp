#include "DefaultPlugin.h"

namespace gribb::render
{
namespace
{
const juce::String bundleName ("Gribb Tazo.vst3");
} // namespace

std::vector<juce::File> defaultPluginCandidates (const juce::File& program, const juce::String& builtRelative,
                                                 const juce::File& home)
{
    const auto folder = program.getParentDirectory();
    std::vector<juce::File> candidates {
        folder.getSiblingFile ("lib").getChildFile ("vst3").getChildFile (bundleName),
    };

    // Only a program inside its build tree has the build's plug-in folder where it looks.
    if (builtRelative.isNotEmpty())
        if (const auto built = folder.getChildFile (builtRelative); built.getParentDirectory().isDirectory())
            candidates.push_back (built);

    candidates.push_back (home.getChildFile (".vst3").getChildFile (bundleName));
    candidates.push_back (juce::File ("/usr/lib/vst3").getChildFile (bundleName));
    candidates.push_back (juce::File ("/usr/local/lib/vst3").getChildFile (bundleName));
    return candidates;
}

juce::File findDefaultPlugin (const juce::File& program, const juce::String& builtRelative, const juce::File& home)
{
    for (const auto& candidate : defaultPluginCandidates (program, builtRelative, home))
        if (candidate.isDirectory())
            return candidate;

    return {};
}

juce::File runningProgram()
{
    // The kernel's link names the executable itself; the process's first argument would be
    // resolved against the current folder when the program was started by name from the PATH.
    const juce::File self ("/proc/self/exe");
    if (self.isSymbolicLink())
        return self.getLinkedTarget();

    return juce::File::getSpecialLocation (juce::File::currentExecutableFile);
}
} // namespace gribb::render
