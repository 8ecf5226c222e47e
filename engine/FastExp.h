#pragma once

#include <cstdint>
#include <cstring>

#include "engine/SimdTypes.h"

namespace gribb
{
/** Single-precision e^x for x <= 0 without library calls or branches, so a loop over an array
    vectorises. x = n ln2 + r with |r| <= ln2 / 2, e^r from a polynomial, 2^n put into the
    exponent bits. Arguments below -87 give e^-87 (about 1.6e-38), which is 0 next to 1. Accurate to
    about one unit in the last place of expf. V is float or a float vector (Float8): every lane
    gets the operations a float would, so the results are the same value for value. */
template <typename V>
GRIBB_VECTOR_INLINE V fastExpNonPositive (V x) noexcept
{
    const V log2e = broadcast<V> (1.44269504088896341f);
    const V roundingShift = broadcast<V> (12582912.0f); // 1.5 x 2^23: adding it rounds to an integer
    const V ln2Hi = broadcast<V> (0.693359375f);
    const V ln2Lo = broadcast<V> (-2.12194440e-4f);
    const V lowest = broadcast<V> (-87.0f);

    x = x < lowest ? lowest : x;

    const V n = (x * log2e + roundingShift) - roundingShift;
    V r = x - n * ln2Hi;
    r = r - n * ln2Lo;

    const V r2 = r * r;
    V p = broadcast<V> (1.9875691500e-4f);
    p = p * r + broadcast<V> (1.3981999507e-3f);
    p = p * r + broadcast<V> (8.3334519073e-3f);
    p = p * r + broadcast<V> (4.1665795894e-2f);
    p = p * r + broadcast<V> (1.6666665459e-1f);
    p = p * r + broadcast<V> (5.0000001201e-1f);
    p = p * r2 + r + broadcast<V> (1.0f);

    V scale;
    if constexpr (sizeof (V) == sizeof (float))
    {
        const auto exponent = (std::uint32_t) ((int) n + 127) << 23;
        std::memcpy (&scale, &exponent, sizeof (scale));
    }
    else
    {
        typedef int IntV __attribute__ ((vector_size (sizeof (V))));
        const IntV exponent = (__builtin_convertvector (n, IntV) + 127) << 23;
        std::memcpy (&scale, &exponent, sizeof (scale));
    }
    return p * scale;
}
} // namespace gribb
