// The loops below select between values instead of branching. The compiler turns such a select
// into vector code only when it may assume that floating-point exceptions are not trapped (they
// never are in a plug-in); the results are unchanged.
#if defined(__GNUC__) && ! defined(__clang__)
 #pragma GCC optimize ("no-trapping-math")
#endif

#include "engine/BitQuantiser.h"
#include "engine/VectorClones.h"

namespace gribb
{
GRIBB_FLOOR_CLONES
void BitQuantiser::process (float* samples, int numSamples) const noexcept
{
    const float q = steps;
    for (int i = 0; i < numSamples; ++i)
        samples[i] = 2.0f * (std::floor ((samples[i] * 0.5f + 0.5f) * q) / q) - 1.0f;
}
} // namespace gribb
