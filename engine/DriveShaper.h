#pragma once

#include <cmath>

#include "engine/Clamp.h"
#include "engine/FastExp.h"

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

    /** Shapes an array in place: slope driveGain above zero, 0.85 x driveGain below, then the
        ceiling; the exponential is a vectorisable one that differs from expf by float rounding
        only. */
    void process (float* samples, int numSamples) const noexcept;

    /** True when the ceiling is exactly 1: the division, the second clamp and the scaling then
        leave every value as it is (the curve is already within -1..1), so shapeValues leaves them
        out. */
    bool hasFullCeiling() const noexcept { return clipCeiling >= 1.0f && clipCeiling <= 1.0f; }

    /** The curve of process() on a float or on every lane of a float vector, without branches:
        one exponential a value, e^-y above zero and e^(0.85 y) below (both arguments <= 0), both
        candidates computed and one selected. LowCeiling must be ! hasFullCeiling(). */
    template <bool LowCeiling, typename V>
    GRIBB_VECTOR_INLINE V shapeValues (V x) const noexcept
    {
        const V one = broadcast<V> (1.0f), minusOne = broadcast<V> (-1.0f);
        const V y = broadcast<V> (driveGain) * x;
        const auto positive = y >= broadcast<V> (0.0f);
        const V negated = -y;
        const V scaled = broadcast<V> (0.85f) * y;
        const V e = fastExpNonPositive<V> (positive ? negated : scaled);
        const V rising = one - e;
        const V falling = e - one;
        // e lies in 0..1 (a NaN stays NaN), so the curve is already within -1..1: the clamp to
        // -1..1 that the curve's definition applies here would change no value, and is left out.
        V s = positive ? rising : falling;
        if constexpr (LowCeiling)
        {
            const V ceiling = broadcast<V> (clipCeiling);
            V c = s / ceiling;
            c = c < minusOne ? minusOne : (one < c ? one : c);
            s = c * ceiling;
        }
        return s;
    }
};
} // namespace gribb
