#pragma once

#include <vector>

#include "engine/SimdTypes.h"

namespace gribb
{
/** Four-times oversampling of a stereo pair in two half-band stages of 2x each. Each stage filters
    with two cascaded chains of first-order allpass sections in polyphase form (the "direct" and
    the "delayed" branch), designed by juce::dsp::FilterDesign with maximum-quality settings for
    4x (transition width 0.05 then 0.1 up and 0.06 then 0.12 down, stopband -90 then -80 dB up
    and -75 then -65 dB down). The arithmetic per channel is exactly that of
    juce::dsp::Oversampling's polyphase IIR stages, so the samples are the same; here both
    channels and both branches of a stage run together in one four-lane vector
    {left direct, right direct, left delayed, right delayed}. */
class HalfBandOversampler
{
public:
    static constexpr int factor = 4;
    /** More allpass sections per branch than any of the four designs needs. */
    static constexpr int maxSections = 8;

    /** Designs the four filters and sizes the buffers for blocks of up to maxBlockSize samples;
        the state is cleared. Allocates: call it from prepareToPlay only. */
    void prepare (int maxBlockSize);

    /** Clears every filter state. */
    void reset() noexcept;

    int getMaxBlockSize() const noexcept { return maxBlockSize; }

    /** Upsamples numSamples (at most the prepared block size) of left and right; a null right
        runs that lane on silence. Returns the 4x signal, interleaved left/right:
        2 * 4 * numSamples floats, which the caller may shape in place before processDown. */
    float* processUp (const float* left, const float* right, int numSamples) noexcept;

    /** Filters and decimates the 4x signal from the last processUp back into left and right
        (right may be null). */
    void processDown (float* left, float* right, int numSamples) noexcept;

    /** True when every filter state is exactly zero, so silence in gives silence out and the
        state stays as it is. */
    bool isSilent() const noexcept;

    /** True when the four stages are the designs prepare() makes, the section counts that
        HalfBandSteps::DesignedUp and DesignedDown are built for. */
    bool hasDesignedStages() const noexcept;

    /** One 2x stage. `alpha` and `state` hold one section of both branches per vector; when the
        direct branch has one more section than the delayed one, the last section's delayed lanes
        pass through. */
    struct Stage
    {
        Float4 alpha[maxSections] {};
        Float4 state[maxSections] {};
        int sections = 0;             // sections in the longer (direct) branch
        bool lastIsDirectOnly = false;
        Float2 delay {};              // decimation only: the delayed branch's previous output

        /** The polyphase allpass coefficients of JUCE's half-band design for these settings. */
        void design (float normalisedTransitionWidth, float stopbandDb);
        void reset() noexcept;
        /** Interleaved stereo in, numSamples pairs; interleaved stereo at twice the rate out. */
        void up (const float* in, float* out, int numSamples) noexcept;
        /** Interleaved stereo at twice the rate in (2 * numSamples pairs), numSamples pairs out. */
        void down (const float* in, float* out, int numSamples) noexcept;
        void snapStateToZero() noexcept;
        bool isSilent() const noexcept;
    };

    /** The stages, for a pass that runs them together with the stages around them (FilterAndDrive).
        Up stage 0 works at the host rate and 1 at twice it; down stage 1 takes the 4x signal and 0
        gives the host rate. */
    Stage& upStage (int n) noexcept { return upStages[n]; }
    Stage& downStage (int n) noexcept { return downStages[n]; }
    /** Room for the 4x signal of a block of the prepared size: 2 * 4 * getMaxBlockSize() floats. */
    float* quadRateBuffer() noexcept { return quadRate.data(); }

    /** Sets the upsampling stages' states within +-1e-8 to zero, as processUp does after each
        block (processDown does the same for its stages), so that decaying states reach exactly
        zero. For a pass that runs the upsampling stages itself. */
    void snapUpStatesToZero() noexcept;

private:
    Stage upStages[2], downStages[2];
    std::vector<float> hostRate, doubleRate, quadRate; // interleaved stereo buffers
    int maxBlockSize = 0;
};
} // namespace gribb
