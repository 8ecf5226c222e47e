// Renders every parity case in-process, through GribbTazoAudioProcessor itself, and prints one
// line per case: its name, the number of samples per channel and the hash of the samples. The
// format parity test compares what the built VST3 and LV2 render with these lines.

#include "OfflineRenderer.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/ParityCases.h"

#include <iostream>

int main()
{
    juce::ScopedJuceInitialiser_GUI juce;

    for (const auto& c : gribb::test::parityCases())
    {
        GribbTazoAudioProcessor processor;
        if (! gribb::render::setOutputChannels (processor, c.channels))
            return 1;

        if (c.program >= 0)
            processor.setCurrentProgram (c.program);

        for (const auto& [id, value] : gribb::test::parityOverrides (c.program))
            if (auto* parameter = processor.parameters.getParameter (id))
                parameter->setValueNotifyingHost (processor.parameters.getParameterRange (id).convertTo0to1 (value.getFloatValue()));

        gribb::render::RenderSettings settings;
        settings.sampleRate = c.sampleRate;
        settings.blockSize = c.blockSize;
        settings.numChannels = c.channels;
        settings.tailSeconds = gribb::test::parityTailSeconds;

        const auto result = gribb::render::renderSequence (processor, gribb::test::parityPhrase(), settings);
        std::cout << c.name() << "\t" << result.audio.getNumSamples() << "\t"
                  << juce::String::toHexString ((juce::int64) gribb::test::sampleHash (result.audio)) << "\n";
    }

    juce::DeletedAtShutdown::deleteAll();
    return 0;
}
