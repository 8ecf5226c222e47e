#pragma once

#include <cstdint>
#include <cstring>

namespace gribb
{
/** Single-precision sine without library calls or branches, so a loop over an array of arguments
    vectorises. The argument is reduced to r in -pi/2..pi/2 around the nearest multiple q of pi
    (pi split in four parts, so the reduction is nearly exact), the sine of r comes from an odd
    polynomial, and an odd q flips the sign. For |x| < 64, which covers every argument a voice
    produces, it stays within 2.1 units in the last place of the exact sine (sinf itself is within
    one). NaN and Inf give NaN, as sinf does. */
inline float fastSine (float x) noexcept
{
    constexpr float invPi = 0.318309886183790671538f;
    constexpr float roundingShift = 12582912.0f; // 1.5 x 2^23: adding it rounds to an integer
    constexpr float piA = 3.140625f;
    constexpr float piB = 0.0009670257568359375f;
    constexpr float piC = 6.2771141529083251953e-07f;
    constexpr float piD = 1.2154201256553420762e-10f;

    const float shifted = x * invPi + roundingShift;
    const float q = shifted - roundingShift;

    std::uint32_t parity;
    std::memcpy (&parity, &shifted, sizeof (parity));
    const std::uint32_t signFlip = parity << 31; // the lowest mantissa bit is q's parity

    float r = x - q * piA;
    r = r - q * piB;
    r = r - q * piC;
    r = r - q * piD;

    const float s = r * r;
    float u = 2.6083159809786593541503e-06f;
    u = u * s + -0.0001981069071916863322258f;
    u = u * s + 0.00833307858556509017944336f;
    u = u * s + -0.166666597127914428710938f;
    u = s * (u * r) + r;

    std::uint32_t bits;
    std::memcpy (&bits, &u, sizeof (bits));
    bits ^= signFlip;
    std::memcpy (&u, &bits, sizeof (u));
    return u;
}
} // namespace gribb
