#pragma once

#include <array>
#include <atomic>
#include <memory>

#include <juce_dsp/juce_dsp.h>

#include "engine/DegradationStage.h"
#include "engine/DriveShaper.h"
#include "engine/FilterStage.h"
#include "engine/GribbVoice.h"
#include "engine/Lfo.h"
#include "engine/OutputStage.h"
#include "engine/SampleRateReducer.h"
#include "processor/GribbTazoAudioProcessor.h"

namespace gribb::test
{
/** THE REFERENCE for the processor's sound: the per-block processing as it was before the
    speed work, kept unchanged. It renders every block in full (no idle shortcut) with JUCE's own
    StateVariableTPTFilter and polyphase IIR Oversampling, reading the plain parameter values of
    a processor, so the processor's output can be compared with it sample by sample. */
class ReferenceProcessor
{
public:
    explicit ReferenceProcessor (GribbTazoAudioProcessor& source) : parameters (source.parameters)
    {
        for (int i = 0; i < 16; ++i)
            synth.addVoice (new gribb::GribbVoice());
        synth.setCurrentPlaybackSampleRate (currentSampleRate);
        prepareFilter (currentSampleRate);
        synth.enableLegacyMode (48, juce::Range<int> (1, 17));
        synth.setVoiceStealingEnabled (true);
    }

    void prepareToPlay (double sampleRate, int samplesPerBlock)
    {
        currentSampleRate = sampleRate;
        synth.setCurrentPlaybackSampleRate (sampleRate);
        prepareFilter (sampleRate);

        oversampler.reset();
        oversamplerBlockSize = juce::jmax (1, samplesPerBlock);
        oversampler = std::make_unique<juce::dsp::Oversampling<float>> (
            (size_t) 2, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, true, false);
        oversampler->initProcessing ((size_t) oversamplerBlockSize);
        oversampler->reset();

        for (auto& reducer : rateReducers)
            reducer.prepare (sampleRate);

        lfo.prepare (sampleRate);
        smoothedRms = 0.0f;
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

        // The lowpass, through JUCE's filter.
        filter.setCutoffFrequency (gribb::FilterStage::cutoffFor (raw ("cutoff"), raw ("lfoToCutoff"), lfoValue,
                                                                  currentSampleRate));
        filter.setResonance (raw ("resonance"));
        const int filterChannels = juce::jmin (buffer.getNumChannels(), 2);
        if (numSamples > 0 && filterChannels > 0)
        {
            juce::dsp::AudioBlock<float> block (buffer.getArrayOfWritePointers(), (size_t) filterChannels,
                                                (size_t) numSamples);
            filter.process (juce::dsp::ProcessContextReplacing<float> (block));
        }

        drive (buffer, numSamples, (int) raw ("oversample"),
               gribb::DriveShaper::fromParameters (raw ("drive"), raw ("hardClip")));

        gribb::DegradationStage::process (buffer, numSamples, rateReducers, crusherBits, raw ("srReduce"),
                                          raw ("bitDepth"), currentSampleRate);

        gribb::OutputStage::applyGain (buffer, numSamples, raw ("outputGain"));
        gribb::OutputStage::meter (buffer, numSamples, smoothedRms, raw ("reactiveRoast"), roastLevel);
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

    void prepareFilter (double sampleRate)
    {
        juce::dsp::ProcessSpec spec;
        spec.sampleRate = sampleRate;
        spec.maximumBlockSize = 1;
        spec.numChannels = 2;
        filter.prepare (spec);
        filter.setType (juce::dsp::StateVariableTPTFilterType::lowpass);
        filter.reset();
    }

    // Drive and clip, oversampled in pieces of the prepared block size through JUCE's oversampler.
    void drive (juce::AudioBuffer<float>& buffer, int numSamples, int oversampleChoice, const gribb::DriveShaper& shaper)
    {
        if (numSamples <= 0)
            return;

        const int numChannels = buffer.getNumChannels();
        int firstPlainChannel = 0;

        if (oversampleChoice != 0 && oversampler != nullptr && oversamplerBlockSize > 0)
        {
            const int channels = juce::jmin (numChannels, 2);
            firstPlainChannel = channels;

            for (int start = 0; start < numSamples; start += oversamplerBlockSize)
            {
                const int length = juce::jmin (oversamplerBlockSize, numSamples - start);
                juce::dsp::AudioBlock<float> block (buffer.getArrayOfWritePointers(), (size_t) channels,
                                                    (size_t) start, (size_t) length);
                auto up = oversampler->processSamplesUp (block);
                for (size_t ch = 0; ch < up.getNumChannels(); ++ch)
                    shaper.process (up.getChannelPointer (ch), (int) up.getNumSamples());
                oversampler->processSamplesDown (block);
            }
        }

        for (int ch = firstPlainChannel; ch < numChannels; ++ch)
            shaper.process (buffer.getWritePointer (ch), numSamples);
    }

    juce::AudioProcessorValueTreeState& parameters;
    juce::MPESynthesiser synth;
    juce::dsp::StateVariableTPTFilter<float> filter;
    std::unique_ptr<juce::dsp::Oversampling<float>> oversampler;
    int oversamplerBlockSize = 0;
    float crusherBits[2] { 16.0f, 16.0f };
    gribb::SampleRateReducer rateReducers[2];
    double currentSampleRate = 44100.0;
    float smoothedRms = 0.0f;
};
} // namespace gribb::test
