#pragma once

#include <vector>

#include "engine/HalfBandOversampler.h"

namespace gribb::test
{
using HalfBandSteps::Stage;

/** THE REFERENCE for the oversampler's loops: one 2x stage at a time, its sections in a plain loop
    over however many the stage has. The oversampler runs the designed stages of a direction
    together in one loop with the section counts fixed; it must give these samples. */
inline Float4 referenceSections (Stage& stage, Float4 x) noexcept
{
    const Int4 directLanes = { -1, -1, 0, 0 };
    for (int k = 0; k < stage.sections; ++k)
    {
        const Float4 out = stage.alpha[k] * x + stage.state[k];
        const Float4 next = x - stage.alpha[k] * out;
        if (stage.lastIsDirectOnly && k == stage.sections - 1)
        {
            x = directLanes ? out : x;
            stage.state[k] = directLanes ? next : Float4 {};
        }
        else
        {
            x = out;
            stage.state[k] = next;
        }
    }
    return x;
}

/** Interleaved stereo in (numSamples pairs), interleaved stereo at twice the rate out: the
    direct branch gives the even output pair, the delayed one the odd pair. */
inline void referenceUp (Stage& stage, const float* in, float* out, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const float l = in[2 * i], r = in[2 * i + 1];
        const Float4 y = referenceSections (stage, Float4 { l, r, l, r });
        for (int lane = 0; lane < 4; ++lane)
            out[4 * i + lane] = y[lane];
    }
    stage.snapStateToZero();
}

/** Interleaved stereo at twice the rate in (2 * numSamples pairs), numSamples pairs out: the even
    pair goes down the direct branch, the odd one down the delayed branch. */
inline void referenceDown (Stage& stage, const float* in, float* out, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const Float4 y = referenceSections (stage, Float4 { in[4 * i], in[4 * i + 1], in[4 * i + 2], in[4 * i + 3] });
        const Float2 result = (stage.delay + Float2 { y[0], y[1] }) * 0.5f;
        out[2 * i] = result[0];
        out[2 * i + 1] = result[1];
        stage.delay = Float2 { y[2], y[3] };
    }
    stage.snapStateToZero();
}

/** The oversampler's four designs, run stage by stage on interleaved stereo. */
struct StagedOversampler
{
    Stage up[2], down[2];

    StagedOversampler()
    {
        HalfBandOversampler designed;
        designed.prepare (1);
        for (int n = 0; n < 2; ++n)
        {
            up[n] = designed.upStage (n);
            down[n] = designed.downStage (n);
        }
    }

    /** Upsamples numSamples pairs to quad (8 * numSamples floats). */
    void processUp (const float* pairs, float* quad, int numSamples)
    {
        std::vector<float> twice ((size_t) (4 * numSamples));
        referenceUp (up[0], pairs, twice.data(), numSamples);
        referenceUp (up[1], twice.data(), quad, 2 * numSamples);
    }

    /** Decimates quad back to numSamples pairs. */
    void processDown (const float* quad, float* pairs, int numSamples)
    {
        std::vector<float> twice ((size_t) (4 * numSamples));
        referenceDown (down[1], quad, twice.data(), 2 * numSamples);
        referenceDown (down[0], twice.data(), pairs, numSamples);
    }
};
} // namespace gribb::test
