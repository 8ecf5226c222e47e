#pragma once

#include <algorithm>

#include "engine/Clamp.h"
#include "engine/OscillatorKernels.h"

namespace gribb
{
/** One oscillator of a voice: pulse with band-limited edges, triangle, or a two-operator FM sine. */
struct VoiceOscillator
{
    static constexpr float twoPi = 6.2831855f;

    double sampleRate = 44100.0;
    float frequency = 440.0f;      // Hz, kept within 1..20000
    float phaseIncrement = 0.0f;   // cycles per sample
    float phase = 0.0f;            // carrier phase, 0 <= phase < 1
    float modulatorPhase = 0.0f;   // FM modulator phase, 0 <= phase < 1
    float pulseWidth = 0.5f;       // 0.05..0.95
    float fmRatio = 2.0f;          // 0.25..12
    float fmIndex = 0.0f;          // radians, 0..24
    int shape = 0;                 // 0 pulse, 1 triangle, 2 FM, anything else silence

    /** Sets the frequency (clamped to 1..20000 Hz) and the matching phase increment. A rate that
        is not positive (no sample rate known yet) gives an increment of 0, never Inf or NaN. */
    void setFrequency (float hz) noexcept
    {
        frequency = clampTo (hz, 1.0f, 20000.0f);
        const auto rate = (float) sampleRate;
        phaseIncrement = rate > 0.0f ? frequency / rate : 0.0f;
    }

    /** The value at the current phase. */
    float value() const noexcept
    {
        float out = 0.0f;
        renderAtPhases (&phase, &modulatorPhase, &out, 1);
        return out;
    }

    /** Writes the values at the given phases (as recorded before each advance) into out: the
        FM shape's sines come from a vectorisable approximation that differs from sinf by float
        rounding only. */
    void renderAtPhases (const float* phases, const float* modulatorPhases, float* out, int numSamples) const noexcept
    {
        switch (shape)
        {
            case 0:  OscillatorKernels::pulse (phases, phaseIncrement, pulseWidth, out, numSamples); break;
            case 1:  OscillatorKernels::triangle (phases, out, numSamples); break;
            case 2:  OscillatorKernels::fm (phases, modulatorPhases, fmIndex, out, numSamples); break;
            default: std::fill (out, out + numSamples, 0.0f); break;
        }
    }

    /** One sample's step of a carrier or modulator phase: add the increment, wrap into 0..1. */
    static float stepPhase (float p, float increment) noexcept
    {
        p = increment + p;
        // Wrapping is the rare case: marked so, the usual path runs straight on without a taken
        // branch, which lets the loops that step several phases per sample go at full speed.
        if (__builtin_expect (p >= 1.0f, 0))
            do
                p -= 1.0f;
            while (p >= 1.0f);
        return p;
    }

    /** Moves both phases on by one sample; the modulator runs in every shape. */
    void advance() noexcept
    {
        phase = stepPhase (phase, phaseIncrement);
        modulatorPhase = stepPhase (modulatorPhase, phaseIncrement * fmRatio);
    }
};
} // namespace gribb
