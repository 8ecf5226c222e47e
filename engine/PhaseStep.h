#pragma once

#include "engine/SimdTypes.h"

namespace gribb
{
/** True when the phase (or any lane of a vector of phases) is at least 1. */
GRIBB_VECTOR_INLINE bool anyAtLeastOne (float phase) noexcept { return phase >= 1.0f; }

GRIBB_VECTOR_INLINE bool anyAtLeastOne (Float8 phases) noexcept
{
    const Int8 mask = phases >= broadcast<Float8> (1.0f);
    int any = 0;
    for (int lane = 0; lane < 8; ++lane)
        any |= mask[lane];
    return any != 0;
}

/** One sample's step of an oscillator phase: add the increment, then take 1 off for as long as
    the phase is at least 1. The one rule for every phase, whether a lone voice steps it as a float
    or the phase bank steps eight at once as a vector, so both record the same phases.
    A lone phase wraps about once a cycle, so it takes a branch that is almost never taken and
    costs nothing on the phase's chain of additions; eight phases together wrap every few samples
    in some lane, so the vector selects instead of branching. With `wrapsOnce` (every increment
    below 1) one take-off is always enough: a phase below 1 plus an increment below 1 stays below 2.
    Only a modulator above the sample rate needs more. */
template <typename V>
GRIBB_VECTOR_INLINE V stepPhase (V phase, V increment, bool wrapsOnce) noexcept
{
    const V one = broadcast<V> (1.0f);
    V p = increment + phase;
    if constexpr (sizeof (V) == sizeof (float))
    {
        if (__builtin_expect (p >= one, 0))
            p -= one;
    }
    else
    {
        p = p >= one ? p - one : p;
    }
    if (! wrapsOnce)
        while (anyAtLeastOne (p))
            p = p >= one ? p - one : p;
    return p;
}
} // namespace gribb
