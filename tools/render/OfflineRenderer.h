#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <utility>
#include <vector>

namespace gribb::render
{
struct RenderSettings
{
    double sampleRate = 48000.0;
    int blockSize = 512;
    int numChannels = 2;
    double tailSeconds = 2.0;

    /** Controllers of the sequence played as parameters' automation instead of sent as MIDI:
        each message of the controller, on any channel, sets the parameter to value / 127
        (normalised) before the block it falls in, the last in a block winning. */
    std::vector<std::pair<int, juce::AudioProcessorParameter*>> automatedControllers;
};

struct RenderResult
{
    juce::AudioBuffer<float> audio;
    double secondsRendered = 0.0;
    double secondsTaken = 0.0;

    double realtimeFactor() const { return secondsTaken > 0.0 ? secondsRendered / secondsTaken : 0.0; }
};

/** Asks the plug-in for a mono or stereo output; false when it refuses the layout. A plug-in whose
    output is fixed at two channels is accepted for mono: renderSequence mixes it down. */
bool setOutputChannels (juce::AudioProcessor& plugin, int numChannels);

/** Plays the sequence (timestamps in seconds) through the prepared plug-in, block by block,
    followed by the tail, and returns the audio. The plug-in must already have its layout. */
RenderResult renderSequence (juce::AudioProcessor& plugin, const juce::MidiMessageSequence& sequence,
                             const RenderSettings& settings);
} // namespace gribb::render
