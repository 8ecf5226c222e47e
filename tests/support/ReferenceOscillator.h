#pragma once

#include <cmath>

#include "engine/VoiceOscillator.h"

namespace gribb::test
{
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

/** The oscillator's value at its current phase by the plain per-sample formulas (sinf for the FM
    shape): the oracle the vectorised engine is held against. */
inline float referenceValue (const VoiceOscillator& osc) noexcept
{
    const float t = osc.phase, dt = osc.phaseIncrement;
    switch (osc.shape)
    {
        case 0:
        {
            float v = t < osc.pulseWidth ? 1.0f : -1.0f;
            v += referencePolyBlep (t, dt);
            float t2 = t - osc.pulseWidth;
            if (t2 < 0.0f)
                t2 += 1.0f;
            return v - referencePolyBlep (t2, dt);
        }
        case 1:
            return t < 0.5f ? 4.0f * t - 1.0f : 3.0f - 4.0f * t;
        case 2:
            return std::sin (std::sin (VoiceOscillator::twoPi * osc.modulatorPhase) * osc.fmIndex
                             + VoiceOscillator::twoPi * t);
        default:
            return 0.0f;
    }
}
} // namespace gribb::test
