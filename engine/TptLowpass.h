#pragma once

#include "engine/SimdTypes.h"

namespace gribb
{
/** A stereo state-variable lowpass in topology-preserving-transform form, with the coefficients
    and per-sample arithmetic of juce::dsp::StateVariableTPTFilter in lowpass mode, so it gives the
    same samples; the two channels run together in one two-lane vector. */
struct TptLowpass
{
    double sampleRate = 44100.0;
    Float2 s1 {}, s2 {}; // the two integrators' states, one lane per channel

    struct Coefficients
    {
        float g, h, R2;
    };

    /** g = tan (pi fc / fs), R2 = 1 / resonance, h = 1 / (1 + R2 g + g^2), rounded as JUCE does. */
    static Coefficients coefficientsFor (float cutoffHz, float resonance, double sampleRate) noexcept;

    void prepare (double newSampleRate) noexcept
    {
        sampleRate = newSampleRate;
        reset();
    }

    void reset() noexcept
    {
        s1 = Float2 {};
        s2 = Float2 {};
    }

    /** One sample of both channels through the filter with states a (s1) and b (s2), the
        operations in JUCE's order; returns the lowpass output. damping = g + R2. */
    static Float2 step (const Coefficients& c, float damping, Float2& a, Float2& b, Float2 x) noexcept
    {
        const Float2 yHP = c.h * (x - a * damping - b);
        const Float2 yBP = yHP * c.g + a;
        a = yHP * c.g + yBP;
        const Float2 yLP = yBP * c.g + b;
        b = yBP * c.g + yLP;
        return yLP;
    }

    /** Sets the states within +-1e-8 to zero, as process() does after each block, so that a
        decaying state reaches exactly zero. */
    void snapStatesToZero() noexcept
    {
        s1 = snapToZero (s1);
        s2 = snapToZero (s2);
    }

    /** Filters numSamples of left and right in place (right may be null: that lane runs on
        silence), then sets states within +-1e-8 to zero so a decaying state reaches zero. */
    void process (const Coefficients& c, float* left, float* right, int numSamples) noexcept;

    /** True when both states of both channels are exactly zero. */
    bool isSilent() const noexcept { return allZero (s1) && allZero (s2); }
};
} // namespace gribb
