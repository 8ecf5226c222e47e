#include "ParameterSetter.h"

#include "ParameterListing.h"

namespace gribb::render
{
namespace
{
juce::String idOf (juce::AudioProcessorParameter& p)
{
    if (auto* withId = dynamic_cast<juce::HostedAudioProcessorParameter*> (&p))
        return withId->getParameterID();
    return {};
}

bool parsesAsNumber (const juce::String& text)
{
    const auto t = text.trim();
    return t.isNotEmpty() && t.containsOnly ("0123456789.-+eE");
}

float numberIn (const juce::String& text)
{
    // The leading number of a displayed value such as "12000.0 Hz".
    return text.trim().initialSectionContainingOnly ("0123456789.-+eE").getFloatValue();
}
} // namespace

juce::AudioProcessorParameter* findParameter (juce::AudioPluginInstance& plugin, const juce::String& idOrName)
{
    const auto wanted = idOrName.trim();
    const juce::String vst3Ids[] = {
        juce::String (juce::VST3ClientExtensions::convertJuceParameterId (wanted, true)),
        juce::String (juce::VST3ClientExtensions::convertJuceParameterId (wanted, false)),
    };

    // IDs first (as the plug-in names them, in any case, or as the format numbers them), then names.
    for (auto* p : plugin.getParameters())
    {
        const auto raw = idOf (*p);
        if (readableParameterId (plugin, *p).equalsIgnoreCase (wanted) || raw.equalsIgnoreCase (wanted)
            || raw == vst3Ids[0] || raw == vst3Ids[1])
            return p;
    }

    for (auto* p : plugin.getParameters())
        if (p->getName (1024).trim().equalsIgnoreCase (wanted))
            return p;

    return nullptr;
}

bool setPlainValue (juce::AudioProcessorParameter& parameter, const juce::String& value, juce::String& error)
{
    const auto name = parameter.getName (1024);
    const int steps = parameter.getNumSteps();

    if (parameter.isDiscrete() && steps > 1 && steps <= 64)
    {
        // A choice: accept its index or its displayed text.
        for (int i = 0; i < steps; ++i)
        {
            const float normalised = (float) i / (float) (steps - 1);
            const auto text = parameter.getText (normalised, 1024);
            const bool isIndex = value.trim().containsOnly ("0123456789") && value.trim().getIntValue() == i;
            if (text.equalsIgnoreCase (value.trim()) || isIndex)
            {
                parameter.setValueNotifyingHost (normalised);
                return true;
            }
        }
        error = "'" + value + "' is not a choice of " + name;
        return false;
    }

    if (! parsesAsNumber (value))
    {
        error = "'" + value + "' is not a number (parameter " + name + ")";
        return false;
    }

    const float plain = value.getFloatValue();
    const float lo = numberIn (parameter.getText (0.0f, 1024));
    const float hi = numberIn (parameter.getText (1.0f, 1024));
    const float tolerance = 1.0e-4f * juce::jmax (1.0f, std::abs (hi - lo));

    if (plain < juce::jmin (lo, hi) - tolerance || plain > juce::jmax (lo, hi) + tolerance)
    {
        error = "value " + value + " is outside the range of " + name + " (" + juce::String (lo) + " .. "
              + juce::String (hi) + ")";
        return false;
    }

    parameter.setValueNotifyingHost (juce::jlimit (0.0f, 1.0f, parameter.getValueForText (value.trim())));
    return true;
}
} // namespace gribb::render
