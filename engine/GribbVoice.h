#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/Envelope.h"
#include "engine/VoiceOscillator.h"
#include "engine/VoiceParameters.h"

namespace gribb
{
/** One voice of the MPE synthesiser: one or two oscillators through an ADSR, scaled by velocity
    and pressure, added into channels 0 and 1. The processor writes `params`, the envelope's
    settings and `lfoFmAmount` before every block; the voice reads no parameter itself. */
class GribbVoice : public juce::MPESynthesiserVoice
{
public:
    GribbVoice() = default;
    ~GribbVoice() override = default;

    void noteStarted() override;
    void noteStopped (bool allowTailOff) override;
    void notePressureChanged() override;
    void notePitchbendChanged() override;
    void noteTimbreChanged() override;
    void noteKeyStateChanged() override {}
    void renderNextBlock (juce::AudioBuffer<double>&, int, int) override {}
    void renderNextBlock (juce::AudioBuffer<float>& outputBuffer, int startSample, int numSamples) override;
    void setCurrentSampleRate (double newRate) override;

    /** The processor's per-block envelope update. A releasing note keeps the slope it was given
        when the key went up: the envelope would otherwise recompute a release from the sustain
        level, so a note let go above that level would fade (level / sustain) times too slowly,
        and one with a sustain of 0 would stop dead. The new settings apply from the next note. */
    void setEnvelopeParameters (const Envelope::Parameters& newParameters);

    VoiceOscillator mainOscillator;
    VoiceOscillator unisonOscillator;
    Envelope envelope;
    VoiceParameters params;
    float velocity = 0.8f;
    float pressure = 0.0f;
    float lfoFmAmount = 0.0f;

    /** The unison oscillator sounds only above this detune, in cents. */
    static constexpr float unisonThreshold = 0.0001f;

    /** Samples a render works on at a time. */
    static constexpr int chunkSize = 64;

    /** The four phases of the voice, in this order: main carrier, main modulator, unison carrier,
        unison modulator. */
    static constexpr int numPhases = 4;

    /** A render in three steps, for a synthesiser that steps the phases of many voices together
        (renderNextBlock is the same three steps with the voice stepping its own phases).
        beginRender readies a render of numSamples from startSample; false means the voice has
        nothing to render (its note, if any, is then freed). After it, phaseIncrements() holds the
        per-sample increment of each phase and readsPhase(k) tells which phases the render reads;
        the others stand still. renderChunk renders `length` (at most chunkSize) samples from
        `offset` within the render, given each phase the render reads as it was before each of
        those samples; the caller steps the phases and stores where they end with setPhase.
        endRender finishes the render. */
    bool beginRender (juce::AudioBuffer<float>& outputBuffer, int startSample) noexcept;
    const float* phaseIncrements() const noexcept { return render.increments; }
    bool readsPhase (int k) const noexcept { return k % 2 == 0 || render.fmShape; }
    float phase (int k) const noexcept;
    void setPhase (int k, float value) noexcept;
    void renderChunk (const float* const* phaseRecords, int offset, int length) noexcept;
    void endRender() noexcept;
    /** After beginRender: renders numSamples stepping its own phases, and ends the render. */
    void renderAlone (int numSamples) noexcept;

private:
    void readPhases (float* four) const noexcept;
    void writePhases (const float* four) noexcept;

    // What stays the same through one render.
    struct RenderSetup
    {
        float increments[numPhases] {};
        bool fmShape = false, unisonOn = false;
        float level = 0.0f, pressureGain = 0.0f;
        float* left = nullptr;
        float* right = nullptr;
    };
    RenderSetup render;

    void updatePitch() noexcept;
    void updatePressureAndTimbre() noexcept;
    void setEnvelopeFromParams();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GribbVoice)
};
} // namespace gribb
