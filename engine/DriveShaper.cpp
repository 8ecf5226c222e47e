// The loops below select between values instead of branching. The compiler turns such a select
// into vector code only when it may assume that floating-point exceptions are not trapped (they
// never are in a plug-in); the results are unchanged.
#if defined(__GNUC__) && ! defined(__clang__)
 #pragma GCC optimize ("no-trapping-math")
#endif

#include "engine/DriveShaper.h"

#include "engine/FastExp.h"
#include "engine/VectorClones.h"

namespace gribb
{
namespace
{
    // One exponential per sample: e^-y above zero, e^(0.85 y) below, both arguments <= 0. Both
    // candidates are computed and one is selected, which keeps the loop free of branches. With a
    // ceiling of exactly 1 the division, the second clamp and the scaling leave every value as it
    // is (the curve is already within -1..1), so that loop leaves them out.
    template <bool LowCeiling>
    inline void shape (float* samples, int numSamples, float gain, float ceiling) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            const float y = gain * samples[i];
            const bool positive = y >= 0.0f;
            const float negated = -y;
            const float scaled = 0.85f * y;
            const float e = fastExpNonPositive (positive ? negated : scaled);
            const float rising = 1.0f - e;
            const float falling = e - 1.0f;
            float s = positive ? rising : falling;
            s = s < -1.0f ? -1.0f : (1.0f < s ? 1.0f : s);
            if constexpr (LowCeiling)
            {
                float c = s / ceiling;
                c = c < -1.0f ? -1.0f : (1.0f < c ? 1.0f : c);
                s = c * ceiling;
            }
            samples[i] = s;
        }
    }
} // namespace

GRIBB_VECTOR_CLONES
void DriveShaper::process (float* samples, int numSamples) const noexcept
{
    if (clipCeiling >= 1.0f && clipCeiling <= 1.0f)
        shape<false> (samples, numSamples, driveGain, clipCeiling);
    else
        shape<true> (samples, numSamples, driveGain, clipCeiling);
}
} // namespace gribb
