#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/PhaseBank.h"

#include <array>

namespace gribb
{
class GribbVoice;

/** The MPE synthesiser, rendering up to `polyphony` GribbVoices together (with more voices, or a
    voice of another kind, a sub-block renders voice by voice, as JUCE's own does): chunk by chunk, the phases of every
    sounding voice are stepped at once in a PhaseBank, then each voice renders the chunk from its
    recorded phases and adds it into the output, in the synthesiser's voice order. Each voice
    computes exactly what its own renderNextBlock would, and each output sample receives the
    voices' values in the same order, so the samples are the same. */
class GribbSynthesiser : public juce::MPESynthesiser
{
public:
    /** With fewer sounding voices, each voice steps its own phases. */
    static constexpr int fewestForTheBank = 3;

    /** Most voices the steal search looks through without the heap; with more it leaves the
        choice to JUCE's own search. */
    static constexpr int maxStealCandidates = 64;

protected:
    void renderNextSubBlock (juce::AudioBuffer<float>& outputAudio, int startSample, int numSamples) override;
    using juce::MPESynthesiser::renderNextSubBlock;

    /** JUCE's steal rule (the oldest voice playing the same note number; else the oldest released
        one; else the oldest without a finger on it; else the oldest, sparing the lowest and the
        highest held notes; else the highest, then the lowest), chosen in a list on the stack: JUCE's
        own search empties and refills a list of its own on the heap at every steal. The list is
        ordered by the same sorts as JUCE's, so equal start times resolve the same way. */
    juce::MPESynthesiserVoice* findVoiceToSteal (juce::MPENote noteToStealVoiceFor = juce::MPENote()) const override;

private:
    PhaseBank bank;
};

/** Sets a synthesiser up as the instrument plays: JUCE's legacy MPE mode on channels 1 to 16 (each
    channel bends its own notes) with a 48-semitone bend range, and voice stealing on. The engine's
    synthesiser and the tests' synthesisers are set up by this one function. */
void setUpSynthesiser (juce::MPESynthesiser& synth);
} // namespace gribb
