#pragma once

#include <memory>

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/DriveShaper.h"
#include "engine/HalfBandOversampler.h"

namespace gribb
{
/** Drive and clip on the whole buffer, either at the host rate or four times oversampled. */
namespace DriveStage
{
    /** Channels the oversampler is built for: the most the output bus can have. */
    constexpr int oversampledChannels = 2;

    /** A 4x oversampler (two half-band polyphase IIR stages, maximum quality), ready for blocks
        of up to maxBlockSize samples and reset. Allocates: call it from prepareToPlay only. */
    std::unique_ptr<HalfBandOversampler> createOversampler (int maxBlockSize);

    /** The most samples process() oversamples in one piece, or 0 when it runs at the host rate
        (oversampling off, no oversampler, no channel). */
    int oversampledPieceSize (int numChannels, int oversampleChoice, const HalfBandOversampler* oversampler,
                              int oversamplerBlockSize) noexcept;

    /** Shapes the first numSamples of every channel in place. With an oversampling choice other
        than 0 and an oversampler, channels 0 and 1 run through it in pieces of at most
        oversamplerBlockSize samples, so a block longer than the oversampler was prepared for stays
        within its buffers; its filter state runs on from piece to piece, so the result is the same
        as in one piece. */
    void process (juce::AudioBuffer<float>& buffer, int numSamples, int oversampleChoice, const DriveShaper& shaper,
                  HalfBandOversampler* oversampler, int oversamplerBlockSize) noexcept;
} // namespace DriveStage
} // namespace gribb
