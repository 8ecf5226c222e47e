// Its loops select between values instead of branching; the build compiles this file with
// -fno-trapping-math so that the selects become vector code (CMakeLists.txt says why).
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
