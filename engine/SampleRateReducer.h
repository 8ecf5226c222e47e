#pragma once

#include "engine/Clamp.h"

namespace gribb
{
/** Sample-and-hold rate reduction for one channel: the input is sampled each time the hold phase
    wraps and held in between, so the output changes targetRate times per second. */
struct SampleRateReducer
{
    double sampleRate = 44100.0;
    float targetRate = 44100.0f; // Hz, 500..sampleRate
    float increment = 1.0f;      // targetRate / sampleRate, cycles per host sample
    float phase = 0.0f;          // 0 <= phase < 1 after each sample
    float heldSample = 0.0f;

    /** The reduced rate for an `srReduce` amount: from the host rate at 0 down to 700 Hz at 1. */
    static float targetFor (float amount, double hostRate) noexcept
    {
        const auto sr = (float) hostRate;
        return (700.0f - sr) * amount + sr;
    }

    void prepare (double newSampleRate) noexcept
    {
        sampleRate = newSampleRate;
        phase = 0.0f;
        heldSample = 0.0f;
    }

    /** Sets the reduced rate, kept within 500 Hz .. the host rate, and the matching increment. */
    void setTargetRate (float target) noexcept
    {
        const auto sr = (float) sampleRate;
        targetRate = clampTo (target, 500.0f, sr);
        // A host rate of 0 would give Inf; such a reducer keeps holding what it holds.
        increment = sr > 0.0f ? targetRate / sr : 0.0f;
    }

    float process (float x) noexcept
    {
        phase = phase + increment;
        if (phase >= 1.0f)
        {
            phase -= 1.0f;
            heldSample = x;
        }
        return heldSample;
    }

    void process (float* samples, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
            samples[i] = process (samples[i]);
    }
};
} // namespace gribb
