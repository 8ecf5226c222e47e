#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/DriveShaper.h"
#include "engine/HalfBandOversampler.h"
#include "engine/TptLowpass.h"

namespace gribb
{
/** The lowpass (FilterStage) followed by drive and clip (DriveStage). When the drive runs four
    times oversampled and the block goes through the oversampler in one piece, the lowpass runs
    inside the upsampling loop: each sample goes through the filter and both upsampling stages
    before the next. The filter's and the upsampler's recurrences are chains of dependent
    operations, each waiting on the last; in one loop they overlap instead of running one after
    the other. Every stage does the same operations in the same order as on its own, so the
    samples are the same. Other blocks run the two stages one after the other. */
namespace FilterAndDrive
{
    void process (TptLowpass& filter, float cutoffHz, float resonance, juce::AudioBuffer<float>& buffer,
                  int numSamples, int oversampleChoice, const DriveShaper& shaper, HalfBandOversampler* oversampler,
                  int oversamplerBlockSize) noexcept;

    /** True when process() runs the lowpass inside the upsampling loop for such a block. */
    bool runsAsOnePass (int numSamples, int numChannels, int oversampleChoice, const HalfBandOversampler* oversampler,
                        int oversamplerBlockSize) noexcept;
} // namespace FilterAndDrive
} // namespace gribb
