#pragma once

#include <cstddef>

#include "engine/SimdTypes.h"

namespace gribb::HalfBandSteps
{
/** More allpass sections per branch than any of the oversampler's designs needs. */
constexpr int maxSections = 8;

/** One 2x half-band stage. `alpha` and `state` hold one section of both branches per vector
    {left direct, right direct, left delayed, right delayed}; when the direct branch has one more
    section than the delayed one, the last section's delayed lanes pass through. */
struct Stage
{
    Float4 alpha[maxSections] {};
    Float4 state[maxSections] {};
    int sections = 0;             // sections in the longer (direct) branch
    bool lastIsDirectOnly = false;
    Float2 delay {};              // decimation only: the delayed branch's previous output

    /** The polyphase allpass coefficients of JUCE's half-band design for these settings. */
    void design (float normalisedTransitionWidth, float stopbandDb);

    void reset() noexcept
    {
        for (auto& s : state)
            s = Float4 {};
        delay = Float2 {};
    }

    /** Sets the states within +-1e-8 to zero, so that decaying states reach exactly zero. */
    void snapStateToZero() noexcept
    {
        for (int k = 0; k < sections; ++k)
            state[k] = snapToZero (state[k]);
    }

    bool isSilent() const noexcept
    {
        for (int k = 0; k < sections; ++k)
            if (! allZero (state[k]))
                return false;
        return allZero (delay);
    }
};

/** One step through a stage's allpass sections on all four lanes: out = a x + s, s' = x - a out, in
    this order and without fused multiply-adds, as JUCE's scalar filter computes it. On the
    direct-only last section the delayed lanes pass their input through and keep a zero state. */
template <std::size_t Sections, bool LastIsDirectOnly>
inline Float4 runSections (const Float4 (&a)[Sections], Float4 (&s)[Sections], Float4 x) noexcept
{
    const Int4 directLanes = { -1, -1, 0, 0 };
    for (std::size_t k = 0; k < Sections; ++k)
    {
        const Float4 out = a[k] * x + s[k];
        const Float4 next = x - a[k] * out;
        if (LastIsDirectOnly && k == Sections - 1)
        {
            x = directLanes ? out : x;
            s[k] = directLanes ? next : Float4 {};
        }
        else
        {
            x = out;
            s[k] = next;
        }
    }
    return x;
}

/** A stage's coefficients and states in local arrays of a size known at compile time, so that the
    compiler keeps them in registers for a whole loop; storeStates puts the states back. */
template <std::size_t Sections>
struct LocalSections
{
    Float4 a[Sections], s[Sections];

    explicit LocalSections (const Stage& stage) noexcept
    {
        for (std::size_t k = 0; k < Sections; ++k)
        {
            a[k] = stage.alpha[k];
            s[k] = stage.state[k];
        }
    }

    void storeStates (Stage& stage) const noexcept
    {
        for (std::size_t k = 0; k < Sections; ++k)
            stage.state[k] = s[k];
    }
};

/** Both 2x upsampling stages, one host-rate stereo pair in, the four 4x pairs out, interleaved
    left/right in `even` (4x samples 0 and 1) and `odd` (samples 2 and 3). */
template <std::size_t FirstSections, bool FirstLast, std::size_t SecondSections, bool SecondLast>
struct UpBoth
{
    LocalSections<FirstSections> first;
    LocalSections<SecondSections> second;

    UpBoth (const Stage& firstStage, const Stage& secondStage) noexcept : first (firstStage), second (secondStage) {}

    void step (float left, float right, Float4& even, Float4& odd) noexcept
    {
        // {left direct, right direct, left delayed, right delayed} is the interleaved pair of the
        // even output sample followed by that of the odd one.
        const Float4 y = runSections<FirstSections, FirstLast> (first.a, first.s, Float4 { left, right, left, right });
        even = runSections<SecondSections, SecondLast> (second.a, second.s, Float4 { y[0], y[1], y[0], y[1] });
        odd = runSections<SecondSections, SecondLast> (second.a, second.s, Float4 { y[2], y[3], y[2], y[3] });
    }

    void storeStates (Stage& firstStage, Stage& secondStage) const noexcept
    {
        first.storeStates (firstStage);
        second.storeStates (secondStage);
    }
};

/** Both 2x decimating stages: `first` takes the 4x signal, `second` the 2x one. Four interleaved
    4x pairs in (as UpBoth gives them), one host-rate pair out. */
template <std::size_t FirstSections, bool FirstLast, std::size_t SecondSections, bool SecondLast>
struct DownBoth
{
    LocalSections<FirstSections> first;
    LocalSections<SecondSections> second;
    Float2 firstDelay, secondDelay; // each stage's delayed-branch output of the previous step

    DownBoth (const Stage& firstStage, const Stage& secondStage) noexcept
        : first (firstStage), second (secondStage), firstDelay (firstStage.delay), secondDelay (secondStage.delay)
    {
    }

    Float2 step (Float4 x0, Float4 x1) noexcept
    {
        // The even input pair goes down the direct branch, the odd one down the delayed branch.
        const Float4 y0 = runSections<FirstSections, FirstLast> (first.a, first.s, x0);
        const Float2 even = (firstDelay + Float2 { y0[0], y0[1] }) * 0.5f;
        firstDelay = Float2 { y0[2], y0[3] };

        const Float4 y1 = runSections<FirstSections, FirstLast> (first.a, first.s, x1);
        const Float2 odd = (firstDelay + Float2 { y1[0], y1[1] }) * 0.5f;
        firstDelay = Float2 { y1[2], y1[3] };

        const Float4 z = runSections<SecondSections, SecondLast> (second.a, second.s, Float4 { even[0], even[1], odd[0], odd[1] });
        const Float2 result = (secondDelay + Float2 { z[0], z[1] }) * 0.5f;
        secondDelay = Float2 { z[2], z[3] };
        return result;
    }

    void storeStates (Stage& firstStage, Stage& secondStage) const noexcept
    {
        first.storeStates (firstStage);
        second.storeStates (secondStage);
        firstStage.delay = firstDelay;
        secondStage.delay = secondDelay;
    }
};

/** The section counts of the designs HalfBandOversampler::prepare() makes, for which UpBoth and
    DownBoth are built (the oversampler's tests check that the designs have them): up 4 sections in the direct branch of the first stage and 3 in the second
    (each with one fewer in the delayed branch); down 2 in the stage at twice the rate, which takes
    the 4x signal, and 3 in the one at the host rate (as many delayed as direct). */
using DesignedUp = UpBoth<4, true, 3, true>;
using DesignedDown = DownBoth<2, false, 3, false>;

} // namespace gribb::HalfBandSteps
