#include "engine/DriveShaper.h"

namespace gribb
{
void DriveShaper::process (float* samples, int numSamples) const noexcept
{
    const DriveShaper shaper = *this; // constants in registers, not reloaded through `this`
    for (int i = 0; i < numSamples; ++i)
        samples[i] = shaper.process (samples[i]);
}
} // namespace gribb
