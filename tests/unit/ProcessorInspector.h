#pragma once

#include "engine/GribbVoice.h"
#include "processor/GribbTazoAudioProcessor.h"

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

namespace gribb::test
{
/** Sets a parameter to a plain value through the host-notifying path, as a host would. */
inline void setPlain (GribbTazoAudioProcessor& p, const char* id, float value)
{
    p.parameters.getParameter (id)->setValueNotifyingHost (p.parameters.getParameterRange (id).convertTo0to1 (value));
}

inline bool allFinite (const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int i = 0; i < b.getNumSamples(); ++i)
            if (! std::isfinite (b.getSample (ch, i)))
                return false;
    return true;
}
} // namespace gribb::test
