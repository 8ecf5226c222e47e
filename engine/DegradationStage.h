#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/BitQuantiser.h"
#include "engine/SampleRateReducer.h"

namespace gribb
{
/** Rate reduction and bit quantisation on channels 0 and 1, each channel with its own reducer.
    Further channels pass untouched. */
class DegradationStage
{
public:
    /** The reducers only run above this raw `srReduce` amount; at or below it their state is kept. */
    static constexpr float reducerThreshold = 0.0001f;

    /** True when these raw `srReduce` and `bitDepth` values change any sample: the reducers run
        or the quantiser works. */
    static bool changesSamples (float srReduceParameter, float bitDepthParameter) noexcept
    {
        return srReduceParameter > reducerThreshold || BitQuantiser::isActive (bitDepthParameter);
    }

    void prepare (double newSampleRate) noexcept
    {
        sampleRate = newSampleRate;
        reset();
    }

    /** Starts the reducers' hold phases again, holding silence. */
    void reset() noexcept
    {
        for (auto& reducer : reducers)
            reducer.prepare (sampleRate);
    }

    /** One block: sets the reducers' rate from the raw `srReduce` value and the quantiser's depth
        from the raw `bitDepth` value, then processes the first numSamples of channels 0 and 1. */
    void process (juce::AudioBuffer<float>& buffer, int numSamples, float srReduceParameter, float bitDepthParameter) noexcept
    {
        const float target = SampleRateReducer::targetFor (srReduceParameter, sampleRate);
        for (auto& reducer : reducers)
            reducer.setTargetRate (target);

        const bool reduce = srReduceParameter > reducerThreshold;
        const bool quantise = BitQuantiser::isActive (bitDepthParameter);
        const int channels = juce::jmin (buffer.getNumChannels(), 2);
        if (numSamples <= 0 || ! (reduce || quantise))
            return;
        const auto quantiser = BitQuantiser::forBits (BitQuantiser::clampBits (bitDepthParameter));

        // The two channels share nothing, so each runs its whole block in turn.
        for (int ch = 0; ch < channels; ++ch)
        {
            float* samples = buffer.getWritePointer (ch);
            if (reduce)
                reducers[ch].process (samples, numSamples);
            if (quantise)
                quantiser.process (samples, numSamples);
        }
    }

    const SampleRateReducer& reducer (int channel) const noexcept { return reducers[channel]; }

private:
    double sampleRate = 44100.0;
    SampleRateReducer reducers[2];
};
} // namespace gribb
