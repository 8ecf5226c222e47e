#pragma once

#include <cstdint>
#include <cstring>

namespace gribb
{
/** Single-precision e^x for x <= 0 without library calls or branches, so a loop over an array
    vectorises. x = n ln2 + r with |r| <= ln2 / 2, e^r from a polynomial, 2^n put into the
    exponent bits. Arguments below -87 give e^-87 (about 1.6e-38), which is 0 next to 1. Accurate to
    about one unit in the last place of expf. */
inline float fastExpNonPositive (float x) noexcept
{
    constexpr float log2e = 1.44269504088896341f;
    constexpr float roundingShift = 12582912.0f; // 1.5 x 2^23: adding it rounds to an integer
    constexpr float ln2Hi = 0.693359375f;
    constexpr float ln2Lo = -2.12194440e-4f;

    x = x < -87.0f ? -87.0f : x;

    const float n = (x * log2e + roundingShift) - roundingShift;
    float r = x - n * ln2Hi;
    r = r - n * ln2Lo;

    const float r2 = r * r;
    float p = 1.9875691500e-4f;
    p = p * r + 1.3981999507e-3f;
    p = p * r + 8.3334519073e-3f;
    p = p * r + 4.1665795894e-2f;
    p = p * r + 1.6666665459e-1f;
    p = p * r + 5.0000001201e-1f;
    p = p * r2 + r + 1.0f;

    const auto exponent = (std::uint32_t) ((int) n + 127) << 23;
    float scale;
    std::memcpy (&scale, &exponent, sizeof (scale));
    return p * scale;
}
} // namespace gribb
