#include "engine/FilterDriveStage.h"

#include <cmath>

#include "engine/Clamp.h"
#include "engine/VectorClones.h"

namespace gribb
{
namespace
{
    // The channels the filter and the oversampler keep state for: the most the output bus has.
    constexpr int stereo = 2;

    // The lowpass and both upsampling stages in one loop, the filter one sample ahead of the
    // upsampling: the processor looks only a few dozen operations ahead, so the two overlap only
    // when the filter's next sample and the upsampler's current one, which do not depend on each
    // other, stand side by side. (The curve and the decimation gain nothing from the same
    // treatment: the curve, free of recurrences, already runs at full width on its own.) Without
    // a right channel the filter's second lane runs on silence, as the stages do on their own.
    template <bool Stereo>
    GRIBB_VECTOR_CLONES
    float* filterAndUpsample (TptLowpass& filter, const TptLowpass::Coefficients c, HalfBandOversampler& oversampler,
                              const float* left, const float* right, int numSamples) noexcept
    {
        const float damping = c.g + c.R2;
        Float2 a = filter.s1, b = filter.s2;
        const auto input = [&] (int i) { return Float2 { left[i], Stereo ? right[i] : 0.0f }; };

        Float2 ahead = TptLowpass::step (c, damping, a, b, input (0));
        float* quad = oversampler.up ([&] (int i)
        {
            const Float2 current = ahead;
            if (i + 1 < numSamples)
                ahead = TptLowpass::step (c, damping, a, b, input (i + 1));
            return Stereo ? current : Float2 { current[0], 0.0f };
        }, numSamples);

        filter.s1 = a;
        filter.s2 = b;
        filter.snapStatesToZero();
        return quad;
    }
} // namespace

float FilterDriveStage::cutoffFor (float cutoffParameter, float lfoToCutoff, float lfoValue, double sampleRate) noexcept
{
    const float fc = cutoffParameter * std::pow (2.0f, (lfoToCutoff * 2.0f) * lfoValue);
    const float ceiling = (float) (sampleRate * 0.45);
    return clampTo (fc, 20.0f, ceiling);
}

void FilterDriveStage::prepare (double sampleRate, int maxBlockSize)
{
    filter.prepare (sampleRate);
    oversampler.prepare (maxBlockSize);
}

bool FilterDriveStage::isSilent (bool oversample) const noexcept
{
    return filter.isSilent() && (! oversample || oversampler.isSilent());
}

bool FilterDriveStage::runsInOnePass (int numSamples, bool oversample) const noexcept
{
    return oversample && numSamples <= oversampler.getMaxBlockSize();
}

void FilterDriveStage::process (juce::AudioBuffer<float>& buffer, int numSamples, const Settings& settings) noexcept
{
    const int numChannels = buffer.getNumChannels();
    if (numSamples <= 0 || numChannels <= 0)
        return;

    float* left = buffer.getWritePointer (0);
    float* right = numChannels > 1 ? buffer.getWritePointer (1) : nullptr;
    const auto c = TptLowpass::coefficientsFor (settings.cutoffHz, settings.resonance, filter.sampleRate);

    if (runsInOnePass (numSamples, settings.oversample))
        processInOnePass (c, settings.shaper, left, right, numSamples);
    else
        processStageByStage (c, settings, left, right, numSamples);

    // Channels beyond the two never occur with the supported layouts; should a caller pass more,
    // they are shaped at the host rate rather than left out.
    for (int ch = stereo; ch < numChannels; ++ch)
        settings.shaper.process (buffer.getWritePointer (ch), numSamples);
}

void FilterDriveStage::processInOnePass (const TptLowpass::Coefficients& c, const DriveShaper& shaper, float* left,
                                         float* right, int numSamples) noexcept
{
    float* quad = right != nullptr ? filterAndUpsample<true> (filter, c, oversampler, left, right, numSamples)
                                   : filterAndUpsample<false> (filter, c, oversampler, left, right, numSamples);
    shaper.process (quad, 2 * HalfBandOversampler::factor * numSamples);
    oversampler.down (left, right, numSamples);
}

void FilterDriveStage::processStageByStage (const TptLowpass::Coefficients& c, const Settings& settings, float* left,
                                            float* right, int numSamples) noexcept
{
    filter.process (c, left, right, numSamples);

    const int pieceSize = settings.oversample ? oversampler.getMaxBlockSize() : 0;
    if (pieceSize == 0)
    {
        settings.shaper.process (left, numSamples);
        if (right != nullptr)
            settings.shaper.process (right, numSamples);
        return;
    }

    // The oversampler's states are snapped to zero after each piece, so the piece size is part of
    // the result: it is always the prepared block size, which makes a block of that size here
    // give exactly what the one-pass path gives.
    for (int start = 0; start < numSamples; start += pieceSize)
    {
        const int length = juce::jmin (pieceSize, numSamples - start);
        const float* l = left + start;
        const float* r = right != nullptr ? right + start : nullptr;
        float* quad = oversampler.up ([l, r] (int i) { return Float2 { l[i], r != nullptr ? r[i] : 0.0f }; }, length);
        settings.shaper.process (quad, 2 * HalfBandOversampler::factor * length);
        oversampler.down (left + start, right != nullptr ? right + start : nullptr, length);
    }
}
} // namespace gribb
