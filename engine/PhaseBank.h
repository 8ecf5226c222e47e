#pragma once

#include "engine/Polyphony.h"
#include "engine/SimdTypes.h"

namespace gribb
{
/** Oscillator phases of many voices stepped together, eight to a vector. Each phase is a chain of
    additions, one a sample, each waiting for the last; one voice's phases alone keep the processor
    waiting on those chains, while eight side by side in a vector cost one chain for all. Each lane
    takes the same step as a lone voice's phase (engine/PhaseStep.h). */
class PhaseBank
{
public:
    static constexpr int maxLanes = polyphony * phasesPerVoice;
    static constexpr int maxLength = 64; // samples per step

    /** Empties the bank for the lanes of a new render. */
    void clear() noexcept { numLanes = 0; }

    /** A lane that starts at `phase` and moves by `increment` each sample; returns its number, or
        -1 when the bank is full. */
    int addLane (float phase, float increment) noexcept;

    /** Steps every lane over `length` (at most maxLength) samples: record (lane)[i] is then the
        lane's phase before sample i, and phase (lane) the phase before the sample after the last. */
    void step (int length) noexcept;

    float phase (int lane) const noexcept { return phases[lane]; }
    const float* record (int lane) const noexcept { return records[lane]; }

private:
    static constexpr int maxGroups = maxLanes / 8;
    static constexpr int groupsAtOnce = 4;
    // step() takes the lanes eight to a vector and the vectors four at a time, and fills a record
    // eight samples at a time: a polyphony whose lanes do not fill whole sets of four vectors
    // (10, 12 or 15 voices of four phases) would step past the arrays.
    static_assert (maxLanes % (8 * groupsAtOnce) == 0,
                   "polyphony * phasesPerVoice must be a multiple of 32 (engine/Polyphony.h)");
    static_assert (maxLength % 8 == 0, "a step's length must be a multiple of 8 samples");

    int numLanes = 0;
    alignas (32) float phases[maxLanes] {};     // each lane's phase before the next sample
    alignas (32) float increments[maxLanes] {}; // each lane's per-sample increment
    alignas (32) float records[maxLanes][maxLength] {};
    alignas (32) Float8 bySample[maxGroups][maxLength] {}; // each group of eight lanes, sample by sample
};
} // namespace gribb
