#pragma once

#include <cmath>

#include "engine/Clamp.h"

namespace gribb
{
/** Maps -1..1 onto 2^bits levels by flooring; the bit depth need not be an integer. The step
    count is computed once per block; the per-sample work is branch-free. */
struct BitQuantiser
{
    float steps = 65536.0f; // 2^bits

    /** Bit depth from the `bitDepth` value, kept within 1..16. */
    static float clampBits (float bits) noexcept { return clampTo (bits, 1.0f, 16.0f); }

    /** The quantiser works only below this raw `bitDepth`; at 15.99 and above it is bypassed. */
    static bool isActive (float bitDepthParameter) noexcept { return bitDepthParameter < 15.99f; }

    static BitQuantiser forBits (float bits) noexcept { return { std::pow (2.0f, bits) }; }

    /** x -> 2 floor ((x / 2 + 1 / 2) steps) / steps - 1, in place. */
    void process (float* samples, int numSamples) const noexcept;
};
} // namespace gribb
