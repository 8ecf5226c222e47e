#pragma once

#include <cmath>

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/Clamp.h"

namespace gribb
{
/** The output gain and the level meter that feeds the roasting animation. The meter keeps one
    smoothed RMS level across blocks and turns it into the roast value, 0..1, once per block. */
class OutputStage
{
public:
    void prepare() noexcept { reset(); }
    void reset() noexcept { smoothedRms = 0.0f; }

    /** Scales the first numSamples of every channel by the output gain in dB, measures them and
        returns the block's roast value. */
    float process (juce::AudioBuffer<float>& buffer, int numSamples, float gainDb, float reactiveRoast) noexcept
    {
        applyGain (buffer, numSamples, gainDb);
        return meter (blockRms (buffer, numSamples), reactiveRoast);
    }

    /** The roast value after a block known to be all zeros, which any gain leaves all zeros. */
    float processSilence (float reactiveRoast) noexcept { return meter (0.0f, reactiveRoast); }

    float getSmoothedRms() const noexcept { return smoothedRms; }

    /** Scales every channel by the output gain in dB (-100 dB and below is silence). */
    static void applyGain (juce::AudioBuffer<float>& buffer, int numSamples, float gainDb) noexcept
    {
        const float gain = juce::Decibels::decibelsToGain (gainDb);
        if (numSamples > 0)
            buffer.applyGain (0, numSamples, gain);
    }

    /** RMS over every sample of every channel, summed in double; 0 for an empty block. */
    static float blockRms (const juce::AudioBuffer<float>& buffer, int numSamples) noexcept
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
    static float smooth (float smoothedRms, float rms) noexcept
    {
        const float c = rms > smoothedRms ? 0.5f : 0.02f;
        return (rms - smoothedRms) * c + smoothedRms;
    }

    /** The roast value: three times the smoothed level, mixed with a resting 0.15 by how reactive
        the roast is, kept within 0..1. */
    static float roastValue (float smoothedRms, float reactiveRoast) noexcept
    {
        const float heat = clampTo (3.0f * smoothedRms, 0.0f, 1.0f);
        return clampTo (heat * reactiveRoast + (1.0f - reactiveRoast) * 0.15f, 0.0f, 1.0f);
    }

private:
    float smoothedRms = 0.0f;

    float meter (float rms, float reactiveRoast) noexcept
    {
        smoothedRms = smooth (smoothedRms, rms);
        return roastValue (smoothedRms, reactiveRoast);
    }
};
} // namespace gribb
