#pragma once

#include <memory>

#include <juce_dsp/juce_dsp.h>

#include "engine/DriveShaper.h"

namespace gribb::test
{
/** THE REFERENCE for the lowpass with drive and clip: JUCE's own StateVariableTPTFilter in
    lowpass mode on channels 0 and 1, then the drive curve, at the host rate or four times
    oversampled through JUCE's polyphase IIR Oversampling (maximum quality) in pieces of the
    prepared block size. Channels beyond two are shaped at the host rate. The curve is the
    engine's own block curve, which has its own tests against the plain formula. */
class ReferenceFilterAndDrive
{
public:
    ReferenceFilterAndDrive() { prepareFilter (44100.0); }

    void prepare (double sampleRate, int maxBlockSize)
    {
        prepareFilter (sampleRate);
        pieceSize = juce::jmax (1, maxBlockSize);
        oversampler = std::make_unique<juce::dsp::Oversampling<float>> (
            (size_t) 2, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, true, false);
        oversampler->initProcessing ((size_t) pieceSize);
        oversampler->reset();
    }

    void process (juce::AudioBuffer<float>& buffer, int numSamples, float cutoffHz, float resonance, bool oversample,
                  const DriveShaper& shaper)
    {
        const int numChannels = buffer.getNumChannels();
        const int stereoChannels = juce::jmin (numChannels, 2);
        if (numSamples <= 0 || numChannels <= 0)
            return;

        filter.setCutoffFrequency (cutoffHz);
        filter.setResonance (resonance);
        juce::dsp::AudioBlock<float> block (buffer.getArrayOfWritePointers(), (size_t) stereoChannels, (size_t) numSamples);
        filter.process (juce::dsp::ProcessContextReplacing<float> (block));

        int firstPlainChannel = 0;
        if (oversample && oversampler != nullptr)
        {
            firstPlainChannel = stereoChannels;
            for (int start = 0; start < numSamples; start += pieceSize)
            {
                const int length = juce::jmin (pieceSize, numSamples - start);
                juce::dsp::AudioBlock<float> piece (buffer.getArrayOfWritePointers(), (size_t) stereoChannels,
                                                    (size_t) start, (size_t) length);
                auto up = oversampler->processSamplesUp (piece);
                for (size_t ch = 0; ch < up.getNumChannels(); ++ch)
                    shaper.process (up.getChannelPointer (ch), (int) up.getNumSamples());
                oversampler->processSamplesDown (piece);
            }
        }

        for (int ch = firstPlainChannel; ch < numChannels; ++ch)
            shaper.process (buffer.getWritePointer (ch), numSamples);
    }

private:
    juce::dsp::StateVariableTPTFilter<float> filter;
    std::unique_ptr<juce::dsp::Oversampling<float>> oversampler;
    int pieceSize = 0;

    void prepareFilter (double sampleRate)
    {
        filter.prepare ({ sampleRate, 1, 2 });
        filter.setType (juce::dsp::StateVariableTPTFilterType::lowpass);
        filter.reset();
    }
};
} // namespace gribb::test
