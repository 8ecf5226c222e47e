#include "engine/HalfBandOversampler.h"

#include "engine/HalfBandSteps.h"

#include <cstddef>
#include <cstring>

#include <juce_dsp/juce_dsp.h>

namespace gribb
{
namespace
{
using Stage = HalfBandOversampler::Stage;
using HalfBandSteps::DesignedDown;
using HalfBandSteps::DesignedUp;
using HalfBandSteps::LocalSections;
using HalfBandSteps::hasShape;
using HalfBandSteps::runSections;

template <std::size_t Sections, bool LastIsDirectOnly>
void upKernel (Stage& stage, const float* in, float* out, int numSamples) noexcept
{
    LocalSections<Sections> local (stage);

    for (int i = 0; i < numSamples; ++i)
    {
        const float l = in[2 * i], r = in[2 * i + 1];
        const Float4 y = runSections<Sections, LastIsDirectOnly> (local.a, local.s, Float4 { l, r, l, r });
        // {left direct, right direct, left delayed, right delayed} is the interleaved pair of the
        // even output sample followed by that of the odd one.
        std::memcpy (out + 4 * i, &y, sizeof (y));
    }
    local.storeStates (stage);
}

template <std::size_t Sections, bool LastIsDirectOnly>
void downKernel (Stage& stage, const float* in, float* out, int numSamples) noexcept
{
    LocalSections<Sections> local (stage);
    Float2 delay = stage.delay;

    for (int i = 0; i < numSamples; ++i)
    {
        // The even input pair goes down the direct branch, the odd one down the delayed branch.
        Float4 x;
        std::memcpy (&x, in + 4 * i, sizeof (x));
        const Float4 y = runSections<Sections, LastIsDirectOnly> (local.a, local.s, x);
        const Float2 direct = { y[0], y[1] };
        const Float2 result = (delay + direct) * 0.5f;
        std::memcpy (out + 2 * i, &result, sizeof (result));
        delay = Float2 { y[2], y[3] };
    }
    local.storeStates (stage);
    stage.delay = delay;
}

template <bool Up, std::size_t Sections = 1>
void dispatch (Stage& stage, const float* in, float* out, int numSamples) noexcept
{
    if constexpr (Sections <= (std::size_t) HalfBandOversampler::maxSections)
    {
        if ((std::size_t) stage.sections != Sections)
            return dispatch<Up, Sections + 1> (stage, in, out, numSamples);

        if constexpr (Up)
        {
            if (stage.lastIsDirectOnly)
                upKernel<Sections, true> (stage, in, out, numSamples);
            else
                upKernel<Sections, false> (stage, in, out, numSamples);
        }
        else
        {
            if (stage.lastIsDirectOnly)
                downKernel<Sections, true> (stage, in, out, numSamples);
            else
                downKernel<Sections, false> (stage, in, out, numSamples);
        }
    }
}

// Both 2x stages in one loop. Each stage's recurrence (a section's state, sample after sample)
// is a chain of dependent operations, so a stage alone waits on that chain; run in the same loop
// the two stages' chains overlap. Every operation and its order within each stage is that of the
// separate kernels above, so the samples are the same.
void upBothKernel (Stage& first, Stage& second, const float* in, float* out, int numSamples) noexcept
{
    DesignedUp up (first, second);
    for (int i = 0; i < numSamples; ++i)
    {
        Float4 even, odd;
        up.step (in[2 * i], in[2 * i + 1], even, odd);
        std::memcpy (out + 8 * i, &even, sizeof (even));
        std::memcpy (out + 8 * i + 4, &odd, sizeof (odd));
    }
    up.storeStates (first, second);
}

// `first` takes the 4x signal (two interleaved pairs per step), `second` the 2x one.
void downBothKernel (Stage& first, Stage& second, const float* in, float* out, int numSamples) noexcept
{
    DesignedDown down (first, second);
    for (int i = 0; i < numSamples; ++i)
    {
        Float4 x0, x1;
        std::memcpy (&x0, in + 8 * i, sizeof (x0));
        std::memcpy (&x1, in + 8 * i + 4, sizeof (x1));
        const Float2 result = down.step (x0, x1);
        std::memcpy (out + 2 * i, &result, sizeof (result));
    }
    down.storeStates (first, second);
}
} // namespace

void HalfBandOversampler::Stage::design (float normalisedTransitionWidth, float stopbandDb)
{
    const auto structure = juce::dsp::FilterDesign<float>::designIIRLowpassHalfBandPolyphaseAllpassMethod (
        normalisedTransitionWidth, stopbandDb);

    // The sections of both branches in one list, the delayed branch's leading unit delay left out;
    // the list's longer first part is the direct branch.
    std::vector<float> coefficients;
    for (int i = 0; i < structure.directPath.size(); ++i)
        coefficients.push_back (structure.directPath.getObjectPointer (i)->coefficients[0]);
    for (int i = 1; i < structure.delayedPath.size(); ++i)
        coefficients.push_back (structure.delayedPath.getObjectPointer (i)->coefficients[0]);

    const int total = (int) coefficients.size();
    const int delayedSections = total / 2;
    const int directSections = total - delayedSections;
    jassert (directSections <= maxSections);

    sections = juce::jmin (directSections, maxSections);
    lastIsDirectOnly = directSections > delayedSections;
    for (int k = 0; k < maxSections; ++k)
    {
        const float direct = k < sections ? coefficients[(size_t) k] : 0.0f;
        const float delayed = k < delayedSections ? coefficients[(size_t) (directSections + k)] : 0.0f;
        alpha[k] = Float4 { direct, direct, delayed, delayed };
    }
    reset();
}

void HalfBandOversampler::Stage::reset() noexcept
{
    for (auto& s : state)
        s = Float4 {};
    delay = Float2 {};
}

void HalfBandOversampler::Stage::up (const float* in, float* out, int numSamples) noexcept
{
    dispatch<true> (*this, in, out, numSamples);
}

void HalfBandOversampler::Stage::down (const float* in, float* out, int numSamples) noexcept
{
    dispatch<false> (*this, in, out, numSamples);
}

void HalfBandOversampler::Stage::snapStateToZero() noexcept
{
    for (int k = 0; k < sections; ++k)
        state[k] = snapToZero (state[k]);
}

bool HalfBandOversampler::Stage::isSilent() const noexcept
{
    for (int k = 0; k < sections; ++k)
        if (! allZero (state[k]))
            return false;
    return allZero (delay);
}

void HalfBandOversampler::prepare (int newMaxBlockSize)
{
    maxBlockSize = juce::jmax (1, newMaxBlockSize);

    // The first stage (at the host rate) is the steeper one; the second works at twice the rate.
    for (int n = 0; n < 2; ++n)
    {
        const float twUp = 0.10f * (n == 0 ? 0.5f : 1.0f);
        const float twDown = 0.12f * (n == 0 ? 0.5f : 1.0f);
        upStages[n].design (twUp, -90.0f + 10.0f * (float) n);
        downStages[n].design (twDown, -75.0f + 10.0f * (float) n);
    }

    hostRate.assign ((size_t) (2 * maxBlockSize), 0.0f);
    doubleRate.assign ((size_t) (4 * maxBlockSize), 0.0f);
    quadRate.assign ((size_t) (8 * maxBlockSize), 0.0f);
}

void HalfBandOversampler::reset() noexcept
{
    for (auto* stages : { upStages, downStages })
        for (int n = 0; n < 2; ++n)
            stages[n].reset();
}

float* HalfBandOversampler::processUp (const float* left, const float* right, int numSamples) noexcept
{
    numSamples = juce::jlimit (0, maxBlockSize, numSamples);
    float* pairs = hostRate.data();
    for (int i = 0; i < numSamples; ++i)
    {
        pairs[2 * i] = left[i];
        pairs[2 * i + 1] = right != nullptr ? right[i] : 0.0f;
    }

    // The designs made in prepare() run fused; any other shape stage by stage.
    if (hasDesignedStages())
    {
        upBothKernel (upStages[0], upStages[1], pairs, quadRate.data(), numSamples);
    }
    else
    {
        upStages[0].up (pairs, doubleRate.data(), numSamples);
        upStages[1].up (doubleRate.data(), quadRate.data(), 2 * numSamples);
    }
    snapUpStatesToZero();
    return quadRate.data();
}

void HalfBandOversampler::processDown (float* left, float* right, int numSamples) noexcept
{
    numSamples = juce::jlimit (0, maxBlockSize, numSamples);
    if (hasDesignedStages())
    {
        downBothKernel (downStages[1], downStages[0], quadRate.data(), hostRate.data(), numSamples);
    }
    else
    {
        downStages[1].down (quadRate.data(), doubleRate.data(), 2 * numSamples);
        downStages[0].down (doubleRate.data(), hostRate.data(), numSamples);
    }
    downStages[1].snapStateToZero();
    downStages[0].snapStateToZero();

    const float* pairs = hostRate.data();
    for (int i = 0; i < numSamples; ++i)
        left[i] = pairs[2 * i];
    if (right != nullptr)
        for (int i = 0; i < numSamples; ++i)
            right[i] = pairs[2 * i + 1];
}

bool HalfBandOversampler::hasDesignedStages() const noexcept
{
    return hasShape<4, true> (upStages[0]) && hasShape<3, true> (upStages[1])
        && hasShape<2, false> (downStages[1]) && hasShape<3, false> (downStages[0]);
}

void HalfBandOversampler::snapUpStatesToZero() noexcept
{
    upStages[0].snapStateToZero();
    upStages[1].snapStateToZero();
}

bool HalfBandOversampler::isSilent() const noexcept
{
    for (const auto* stages : { upStages, downStages })
        for (int n = 0; n < 2; ++n)
            if (! stages[n].isSilent())
                return false;
    return true;
}
} // namespace gribb
