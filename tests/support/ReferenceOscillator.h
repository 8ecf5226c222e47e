#pragma once

#include <cmath>

#include "engine/VoiceOscillator.h"

namespace gribb::test
{
/** THE REFERENCE for stepping a phase: one sample's step by the plain rule, add the increment and
    take 1 off while the phase is at least 1. The voice and the phase bank are held to it. */
inline float referenceStepPhase (float phase, float increment) noexcept
{
    phase = increment + phase;
    while (phase >= 1.0f)
        phase -= 1.0f;
    return phase;
}

/** Moves an oscillator's carrier and modulator phases on by one sample, the modulator at fmRatio
    times the carrier's increment, in every shape. */
inline void referenceAdvance (VoiceOscillator& osc) noexcept
{
    osc.phase = referenceStepPhase (osc.phase, osc.phaseIncrement);
    osc.modulatorPhase = referenceStepPhase (osc.modulatorPhase, osc.phaseIncrement * osc.fmRatio);
}

/** Polynomial band-limited step correction around a discontinuity at phase 0, written out
    sample by sample as the plain formula. */
inline float referencePolyBlep (float t, float dt) noexcept
{
    if (t < dt)
    {
        const float x = t / dt;
        return ((x + x) - x * x) - 1.0f;
    }
    if (t > 1.0f - dt)
    {
        const float x = (t - 1.0f) / dt;
        return ((x * x + x) + x) + 1.0f;
    }
    return 0.0f;
}

/** THE REFERENCE for the oscillator shapes: the oscillator's value at its current phase by the
    plain per-sample formulas (sinf for the FM shape), which the vectorised kernels are held to. */
inline float referenceValue (const VoiceOscillator& osc) noexcept
{
    constexpr float twoPi = 6.2831855f;
    const float t = osc.phase, dt = osc.phaseIncrement;
    switch (osc.shape)
    {
        case VoiceOscillator::pulse:
        {
            float v = t < osc.pulseWidth ? 1.0f : -1.0f;
            v += referencePolyBlep (t, dt);
            float t2 = t - osc.pulseWidth;
            if (t2 < 0.0f)
                t2 += 1.0f;
            return v - referencePolyBlep (t2, dt);
        }
        case VoiceOscillator::triangle:
            return t < 0.5f ? 4.0f * t - 1.0f : 3.0f - 4.0f * t;
        case VoiceOscillator::fm:
            return std::sin (std::sin (twoPi * osc.modulatorPhase) * osc.fmIndex
                             + twoPi * t);
        default:
            return 0.0f;
    }
}
} // namespace gribb::test
