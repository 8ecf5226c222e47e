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

    static int numActiveVoices (GribbTazoAudioProcessor& p)
    {
        int n = 0;
        for (int i = 0; i < p.synth.getNumVoices(); ++i)
            n += p.synth.getVoice (i)->isActive() ? 1 : 0;
        return n;
    }
};
