#include "processor/GribbTazoAudioProcessor.h"

juce::AudioProcessorValueTreeState::ParameterLayout GribbTazoAudioProcessor::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    for (const auto& spec : gribb::parameterTable)
    {
        const juce::ParameterID id { spec.id, 1 };

        if (spec.kind == gribb::ParameterSpec::Kind::choice)
        {
            juce::StringArray choices;
            for (int i = 0; i < spec.numChoices(); ++i)
                choices.add (spec.choices[(size_t) i]);

            layout.add (std::make_unique<juce::AudioParameterChoice> (id, spec.name, choices, (int) spec.defaultValue));
        }
        else
        {
            layout.add (std::make_unique<juce::AudioParameterFloat> (
                id, spec.name, juce::NormalisableRange<float> (spec.start, spec.end, spec.interval, spec.skew),
                spec.defaultValue));
        }
    }

    return layout;
}
