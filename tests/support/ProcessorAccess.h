#pragma once

#include "engine/GribbVoice.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/ProcessorTestHelpers.h"

/** Lets the tests look at the processor's synthesiser and its voices. */
struct GribbTazoAudioProcessorInspector
{
    static juce::MPESynthesiser& synth (GribbTazoAudioProcessor& p) { return p.synth; }

    static gribb::GribbVoice& voice (GribbTazoAudioProcessor& p, int i)
    {
        return *dynamic_cast<gribb::GribbVoice*> (p.synth.getVoice (i));
    }

    static gribb::Lfo& lfo (GribbTazoAudioProcessor& p) { return p.lfo; }

    /** True when no voice sounds and the filter and oversampler states are exactly zero: the
        state in which the processor skips the chain. */
    static bool chainIsIdle (GribbTazoAudioProcessor& p)
    {
        return numActiveVoices (p) == 0 && p.filter.isSilent()
            && (p.oversampler == nullptr || p.oversampler->isSilent());
    }

    static int numActiveVoices (GribbTazoAudioProcessor& p)
    {
        int n = 0;
        for (int i = 0; i < p.synth.getNumVoices(); ++i)
            n += p.synth.getVoice (i)->isActive() ? 1 : 0;
        return n;
    }
};
