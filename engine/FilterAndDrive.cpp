#include "engine/FilterAndDrive.h"

#include <cstring>

#include "engine/DriveStage.h"
#include "engine/FilterStage.h"
#include "engine/HalfBandSteps.h"
#include "engine/VectorClones.h"

namespace gribb::FilterAndDrive
{
namespace
{
    // The lowpass and both upsampling stages in one loop, the filter one sample ahead of the
    // upsampling, so that the operations of the two, which do not depend on each other within an
    // iteration, stand side by side and overlap: the processor looks only a few dozen operations
    // ahead, so putting the stages in one loop without the offset overlaps little. (The curve and
    // the decimation gain nothing from the same treatment: the curve, free of recurrences, already
    // runs at full width on its own.) Without a right channel the filter's second lane runs on
    // silence and the oversampler's right lane takes silence, as the stages do on their own.
    template <bool Stereo>
    GRIBB_VECTOR_CLONES
    void filterAndUpsample (TptLowpass& filter, const TptLowpass::Coefficients c, HalfBandOversampler& oversampler,
                            const float* left, const float* right, int numSamples) noexcept
    {
        const float damping = c.g + c.R2;
        float* quad = oversampler.quadRateBuffer();
        Float2 a = filter.s1, b = filter.s2;
        HalfBandSteps::DesignedUp up (oversampler.upStage (0), oversampler.upStage (1));

        const auto input = [&] (int i) { return Float2 { left[i], Stereo ? right[i] : 0.0f }; };
        Float2 filtered = TptLowpass::step (c, damping, a, b, input (0));
        for (int i = 0; i < numSamples; ++i)
        {
            const Float2 current = filtered;
            if (i + 1 < numSamples)
                filtered = TptLowpass::step (c, damping, a, b, input (i + 1));

            Float4 even, odd;
            up.step (current[0], Stereo ? current[1] : 0.0f, even, odd);
            std::memcpy (quad + 8 * i, &even, sizeof (even));
            std::memcpy (quad + 8 * i + 4, &odd, sizeof (odd));
        }

        filter.s1 = a;
        filter.s2 = b;
        up.storeStates (oversampler.upStage (0), oversampler.upStage (1));
    }

    void runOnePass (TptLowpass& filter, float cutoffHz, float resonance, HalfBandOversampler& oversampler,
                     const DriveShaper& shaper, float* left, float* right, int numSamples) noexcept
    {
        const auto c = TptLowpass::coefficientsFor (cutoffHz, resonance, filter.sampleRate);
        if (right != nullptr)
            filterAndUpsample<true> (filter, c, oversampler, left, right, numSamples);
        else
            filterAndUpsample<false> (filter, c, oversampler, left, right, numSamples);
        filter.snapStatesToZero();
        oversampler.snapUpStatesToZero();

        shaper.process (oversampler.quadRateBuffer(), 2 * HalfBandOversampler::factor * numSamples);
        oversampler.processDown (left, right, numSamples);
    }
} // namespace

bool runsAsOnePass (int numSamples, int numChannels, int oversampleChoice, const HalfBandOversampler* oversampler,
                    int oversamplerBlockSize) noexcept
{
    const int pieceSize = DriveStage::oversampledPieceSize (numChannels, oversampleChoice, oversampler, oversamplerBlockSize);
    return numSamples > 0 && numChannels <= 2 && numSamples <= pieceSize && oversampler->hasDesignedStages();
}

void process (TptLowpass& filter, float cutoffHz, float resonance, juce::AudioBuffer<float>& buffer,
              int numSamples, int oversampleChoice, const DriveShaper& shaper, HalfBandOversampler* oversampler,
              int oversamplerBlockSize) noexcept
{
    const int numChannels = buffer.getNumChannels();
    if (runsAsOnePass (numSamples, numChannels, oversampleChoice, oversampler, oversamplerBlockSize))
    {
        runOnePass (filter, cutoffHz, resonance, *oversampler, shaper, buffer.getWritePointer (0),
                    numChannels > 1 ? buffer.getWritePointer (1) : nullptr, numSamples);
        return;
    }

    FilterStage::process (filter, buffer, numSamples, cutoffHz, resonance);
    DriveStage::process (buffer, numSamples, oversampleChoice, shaper, oversampler, oversamplerBlockSize);
}
} // namespace gribb::FilterAndDrive
