#pragma once

#include "engine/SimdTypes.h"

namespace gribb
{
/** Oscillator phases of many voices stepped together, eight to a vector. Each phase is a chain of
    additions, one a sample, each waiting for the last; one voice's phases alone keep the processor
    waiting on those chains, while eight side by side in a vector cost one chain for all. Each lane
    does exactly what VoiceOscillator::stepPhase does (add the increment, then subtract 1 for as
    long as the phase is at least 1), so every recorded phase is the one the voice would compute. */
struct PhaseBank
{
    static constexpr int maxLanes = 64;  // sixteen voices with four phases each
    static constexpr int maxLength = 64; // samples per step
    static constexpr int maxGroups = maxLanes / 8;
    static constexpr int groupsAtOnce = 4;

    alignas (32) float phases[maxLanes] {};     // each lane's phase before the next sample
    alignas (32) float increments[maxLanes] {}; // each lane's per-sample increment, 0 to stand still
    alignas (32) float records[maxLanes][maxLength] {};

    /** Steps lanes 0 .. numLanes - 1 (at most maxLanes) over `length` (at most maxLength) samples.
        records[lane][i] receives the lane's phase before sample i; phases[] ends with the phase
        before the sample after the last. Lanes past numLanes up to the next multiple of
        8 * groupsAtOnce are stepped too, so give them an increment of 0 (the bank starts with every
        increment and phase at 0). */
    void step (int numLanes, int length) noexcept;

private:
    alignas (32) Float8 bySample[maxGroups][maxLength] {}; // each group of eight lanes, sample by sample
};
} // namespace gribb
