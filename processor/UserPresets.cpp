#include "processor/UserPresets.h"

#include "processor/GribbTazoAudioProcessor.h"
#include "engine/ParameterTable.h"
#include "processor/WritePlainValue.h"

namespace gribb
{
namespace
{
/** The file's name in a one-line message. */
juce::String quoted (const juce::File& file) { return "\"" + oneLineText (file.getFileName(), 80) + "\""; }
} // namespace

void applyUserPreset (juce::AudioProcessorValueTreeState& parameters, const UserPreset& preset)
{
    for (const auto& [index, value] : preset.values)
        writePlainValue (parameters, parameterTable[(size_t) index].id, value);
}

juce::String loadUserPresetFile (GribbTazoAudioProcessor& processor, const juce::File& file)
{
    const auto result = readPresetFile (file);

    if (! result.preset.has_value())
        return "Could not open " + quoted (file) + ": " + result.problem + ".";

    applyUserPreset (processor.parameters, *result.preset);
    processor.setLoadedUserPreset (file);
    return {};
}

juce::String saveUserPreset (GribbTazoAudioProcessor& processor, const juce::File& folder, const juce::String& name,
                             const FileReplacer& replace)
{
    if (const auto problem = presetNameProblem (name); problem.isNotEmpty())
        return problem;

    const auto file = presetFileFor (folder, name);
    const auto shownName = file.getFileNameWithoutExtension();

    if (const auto problem = writePresetFile (file, presetText (processor.parameters, shownName), replace); problem.isNotEmpty())
        return "Could not save " + quoted (file) + ": " + problem + ".";

    processor.setLoadedUserPreset (file);
    return {};
}
} // namespace gribb
