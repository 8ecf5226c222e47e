#include "engine/DriveStage.h"

namespace gribb::DriveStage
{
std::unique_ptr<HalfBandOversampler> createOversampler (int maxBlockSize)
{
    auto oversampler = std::make_unique<HalfBandOversampler>();
    oversampler->prepare (juce::jmax (1, maxBlockSize));
    return oversampler;
}

int oversampledPieceSize (int numChannels, int oversampleChoice, const HalfBandOversampler* oversampler,
                          int oversamplerBlockSize) noexcept
{
    if (oversampleChoice == 0 || oversampler == nullptr || numChannels <= 0)
        return 0;
    return juce::jmax (0, juce::jmin (oversamplerBlockSize, oversampler->getMaxBlockSize()));
}

void process (juce::AudioBuffer<float>& buffer, int numSamples, int oversampleChoice, const DriveShaper& shaper,
              HalfBandOversampler* oversampler, int oversamplerBlockSize) noexcept
{
    if (numSamples <= 0)
        return;

    const int numChannels = buffer.getNumChannels();
    int firstPlainChannel = 0;

    const int pieceSize = oversampledPieceSize (numChannels, oversampleChoice, oversampler, oversamplerBlockSize);
    if (pieceSize > 0)
    {
        const int channels = juce::jmin (numChannels, oversampledChannels);
        firstPlainChannel = channels;
        float* left = buffer.getWritePointer (0);
        float* right = channels > 1 ? buffer.getWritePointer (1) : nullptr;

        // The filters snap their decaying states to zero after each piece, so the piece size is
        // part of the result: keep it the prepared block size.
        for (int start = 0; start < numSamples; start += pieceSize)
        {
            const int length = juce::jmin (pieceSize, numSamples - start);
            float* up = oversampler->processUp (left + start, right != nullptr ? right + start : nullptr, length);
            shaper.process (up, 2 * HalfBandOversampler::factor * length);
            oversampler->processDown (left + start, right != nullptr ? right + start : nullptr, length);
        }
    }

    // Channels beyond the oversampler's two never occur with the supported layouts; should a
    // caller pass more, they are shaped at the host rate rather than left out.
    for (int ch = firstPlainChannel; ch < numChannels; ++ch)
        shaper.process (buffer.getWritePointer (ch), numSamples);
}
} // namespace gribb::DriveStage
