#include "ParameterListing.h"

#include "engine/ParameterTable.h"

#include <algorithm>

namespace gribb::render
{
namespace
{
constexpr juce::uint32 juceProgramParameterId = 0x70727374; // 'prst', JUCE's VST3 program change

juce::String rawIdOf (juce::AudioProcessorParameter& parameter)
{
    if (auto* hosted = dynamic_cast<juce::HostedAudioProcessorParameter*> (&parameter))
        return hosted->getParameterID();
    return {};
}

bool isGribbTazo (juce::AudioPluginInstance& plugin)
{
    return plugin.getPluginDescription().name == "Gribb Tazo";
}

const ParameterSpec* gribbSpecFor (const juce::String& id)
{
    const int index = parameterIndexOf (id.toStdString());
    return index >= 0 ? &parameterTable[(size_t) index] : nullptr;
}

float leadingNumber (const juce::String& text)
{
    return text.trim().initialSectionContainingOnly ("0123456789.-+eE").getFloatValue();
}

juce::String numberText (float value)
{
    auto text = juce::String (value, 6);
    if (text.containsChar ('.'))
        text = text.trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
    return text == "-0" ? juce::String ("0") : text;
}
} // namespace

bool isHostAddedParameter (juce::AudioPluginInstance& plugin, juce::AudioProcessorParameter& parameter)
{
    if (&parameter == plugin.getBypassParameter())
        return true;

    if (plugin.getPluginDescription().pluginFormatName != "VST3")
        return false;

    if (rawIdOf (parameter) == juce::String (juceProgramParameterId))
        return true;

    return ! parameter.isAutomatable() && parameter.getName (64).startsWith ("MIDI CC ");
}

std::vector<juce::AudioProcessorParameter*> ownParameters (juce::AudioPluginInstance& plugin)
{
    std::vector<juce::AudioProcessorParameter*> own;
    for (auto* parameter : plugin.getParameters())
        if (! isHostAddedParameter (plugin, *parameter))
            own.push_back (parameter);
    return own;
}

juce::String readableParameterId (juce::AudioPluginInstance& plugin, juce::AudioProcessorParameter& parameter)
{
    const auto raw = rawIdOf (parameter);
    const auto format = plugin.getPluginDescription().pluginFormatName;

    if (format == "VST3")
    {
        for (const auto& spec : parameterTable)
            for (const bool studioOne : { false, true })
                if (raw == juce::String (juce::VST3ClientExtensions::convertJuceParameterId (spec.id, studioOne)))
                    return spec.id;
    }
    else if (format == "LV2")
    {
        // JUCE's LV2 parameters are named <plug-in URI>:<ID>, which the hosting may prefix further.
        const auto uri = plugin.getPluginDescription().fileOrIdentifier;
        const int at = uri.isNotEmpty() ? raw.indexOf (uri) : -1;
        const int end = at + uri.length();
        if (at >= 0 && raw.length() > end + 1 && juce::String (":#/").containsChar (raw[end]))
            return raw.substring (end + 1);
    }

    return raw.isNotEmpty() ? raw : juce::String (parameter.getParameterIndex());
}

juce::StringArray choicesOf (juce::AudioProcessorParameter& parameter)
{
    juce::StringArray choices;
    const int steps = parameter.getNumSteps();

    if (parameter.isDiscrete() && steps > 1 && steps <= 64)
        for (int i = 0; i < steps; ++i)
            choices.add (parameter.getText ((float) i / (float) (steps - 1), 1024));

    return choices;
}

juce::String plainValueText (juce::AudioProcessorParameter& parameter, float normalised)
{
    if (! choicesOf (parameter).isEmpty())
        return parameter.getText (normalised, 1024);

    return numberText (leadingNumber (parameter.getText (normalised, 1024)));
}

std::vector<ParameterRow> describeParameters (juce::AudioPluginInstance& plugin, bool includeHostAdded)
{
    std::vector<ParameterRow> rows;

    // Gribb Tazo's own parameters in its own order, which every format keeps apart from LV2 (whose
    // ports come sorted by URI); anything else in the plug-in's order after them.
    auto parameters = plugin.getParameters();
    if (isGribbTazo (plugin))
    {
        auto rank = [&plugin] (juce::AudioProcessorParameter* p)
        {
            const int index = parameterIndexOf (readableParameterId (plugin, *p).toStdString());
            return index >= 0 ? index : numParameters;
        };
        std::stable_sort (parameters.begin(), parameters.end(), [&] (auto* a, auto* b) { return rank (a) < rank (b); });
    }

    for (auto* parameter : parameters)
    {
        if (! includeHostAdded && isHostAddedParameter (plugin, *parameter))
            continue;

        ParameterRow row;
        row.id = readableParameterId (plugin, *parameter);
        row.name = parameter->getName (1024);

        const auto choices = choicesOf (*parameter);
        row.range = choices.isEmpty() ? plainValueText (*parameter, 0.0f) + " .. " + plainValueText (*parameter, 1.0f)
                                      : choices.joinIntoString ("|");

        row.unit = parameter->getLabel();
        if (row.unit.isEmpty() && isGribbTazo (plugin))
            if (const auto* spec = gribbSpecFor (row.id))
                row.unit = spec->unit;

        row.value = plainValueText (*parameter, parameter->getValue());
        rows.push_back (row);
    }

    return rows;
}
} // namespace gribb::render
