#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/Envelope.h"
#include "engine/NotePitch.h"
#include "engine/Polyphony.h"
#include "engine/VoiceOscillator.h"
#include "engine/VoiceParameters.h"

namespace gribb
{
/** One voice of the MPE synthesiser: one or two oscillators through an ADSR, scaled by velocity
    and pressure, added into channels 0 and 1. The engine writes `params`, the envelope's
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

    /** The engine's per-block envelope update. A releasing note keeps the slope it was given
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

    /** The bend ranges and tuning the voice plays with, owned by its synthesiser. Without one the
        voice bends as JUCE's instrument computes and plays in standard tuning. */
    const NotePitch* notePitch = nullptr;

    /** The unison oscillator sounds only above this detune, in cents. */
    static constexpr float unisonThreshold = 0.0001f;

    /** Samples a render works on at a time. */
    static constexpr int chunkSize = 64;

    /** The voice's four oscillator phases. */
    enum PhaseSlot : int
    {
        mainCarrier,
        mainModulator,
        unisonCarrier,
        unisonModulator,
        numPhaseSlots
    };
    static_assert (numPhaseSlots == phasesPerVoice);

    static constexpr bool isModulator (int slot) noexcept { return slot == mainModulator || slot == unisonModulator; }

    /** A render in three steps, for a synthesiser that steps the phases of many voices together
        (renderNextBlock is the same three steps with the voice stepping its own phases):
        1. beginRender readies a render of the block from startSample; false means the voice has
           nothing to render (its note, if any, is then freed). After it, phaseIncrement (slot)
           holds each phase's per-sample increment and readsPhase (slot) tells which phases the
           render reads (the carriers always, the modulators in an FM note); the others stand
           still and need no stepping.
        2. renderChunk, chunk after chunk, renders `length` (at most chunkSize) samples from
           `offset` within the render, given for each phase it reads the phase before each of
           those samples (phaseRecords, indexed by slot). The caller steps the phases and, after
           the last chunk, stores where each read phase ended with setPhase.
        3. endRender frees the voice if its envelope ended. */
    bool beginRender (juce::AudioBuffer<float>& outputBuffer, int startSample) noexcept;
    float phaseIncrement (int slot) const noexcept { return render.increments[slot]; }
    bool readsPhase (int slot) const noexcept { return ! isModulator (slot) || render.fmShape; }
    float phase (int slot) const noexcept;
    void setPhase (int slot, float value) noexcept;
    void renderChunk (const float* const* phaseRecords, int offset, int length) noexcept;
    void endRender() noexcept;
    /** After beginRender: renders numSamples stepping its own phases, and ends the render. */
    void renderAlone (int numSamples) noexcept;

private:
    // What stays the same through one render.
    struct RenderSetup
    {
        float increments[numPhaseSlots] {};
        bool fmShape = false, unisonOn = false;
        bool wrapsOnce = true; // every increment below 1
        float level = 0.0f, pressureGain = 0.0f;
        float* left = nullptr;
        float* right = nullptr;
    };
    RenderSetup render;

    VoiceOscillator& oscillatorOf (int slot) noexcept { return slot < unisonCarrier ? mainOscillator : unisonOscillator; }
    const VoiceOscillator& oscillatorOf (int slot) const noexcept { return slot < unisonCarrier ? mainOscillator : unisonOscillator; }

    void updatePitch() noexcept;
    void updatePressureAndTimbre() noexcept;
    void setEnvelopeFromParams();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GribbVoice)
};
} // namespace gribb
