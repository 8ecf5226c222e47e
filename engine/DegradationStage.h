#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/BitQuantiser.h"
#include "engine/SampleRateReducer.h"

namespace gribb
{
/** Rate reduction and bit quantisation on channels 0 and 1, each with its own reducer and depth.
    Further channels pass untouched. */
namespace DegradationStage
{
    /** The reducers only run above this raw `srReduce` amount; at or below it their state is kept. */
    constexpr float reducerThreshold = 0.0001f;

    /** One block. Reads the raw `srReduce` and `bitDepth` values; updates the reducers' rates and
        the channels' bit depths, then processes the first numSamples of channels 0 and 1. */
    inline void process (juce::AudioBuffer<float>& buffer, int numSamples, SampleRateReducer (&reducers)[2],
                         float (&bits)[2], float srReduceParameter, float bitDepthParameter, double hostRate) noexcept
    {
        const float target = SampleRateReducer::targetFor (srReduceParameter, hostRate);
        for (auto& reducer : reducers)
            reducer.setTargetRate (target);

        const float clampedBits = BitQuantiser::clampBits (bitDepthParameter);
        bits[0] = clampedBits;
        bits[1] = clampedBits;

        const bool reduce = srReduceParameter > reducerThreshold;
        const bool quantise = BitQuantiser::isActive (bitDepthParameter);
        const int channels = juce::jmin (buffer.getNumChannels(), 2);
        if (numSamples <= 0)
            return;

        // The two channels share nothing, so each runs its whole block in turn.
        for (int ch = 0; ch < channels; ++ch)
        {
            float* samples = buffer.getWritePointer (ch);
            if (reduce)
                reducers[ch].process (samples, numSamples);
            if (quantise)
                BitQuantiser::forBits (bits[ch]).process (samples, numSamples);
        }
    }
} // namespace DegradationStage
} // namespace gribb
