#pragma once

#include <algorithm>

#include "engine/Clamp.h"
#include "engine/OscillatorKernels.h"

namespace gribb
{
/** One oscillator of a voice: pulse with band-limited edges, triangle, or a two-operator FM sine. */
struct VoiceOscillator
{
    /** The shapes, as the `oscType` choice numbers them; any other value plays silence. */
    enum Shape : int
    {
        pulse,
        triangle,
        fm
    };

    double sampleRate = 44100.0;
    float frequency = 440.0f;      // Hz, kept within 1..20000
    float phaseIncrement = 0.0f;   // cycles per sample
    float phase = 0.0f;            // carrier phase, 0 <= phase < 1
    float modulatorPhase = 0.0f;   // FM modulator phase, 0 <= phase < 1
    float pulseWidth = 0.5f;       // 0.05..0.95
    float fmRatio = 2.0f;          // 0.25..12
    float fmIndex = 0.0f;          // radians, 0..24
    int shape = pulse;             // a Shape; anything else plays silence

    /** Sets the frequency (clamped to 1..20000 Hz) and the matching phase increment. A rate that
        is not positive (no sample rate known yet) gives an increment of 0, never Inf or NaN. */
    void setFrequency (float hz) noexcept
    {
        frequency = clampTo (hz, 1.0f, 20000.0f);
        const auto rate = (float) sampleRate;
        phaseIncrement = rate > 0.0f ? frequency / rate : 0.0f;
    }

    /** Writes the values at the given phases (as recorded before each advance) into out: the
        FM shape's sines come from a vectorisable approximation that differs from sinf by float
        rounding only. */
    void renderAtPhases (const float* phases, const float* modulatorPhases, float* out, int numSamples) const noexcept
    {
        switch (shape)
        {
            case pulse:    OscillatorKernels::pulse (phases, phaseIncrement, pulseWidth, out, numSamples); break;
            case triangle: OscillatorKernels::triangle (phases, out, numSamples); break;
            case fm:       OscillatorKernels::fm (phases, modulatorPhases, fmIndex, out, numSamples); break;
            default:       std::fill (out, out + numSamples, 0.0f); break;
        }
    }
};
} // namespace gribb
