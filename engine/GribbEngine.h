#pragma once

#include <array>

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/DegradationStage.h"
#include "engine/EngineParameters.h"
#include "engine/FilterDriveStage.h"
#include "engine/GribbSynthesiser.h"
#include "engine/Lfo.h"
#include "engine/OutputStage.h"
#include "engine/PitchSetup.h"
#include "engine/Polyphony.h"
#include "engine/TuningExchange.h"

namespace gribb
{
class GribbVoice;

/** The whole sound engine, block by block: the MPE synthesiser with its voices, the LFO, and the
    global chain (lowpass with drive and clip, degradation, output gain and level meter). It knows
    nothing of hosts or parameters objects: each block gets the block's MIDI and one set of
    parameter values, and gives back the block's audio and its roast value for the animation. */
class GribbEngine
{
public:
    /** Sixteen voices in JUCE's legacy MPE mode on channels 1 to 16 with a 48-semitone bend range,
        voice stealing on; ready to render at 44.1 kHz until prepare() says otherwise. */
    GribbEngine();
    ~GribbEngine();

    /** Readies every part for the host rate and blocks of up to maxBlockSize samples (a longer
        block still works) and clears the chain's state. Allocates: call it from prepareToPlay. */
    void prepare (double sampleRate, int maxBlockSize);

    /** A host's stop of playback (releaseResources): clears the oversampler's filter state only.
        The lowpass, the reducers' held samples, the meter, the LFO and sounding notes run on, so
        a block after it continues where the last one ended; prepare() clears them all. */
    void stopPlayback() noexcept;

    /** Renders one block into the buffer (its previous content is discarded) from the block's MIDI
        and parameter values, and returns the block's roast value, 0..1. */
    float process (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi, const EngineParameters& parameters) noexcept;

    /** True when a block with this MIDI and oversampling choice can make no sound before the
        degradation: no MIDI event in it, no voice sounding, and the filter and oversampler states
        exactly zero. Silence through them gives exact silence and leaves their states at zero, so
        process() skips them; any state left from a release or a resonant ring, however quiet,
        keeps the whole chain running until the stages' own snap to zero ends it. */
    bool isSilentBeforeDegradation (const juce::MidiBuffer& midi, bool oversample) const noexcept;

    /** Message thread: the player's bend range and MPE choice, and the ranges and zones in
        effect (as a saved state restores them). The audio thread takes it at its next block. */
    void setPitchSetup (const PitchSetup& setup) noexcept { pitchSetups.post (setup); }
    /** Message thread: the setup the engine plays with, RPNs received included. */
    PitchSetup getPitchSetup() const noexcept { return pitchSetups.published(); }

    /** Message thread: the tuning from the next block on; nullptr is standard tuning. */
    void setTuning (std::unique_ptr<Tuning> tuning) { tunings.set (std::move (tuning)); }
    const Tuning* getTuning() const noexcept { return tunings.get(); }

    /** Plays every channel on its own (the instrument's own set-up). */
    GribbSynthesiser synth;
    /** Plays the controller's MPE zones, while the player follows them and a zone exists. */
    GribbSynthesiser zoneSynth;
    GribbVoice& voice (int index) noexcept { return *voices[(size_t) index]; }
    GribbVoice& zoneVoice (int index) noexcept { return *zoneVoices[(size_t) index]; }
    Lfo lfo;

private:
    std::array<GribbVoice*, polyphony> voices {}; // the synthesiser's voices, owned by it
    std::array<GribbVoice*, polyphony> zoneVoices {}; // the zone player's, owned by it
    FilterDriveStage filterDrive; // the lowpass, then drive and clip, with their oversampler
    DegradationStage degradation;
    OutputStage output;
    double sampleRate = 44100.0;

    PitchSetupExchange pitchSetups;
    PitchSetup pitchSetup; // audio thread: what it plays with
    TuningExchange tunings;

    void takePitchSetup() noexcept;
    void publishPitchSetup() noexcept;

    bool voicesAreSilent (const juce::MidiBuffer& midi) const noexcept;
    bool zoneVoicesSound() const noexcept;
    /** Hands the block's voice parameters and the LFO's FM offset to every voice of a bank. */
    static void handBlockTo (std::array<GribbVoice*, polyphony>& bank, const VoiceParameters& params, float fmOffset) noexcept;

    JUCE_DECLARE_NON_COPYABLE (GribbEngine)
};
} // namespace gribb
