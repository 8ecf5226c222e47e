#pragma once

#include <cmath>

#include <juce_dsp/juce_dsp.h>

#include "engine/Clamp.h"

namespace gribb
{
/** The global lowpass after the synthesiser: a TPT state-variable filter whose cutoff the block's
    LFO value sweeps by up to two octaves either way. */
namespace FilterStage
{
    /** Readies the filter for two channels at the host rate, in lowpass mode, with cleared state. */
    inline void prepare (juce::dsp::StateVariableTPTFilter<float>& filter, double sampleRate)
    {
        juce::dsp::ProcessSpec spec;
        spec.sampleRate = sampleRate;
        spec.maximumBlockSize = 1; // the filter works sample by sample and keeps no block buffer
        spec.numChannels = 2;
        filter.prepare (spec);
        filter.setType (juce::dsp::StateVariableTPTFilterType::lowpass);
        filter.reset();
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
    inline void process (juce::dsp::StateVariableTPTFilter<float>& filter, juce::AudioBuffer<float>& buffer,
                         int numSamples, float cutoffHz, float resonance)
    {
        filter.setCutoffFrequency (cutoffHz);
        filter.setResonance (resonance);

        const int numChannels = juce::jmin (buffer.getNumChannels(), 2);
        if (numSamples <= 0 || numChannels <= 0)
            return;

        juce::dsp::AudioBlock<float> block (buffer.getArrayOfWritePointers(), (size_t) numChannels, (size_t) numSamples);
        filter.process (juce::dsp::ProcessContextReplacing<float> (block));
    }
} // namespace FilterStage
} // namespace gribb
