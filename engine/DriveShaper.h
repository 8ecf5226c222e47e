#pragma once

#include <cmath>

#include "engine/Clamp.h"

namespace gribb
{
/** The asymmetric exponential saturator with its hard-clip ceiling. The two constants are derived
    once per block from the `drive` and `hardClip` values; the shaper itself has no memory. */
struct DriveShaper
{
    float driveGain = 1.0f;    // linear gain into the curve, at least 1
    float clipCeiling = 1.0f;  // output limit, 0.05..1

    static DriveShaper fromParameters (float drive, float hardClip) noexcept
    {
        DriveShaper s;
        s.driveGain = drive < 1.0f ? 1.0f : drive;
        s.clipCeiling = hardClip >= 0.0f ? 1.0f - 0.95f * (hardClip < 1.0f ? hardClip : 1.0f) : 1.0f;
        return s;
    }

    /** One sample: slope driveGain above zero, 0.85 x driveGain below, then the ceiling. */
    float process (float x) const noexcept
    {
        const float y = driveGain * x;
        float s = y >= 0.0f ? 1.0f - std::exp (-y) : std::exp (0.85f * y) - 1.0f;
        s = clampTo (s, -1.0f, 1.0f);
        float c = s / clipCeiling;
        c = clampTo (c, -1.0f, 1.0f);
        return c * clipCeiling;
    }

    /** The same over an array, with a vectorisable exponential that differs from expf by float
        rounding only. */
    void process (float* samples, int numSamples) const noexcept;
};
} // namespace gribb
