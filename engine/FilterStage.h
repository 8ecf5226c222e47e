#pragma once

#include <cmath>

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/Clamp.h"
#include "engine/TptLowpass.h"

namespace gribb
{
/** The global lowpass after the synthesiser: a TPT state-variable filter whose cutoff the block's
    LFO value sweeps by up to two octaves either way. */
namespace FilterStage
{
    /** Readies the filter for two channels at the host rate, in lowpass mode, with cleared state. */
    inline void prepare (TptLowpass& filter, double sampleRate) noexcept
    {
        filter.prepare (sampleRate);
    }

    /** The block's cutoff in Hz: the knob value shifted by lfoToCutoff * 2 octaves at full LFO
        swing, kept within 20 Hz .. 0.45 x the host rate. */
    inline float cutoffFor (float cutoffParameter, float lfoToCutoff, float lfoValue, double sampleRate) noexcept
    {
        const float fc = cutoffParameter * std::pow (2.0f, (lfoToCutoff * 2.0f) * lfoValue);
        const float ceiling = (float) (sampleRate * 0.45);
        return clampTo (fc, 20.0f, ceiling);
    }

    /** Filters the first numSamples of the buffer in place with this block's cutoff and resonance.
        Only the two channels the filter keeps state for are touched (the bus layouts never give
        more). */
    inline void process (TptLowpass& filter, juce::AudioBuffer<float>& buffer, int numSamples, float cutoffHz,
                         float resonance) noexcept
    {
        const int numChannels = juce::jmin (buffer.getNumChannels(), 2);
        if (numSamples <= 0 || numChannels <= 0)
            return;

        filter.process (buffer.getWritePointer (0), numChannels > 1 ? buffer.getWritePointer (1) : nullptr,
                        numSamples, cutoffHz, resonance);
    }
} // namespace FilterStage
} // namespace gribb
