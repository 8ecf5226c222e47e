#pragma once

#include "engine/GribbVoice.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/ProcessorTestHelpers.h"

/** Lets the tests look at the processor's engine: its synthesiser, voices and LFO. */
struct GribbTazoAudioProcessorInspector
{
    static gribb::GribbEngine& engine (GribbTazoAudioProcessor& p) { return p.engine; }

    static juce::MPESynthesiser& synth (GribbTazoAudioProcessor& p) { return p.engine.synth; }

    static gribb::GribbVoice& voice (GribbTazoAudioProcessor& p, int i) { return p.engine.voice (i); }

    static gribb::Lfo& lfo (GribbTazoAudioProcessor& p) { return p.engine.lfo; }

    /** True when the engine would skip the chain for an empty block, whatever the oversampling
        choice: no voice sounds and the filter and oversampler states are exactly zero. */
    static bool chainIsIdle (GribbTazoAudioProcessor& p)
    {
        return p.engine.isSilentBeforeDegradation (juce::MidiBuffer(), true);
    }

    static int numActiveVoices (GribbTazoAudioProcessor& p)
    {
        int n = 0;
        for (int i = 0; i < p.engine.synth.getNumVoices(); ++i)
            n += p.engine.synth.getVoice (i)->isActive() ? 1 : 0;
        return n;
    }
};
