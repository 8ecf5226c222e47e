#include "DefaultPlugin.h"

namespace gribb::render
{
juce::File findDefaultPlugin (const juce::File& program, const juce::File& builtPath, const juce::File& home)
{
    const juce::String bundle ("Gribb Tazo.vst3");
    const juce::File candidates[] {
        program.getParentDirectory().getSiblingFile ("lib").getChildFile ("vst3").getChildFile (bundle),
        builtPath,
        home.getChildFile (".vst3").getChildFile (bundle),
    };

    for (const auto& candidate : candidates)
        if (candidate != juce::File() && candidate.isDirectory())
            return candidate;

    return builtPath;
}
} // namespace gribb::render
