#pragma once

#include <cmath>

#include "engine/BitQuantiser.h"
#include "engine/Clamp.h"
#include "engine/DriveShaper.h"

namespace gribb::test
{
/** THE REFERENCE for the drive curve: one sample by the plain formula, with expf and both clamps:
    slope driveGain above zero, 0.85 x driveGain below, then the ceiling. The vectorised curve is
    held to it within float rounding. */
inline float referenceDrive (const DriveShaper& shaper, float x) noexcept
{
    const float y = shaper.driveGain * x;
    float s = y >= 0.0f ? 1.0f - std::exp (-y) : std::exp (0.85f * y) - 1.0f;
    s = clampTo (s, -1.0f, 1.0f);
    float c = s / shaper.clipCeiling;
    c = clampTo (c, -1.0f, 1.0f);
    return c * shaper.clipCeiling;
}

/** THE REFERENCE for the bit quantiser: one sample by the plain formula. */
inline float referenceQuantise (const BitQuantiser& quantiser, float x) noexcept
{
    return 2.0f * (std::floor ((x * 0.5f + 0.5f) * quantiser.steps) / quantiser.steps) - 1.0f;
}
} // namespace gribb::test
