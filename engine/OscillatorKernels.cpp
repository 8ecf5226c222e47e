// Its loops select between values instead of branching; the build compiles this file with
// -fno-trapping-math so that the selects become vector code (CMakeLists.txt says why).
#include "engine/OscillatorKernels.h"

#include "engine/FastSine.h"
#include "engine/VectorClones.h"

namespace gribb::OscillatorKernels
{
namespace
{
    constexpr float twoPi = 6.2831855f;

    // The step correction around a discontinuity at phase 0, with both branches computed and one
    // selected, so the loop around it stays branch-free.
    inline float blep (float t, float dt) noexcept
    {
        const float x1 = t / dt;
        const float rising = ((x1 + x1) - x1 * x1) - 1.0f;
        const float x2 = (t - 1.0f) / dt;
        const float falling = ((x2 * x2 + x2) + x2) + 1.0f;
        return t < dt ? rising : (t > 1.0f - dt ? falling : 0.0f);
    }
} // namespace

GRIBB_VECTOR_CLONES
void pulse (const float* phases, float dt, float pulseWidth, float* out, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const float t = phases[i];
        float v = t < pulseWidth ? 1.0f : -1.0f;
        v = v + blep (t, dt);
        float t2 = t - pulseWidth;
        t2 = t2 < 0.0f ? t2 + 1.0f : t2;
        out[i] = v - blep (t2, dt);
    }
}

GRIBB_VECTOR_CLONES
void triangle (const float* phases, float* out, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const float t = phases[i];
        out[i] = t < 0.5f ? 4.0f * t - 1.0f : 3.0f - 4.0f * t;
    }
}

// The modulator's sines in one loop, the carrier's in a second: the two sines of one sample are a
// long chain of dependent operations, and with half of it per iteration the processor overlaps
// many more samples. The operations are those of one expression, in the same order.
GRIBB_VECTOR_CLONES
void fm (const float* phases, const float* modulatorPhases, float index, float* out, int numSamples) noexcept
{
    constexpr int piece = 64;
    float modulation[piece];
    for (int start = 0; start < numSamples; start += piece)
    {
        const int length = numSamples - start < piece ? numSamples - start : piece;
        const float* m = modulatorPhases + start;
        const float* p = phases + start;
        float* o = out + start;
        for (int i = 0; i < length; ++i)
            modulation[i] = fastSine (twoPi * m[i]) * index;
        for (int i = 0; i < length; ++i)
            o[i] = fastSine (modulation[i] + twoPi * p[i]);
    }
}

GRIBB_VECTOR_CLONES
void average (const float* a, float* out, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        out[i] = (a[i] + out[i]) * 0.5f;
}
} // namespace gribb::OscillatorKernels
