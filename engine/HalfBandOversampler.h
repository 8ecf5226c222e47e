#pragma once

#include <cstring>
#include <vector>

#include "engine/HalfBandSteps.h"

namespace gribb
{
/** Four-times oversampling of a stereo pair in two half-band stages of 2x each. Each stage filters
    with two cascaded chains of first-order allpass sections in polyphase form (the "direct" and
    the "delayed" branch), designed by juce::dsp::FilterDesign with maximum-quality settings for
    4x (transition width 0.05 then 0.1 up and 0.06 then 0.12 down, stopband -90 then -80 dB up
    and -75 then -65 dB down). The arithmetic per channel is exactly that of
    juce::dsp::Oversampling's polyphase IIR stages, so the samples are the same; here both
    channels and both branches of a stage run together in one four-lane vector
    {left direct, right direct, left delayed, right delayed}, and both stages of a direction in
    one loop (HalfBandSteps). */
class HalfBandOversampler
{
public:
    static constexpr int factor = 4;

    /** Designs the four filters and sizes the buffer for blocks of up to maxBlockSize samples;
        the state is cleared. Allocates: call it from prepareToPlay only. */
    void prepare (int maxBlockSize);

    /** Clears every filter state. */
    void reset() noexcept;

    /** The most samples one up() and down() take; 0 before prepare(). */
    int getMaxBlockSize() const noexcept { return maxBlockSize; }

    /** Upsamples numSamples (at most getMaxBlockSize()) host-rate stereo pairs: `next (i)` gives
        pair i, and is called for i = 0, 1, ... in order, so a source may compute its pairs as it
        goes. Returns the 4x signal, interleaved left/right (2 * 4 * numSamples floats), which the
        caller may change in place before down(). Then sets the states within +-1e-8 to zero, so
        that decaying states reach exactly zero. */
    template <typename PairSource>
    GRIBB_VECTOR_INLINE float* up (PairSource&& next, int numSamples) noexcept
    {
        HalfBandSteps::DesignedUp stages (upStages[0], upStages[1]);
        float* out = quadRate.data();
        for (int i = 0; i < numSamples; ++i)
        {
            const Float2 pair = next (i);
            Float4 even, odd;
            stages.step (pair[0], pair[1], even, odd);
            std::memcpy (out + 8 * i, &even, sizeof (even));
            std::memcpy (out + 8 * i + 4, &odd, sizeof (odd));
        }
        stages.storeStates (upStages[0], upStages[1]);
        upStages[0].snapStateToZero();
        upStages[1].snapStateToZero();
        return out;
    }

    /** Filters and decimates the 4x signal from the last up() back into left and right (right
        may be null), then sets the states within +-1e-8 to zero. */
    void down (float* left, float* right, int numSamples) noexcept;

    /** True when every filter state is exactly zero, so silence in gives silence out and the
        state stays as it is. */
    bool isSilent() const noexcept;

    /** The stages prepare() designs: up 0 works at the host rate and up 1 at twice it; down 1
        takes the 4x signal and down 0 gives the host rate. */
    const HalfBandSteps::Stage& upStage (int n) const noexcept { return upStages[n]; }
    const HalfBandSteps::Stage& downStage (int n) const noexcept { return downStages[n]; }

private:
    HalfBandSteps::Stage upStages[2], downStages[2];
    std::vector<float> quadRate; // the 4x signal, interleaved stereo
    int maxBlockSize = 0;
};
} // namespace gribb
