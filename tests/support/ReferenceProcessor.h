#pragma once

#include <atomic>

#include "engine/DegradationStage.h"
#include "engine/FilterDriveStage.h"
#include "engine/GribbSynthesiser.h"
#include "engine/GribbVoice.h"
#include "engine/Lfo.h"
#include "engine/OutputStage.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/ReferenceFilterAndDrive.h"

namespace gribb::test
{
/** THE REFERENCE for the processor's sound: the per-block processing written out plainly, with
    JUCE's own synthesiser rendering voice by voice, JUCE's filter and oversampler
    (ReferenceFilterAndDrive), and no idle shortcut: every block runs every stage in full. It uses
    the engine's voice, LFO, degradation and output stages, which have tests of their own. It reads
    the plain parameter values of a processor, so the processor's output can be compared with it
    sample by sample. */
class ReferenceProcessor
{
public:
    explicit ReferenceProcessor (GribbTazoAudioProcessor& source) : parameters (source.parameters)
    {
        for (int i = 0; i < gribb::polyphony; ++i)
            synth.addVoice (new gribb::GribbVoice());
        synth.setCurrentPlaybackSampleRate (currentSampleRate);
        gribb::setUpSynthesiser (synth);
    }

    void prepareToPlay (double sampleRate, int samplesPerBlock)
    {
        currentSampleRate = sampleRate;
        synth.setCurrentPlaybackSampleRate (sampleRate);
        filterAndDrive.prepare (sampleRate, samplesPerBlock);
        degradation.prepare (sampleRate);
        lfo.prepare (sampleRate);
        output.prepare();
    }

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
    {
        juce::ScopedNoDenormals noDenormals;
        const int numSamples = buffer.getNumSamples();

        buffer.clear();

        gribb::VoiceParameters snapshot;
        snapshot.oscType = (int) raw ("oscType");
        snapshot.pulseWidth = raw ("pulseWidth");
        snapshot.fmRatio = raw ("fmRatio");
        snapshot.fmIndex = raw ("fmIndex");
        snapshot.attack = raw ("attack");
        snapshot.decay = raw ("decay");
        snapshot.sustain = raw ("sustain");
        snapshot.release = raw ("release");
        snapshot.unisonDetune = raw ("unison");

        forEachVoice ([&] (gribb::GribbVoice& voice)
        {
            voice.params = snapshot;
            // The voice's own update, which keeps a releasing note's slope: a property of the voice,
            // not of the chain this reference stands for.
            voice.setEnvelopeParameters ({ snapshot.attack, snapshot.decay, snapshot.sustain, snapshot.release });
        });

        const float lfoValue = lfo.step (raw ("lfoRate"), raw ("lfoShape"), numSamples);
        const float fmOffset = gribb::lfoFmOffset (lfoValue, raw ("lfoToFm"));
        forEachVoice ([fmOffset] (gribb::GribbVoice& voice) { voice.lfoFmAmount = fmOffset; });

        synth.renderNextBlock (buffer, midiMessages, 0, numSamples);

        filterAndDrive.process (buffer, numSamples,
                                gribb::FilterDriveStage::cutoffFor (raw ("cutoff"), raw ("lfoToCutoff"), lfoValue, currentSampleRate),
                                raw ("resonance"), (int) raw ("oversample") != 0,
                                gribb::DriveShaper::fromParameters (raw ("drive"), raw ("hardClip")));
        degradation.process (buffer, numSamples, raw ("srReduce"), raw ("bitDepth"));
        roastLevel.store (output.process (buffer, numSamples, raw ("outputGain"), raw ("reactiveRoast")));
    }

    gribb::Lfo lfo;
    std::atomic<float> roastLevel { 0.0f };

private:
    float raw (const char* id) const { return parameters.getRawParameterValue (id)->load(); }

    template <typename Fn>
    void forEachVoice (Fn&& fn)
    {
        for (int i = 0; i < synth.getNumVoices(); ++i)
            if (auto* voice = dynamic_cast<gribb::GribbVoice*> (synth.getVoice (i)))
                fn (*voice);
    }

    juce::AudioProcessorValueTreeState& parameters;
    juce::MPESynthesiser synth;
    ReferenceFilterAndDrive filterAndDrive;
    gribb::DegradationStage degradation;
    gribb::OutputStage output;
    double currentSampleRate = 44100.0;
};
} // namespace gribb::test
