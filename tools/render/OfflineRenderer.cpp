#include "OfflineRenderer.h"

namespace gribb::render
{
namespace
{
/** The parameter that plays this message as automation, or nullptr. */
juce::AudioProcessorParameter* automatedParameter (const RenderSettings& settings, const juce::MidiMessage& message)
{
    if (message.isController())
        for (const auto& [controller, parameter] : settings.automatedControllers)
            if (controller == message.getControllerNumber())
                return parameter;
    return nullptr;
}
} // namespace

bool setOutputChannels (juce::AudioProcessor& plugin, int numChannels)
{
    auto layout = plugin.getBusesLayout();

    if (layout.outputBuses.isEmpty())
        return false;

    layout.outputBuses.getReference (0) = juce::AudioChannelSet::canonicalChannelSet (numChannels);
    for (int i = 1; i < layout.outputBuses.size(); ++i)
        layout.outputBuses.getReference (i) = juce::AudioChannelSet::disabled();

    if (plugin.setBusesLayout (layout))
        return true;

    // Some plug-ins (LV2 ones with fixed ports among them) accept no change of layout at all; one
    // whose main output already has the channels asked for plays as it is, and a mono render of a
    // fixed stereo output is mixed down (renderSequence).
    const int fixed = plugin.getChannelCountOfBus (false, 0);
    return fixed == numChannels || (numChannels == 1 && fixed == 2);
}

RenderResult renderSequence (juce::AudioProcessor& plugin, const juce::MidiMessageSequence& sequence,
                             const RenderSettings& settings)
{
    const double lastEvent = sequence.getNumEvents() > 0 ? sequence.getEndTime() : 0.0;
    const auto totalSamples = (int) std::ceil ((lastEvent + settings.tailSeconds) * settings.sampleRate);
    const int blockSize = juce::jmax (1, settings.blockSize);
    const int pluginChannels = juce::jmax (plugin.getTotalNumOutputChannels(), plugin.getTotalNumInputChannels());

    RenderResult result;
    result.audio.setSize (settings.numChannels, totalSamples);
    result.audio.clear();

    plugin.setNonRealtime (true);
    plugin.prepareToPlay (settings.sampleRate, blockSize);

    juce::AudioBuffer<float> block (juce::jmax (1, pluginChannels), blockSize);
    juce::MidiBuffer midi;
    int nextEvent = 0;

    const auto start = juce::Time::getMillisecondCounterHiRes();

    for (int pos = 0; pos < totalSamples; pos += blockSize)
    {
        const int n = juce::jmin (blockSize, totalSamples - pos);
        block.setSize (block.getNumChannels(), n, false, false, true);
        block.clear();
        midi.clear();

        const double blockEnd = (pos + n) / settings.sampleRate;
        while (nextEvent < sequence.getNumEvents())
        {
            const auto* holder = sequence.getEventPointer (nextEvent);
            if (holder->message.getTimeStamp() >= blockEnd)
                break;

            const auto offset = (int) std::floor (holder->message.getTimeStamp() * settings.sampleRate) - pos;
            if (auto* parameter = automatedParameter (settings, holder->message))
                parameter->setValueNotifyingHost ((float) holder->message.getControllerValue() / 127.0f);
            else if (! holder->message.isMetaEvent())
                midi.addEvent (holder->message, juce::jlimit (0, n - 1, offset));
            ++nextEvent;
        }

        plugin.processBlock (block, midi);

        if (settings.numChannels == 1 && plugin.getTotalNumOutputChannels() == 2)
        {
            // Half the sum: a plug-in that plays the same on both channels gives exactly them.
            result.audio.copyFrom (0, pos, block, 0, 0, n);
            result.audio.addFrom (0, pos, block, 1, 0, n);
            result.audio.applyGain (0, pos, n, 0.5f);
        }
        else
        {
            for (int ch = 0; ch < settings.numChannels; ++ch)
                result.audio.copyFrom (ch, pos, block, juce::jmin (ch, block.getNumChannels() - 1), 0, n);
        }
    }

    result.secondsTaken = (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
    result.secondsRendered = totalSamples / settings.sampleRate;
    plugin.releaseResources();
    return result;
}
} // namespace gribb::render
