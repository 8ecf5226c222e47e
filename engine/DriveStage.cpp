#include "engine/DriveStage.h"

namespace gribb::DriveStage
{
std::unique_ptr<juce::dsp::Oversampling<float>> createOversampler (int maxBlockSize)
{
    auto oversampler = std::make_unique<juce::dsp::Oversampling<float>> (
        (size_t) oversampledChannels, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, true, false);
    oversampler->initProcessing ((size_t) juce::jmax (1, maxBlockSize));
    oversampler->reset();
    return oversampler;
}

void process (juce::AudioBuffer<float>& buffer, int numSamples, int oversampleChoice, const DriveShaper& shaper,
              juce::dsp::Oversampling<float>* oversampler, int oversamplerBlockSize) noexcept
{
    if (numSamples <= 0)
        return;

    const int numChannels = buffer.getNumChannels();
    int firstPlainChannel = 0;

    if (oversampleChoice != 0 && oversampler != nullptr && oversamplerBlockSize > 0)
    {
        const int channels = juce::jmin (numChannels, oversampledChannels);
        firstPlainChannel = channels;

        for (int start = 0; start < numSamples; start += oversamplerBlockSize)
        {
            const int length = juce::jmin (oversamplerBlockSize, numSamples - start);
            juce::dsp::AudioBlock<float> block (buffer.getArrayOfWritePointers(), (size_t) channels,
                                                (size_t) start, (size_t) length);
            auto up = oversampler->processSamplesUp (block);
            for (size_t ch = 0; ch < up.getNumChannels(); ++ch)
                shaper.process (up.getChannelPointer (ch), (int) up.getNumSamples());
            oversampler->processSamplesDown (block);
        }
    }

    // Channels beyond the oversampler's two never occur with the supported layouts; should a
    // caller pass more, they are shaped at the host rate rather than left out.
    for (int ch = firstPlainChannel; ch < numChannels; ++ch)
        shaper.process (buffer.getWritePointer (ch), numSamples);
}
} // namespace gribb::DriveStage
