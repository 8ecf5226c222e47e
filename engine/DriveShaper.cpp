// Its loops select between values instead of branching; the build compiles this file with
// -fno-trapping-math so that the selects become vector code (CMakeLists.txt says why).
#include "engine/DriveShaper.h"

#include "engine/VectorClones.h"

namespace gribb
{
namespace
{
    // Always inlined, so that it is built for each instruction set the function below is built for.
    template <bool LowCeiling>
    GRIBB_VECTOR_INLINE void shape (const DriveShaper& shaper, float* samples, int numSamples) noexcept
    {
        // A copy the samples cannot alias, so its two constants stay in registers.
        const DriveShaper local = shaper;
        for (int i = 0; i < numSamples; ++i)
            samples[i] = local.shapeValues<LowCeiling> (samples[i]);
    }
} // namespace

GRIBB_VECTOR_CLONES
void DriveShaper::process (float* samples, int numSamples) const noexcept
{
    if (hasFullCeiling())
        shape<false> (*this, samples, numSamples);
    else
        shape<true> (*this, samples, numSamples);
}
} // namespace gribb
