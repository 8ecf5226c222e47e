#include "processor/GribbTazoAudioProcessor.h"

#include "processor/FactoryProgramTable.h"

juce::StringArray GribbTazoAudioProcessor::getProgramNames()
{
    juce::StringArray names;

    for (const auto* name : gribb::factoryProgramNames)
        names.add (juce::String::fromUTF8 (name));

    return names;
}

std::map<juce::String, float> GribbTazoAudioProcessor::getProgramValues (int index)
{
    std::map<juce::String, float> values;

    for (int p = 0; p < gribb::numParameters; ++p)
        if (const auto value = gribb::factoryProgramValue (index, static_cast<gribb::ParamIndex> (p)))
            values.emplace (gribb::parameterTable[(size_t) p].id, *value);

    return values;
}

void GribbTazoAudioProcessor::applyProgram (int index)
{
    // The map walks its IDs in ascending order; each write goes through the host-notifying path so
    // that the host, the window's attachments and the engine all follow.
    for (const auto& [id, value] : getProgramValues (index))
        if (auto* parameter = parameters.getParameter (id))
            parameter->setValueNotifyingHost (parameters.getParameterRange (id).convertTo0to1 (value));
}

// Answered from the name list itself, without building a StringArray, so that asking is cheap.
int GribbTazoAudioProcessor::getNumPrograms() { return (int) gribb::factoryProgramNames.size(); }

int GribbTazoAudioProcessor::getCurrentProgram() { return currentProgram; }

int GribbTazoAudioProcessor::clampedProgram (int index)
{
    return index < 0 ? 0 : std::min (getNumPrograms() - 1, index);
}

void GribbTazoAudioProcessor::selectProgram (int index)
{
    currentProgram = clampedProgram (index);
    forgetLoadedUserPreset();
    applyProgram (currentProgram);

    // A program chosen in the plug-in's own window must show in the host's program display too.
    updateHostDisplay (ChangeDetails().withProgramChanged (true));
}

const juce::String GribbTazoAudioProcessor::getProgramName (int index)
{
    if (index < 0 || index >= getNumPrograms())
        return {};

    return juce::String::fromUTF8 (gribb::factoryProgramNames[(size_t) index]);
}

void GribbTazoAudioProcessor::changeProgramName (int, const juce::String&)
{
    // Factory program names are fixed.
}
