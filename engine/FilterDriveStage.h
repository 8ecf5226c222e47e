#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/DriveShaper.h"
#include "engine/HalfBandOversampler.h"
#include "engine/TptLowpass.h"

namespace gribb
{
/** The global lowpass followed by drive and clip: a TPT state-variable lowpass whose cutoff the
    block's LFO value sweeps, then the asymmetric drive curve with its hard-clip ceiling, at the
    host rate or four times oversampled. One unit, because with oversampling on the two run in one
    pass: each sample goes through the filter and both upsampling stages before the next, so the
    filter's and the upsampler's chains of dependent operations overlap instead of running one
    after the other. A block longer than the prepared size (or one before prepare) takes the same
    stages one after the other, the drive in pieces of the prepared size. Both paths do the same
    operations in the same order on every sample, so they give the same samples. */
class FilterDriveStage
{
public:
    struct Settings
    {
        float cutoffHz = 1000.0f; // this block's cutoff, from cutoffFor()
        float resonance = 0.7071f;
        bool oversample = false;
        DriveShaper shaper;
    };

    /** The block's cutoff in Hz: the knob value shifted by lfoToCutoff * 2 octaves at full LFO
        swing, kept within 20 Hz .. 0.45 x the host rate. */
    static float cutoffFor (float cutoffParameter, float lfoToCutoff, float lfoValue, double sampleRate) noexcept;

    FilterDriveStage() noexcept { filter.prepare (filter.sampleRate); }

    /** Readies the filter for the host rate and builds the oversampler for blocks of up to
        maxBlockSize samples; the state is cleared. Allocates: call it from prepareToPlay only. */
    void prepare (double sampleRate, int maxBlockSize);

    /** Clears the oversampler's states only. */
    void resetOversampler() noexcept { oversampler.reset(); }

    /** Filters and shapes the first numSamples of the buffer in place. The filter and the
        oversampler keep state for channels 0 and 1 (the bus layouts never give more); any further
        channel is only shaped, at the host rate. */
    void process (juce::AudioBuffer<float>& buffer, int numSamples, const Settings& settings) noexcept;

    /** True when the states that the settings' path runs through are exactly zero: silence in
        then gives silence out and leaves them at zero (the drive curve maps 0 to 0). */
    bool isSilent (bool oversample) const noexcept;

private:
    TptLowpass filter;
    HalfBandOversampler oversampler;

    bool runsInOnePass (int numSamples, bool oversample) const noexcept;
    void processInOnePass (const TptLowpass::Coefficients& c, const DriveShaper& shaper, float* left, float* right,
                           int numSamples) noexcept;
    void processStageByStage (const TptLowpass::Coefficients& c, const Settings& settings, float* left, float* right,
                              int numSamples) noexcept;
};
} // namespace gribb
