#pragma once

#include <atomic>
#include <cmath>

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/Clamp.h"

namespace gribb
{
/** The output gain and the level meter that feeds the roasting animation. */
namespace OutputStage
{
    /** Scales every channel by the output gain in dB (-100 dB and below is silence). */
    inline void applyGain (juce::AudioBuffer<float>& buffer, int numSamples, float gainDb) noexcept
    {
        const float gain = juce::Decibels::decibelsToGain (gainDb);
        if (numSamples > 0)
            buffer.applyGain (0, numSamples, gain);
    }

    /** RMS over every sample of every channel, summed in double; 0 for an empty block. */
    inline float blockRms (const juce::AudioBuffer<float>& buffer, int numSamples) noexcept
    {
        if (numSamples <= 0)
            return 0.0f;

        const int numChannels = buffer.getNumChannels();
        double sum = 0.0;
        for (int ch = 0; ch < numChannels; ++ch)
        {
            const float* samples = buffer.getReadPointer (ch);
            for (int i = 0; i < numSamples; ++i)
                sum += (double) samples[i] * (double) samples[i];
        }
        return (float) std::sqrt (sum / ((double) numSamples * (double) juce::jmax (numChannels, 1)));
    }

    /** Folds one block's RMS into the smoothed level: half the way up, 2 % of the way down. */
    inline float smooth (float smoothedRms, float rms) noexcept
    {
        const float c = rms > smoothedRms ? 0.5f : 0.02f;
        return (rms - smoothedRms) * c + smoothedRms;
    }

    /** The published roast value: three times the smoothed level, mixed with a resting 0.15 by
        how reactive the roast is, kept within 0..1. */
    inline float roastValue (float smoothedRms, float reactiveRoast) noexcept
    {
        const float heat = clampTo (3.0f * smoothedRms, 0.0f, 1.0f);
        return clampTo (heat * reactiveRoast + (1.0f - reactiveRoast) * 0.15f, 0.0f, 1.0f);
    }

    /** Folds a block's RMS into smoothedRms and stores the result in roastLevel. */
    inline void meterLevel (float rms, float& smoothedRms, float reactiveRoast, std::atomic<float>& roastLevel) noexcept
    {
        smoothedRms = smooth (smoothedRms, rms);
        roastLevel.store (roastValue (smoothedRms, reactiveRoast));
    }

    /** Measures the block, updates smoothedRms and stores the result in roastLevel. */
    inline void meter (const juce::AudioBuffer<float>& buffer, int numSamples, float& smoothedRms,
                       float reactiveRoast, std::atomic<float>& roastLevel) noexcept
    {
        meterLevel (blockRms (buffer, numSamples), smoothedRms, reactiveRoast, roastLevel);
    }
} // namespace OutputStage
} // namespace gribb
