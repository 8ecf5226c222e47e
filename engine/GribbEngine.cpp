#include "engine/GribbEngine.h"

#include "engine/GribbVoice.h"

namespace gribb
{
GribbEngine::GribbEngine()
{
    for (auto& v : voices)
    {
        synth.addVoice (v = new GribbVoice());
        v->notePitch = &synth.notePitch;
    }
    for (auto& v : zoneVoices)
    {
        zoneSynth.addVoice (v = new GribbVoice());
        v->notePitch = &zoneSynth.notePitch;
    }

    // The synthesiser starts with a sample rate of 0, which would give the voices an infinite
    // phase increment. Until the host prepares us, everything runs at the default rate.
    synth.setCurrentPlaybackSampleRate (sampleRate);
    zoneSynth.setCurrentPlaybackSampleRate (sampleRate);

    setUpSynthesiser (synth);
    // The zone player: set up the same way, then it leaves legacy mode for the zones.
    setUpSynthesiser (zoneSynth);
    zoneSynth.setRole (GribbSynthesiser::Role::zones);
}

GribbEngine::~GribbEngine() = default;

void GribbEngine::takePitchSetup() noexcept
{
    PitchSetup posted;
    if (! pitchSetups.take (posted))
        return;

    const bool wasFollowing = pitchSetup.followMpe;
    auto channels = synth.channels;
    for (int channel = 1; channel <= 16; ++channel)
        channels.setChannelRange (channel, posted.channelRanges[(size_t) (channel - 1)]);
    const bool zonesChanged = ! (channels.lowerZone() == posted.lower) || ! (channels.upperZone() == posted.upper);
    channels.setZones (posted.lower, posted.upper);
    synth.channels = channels;
    synth.setFollowMpe (posted.followMpe);

    // The zone player reads the MIDI only while the player follows the zones; when it starts to,
    // or the zones are restored, it takes over what the other one has read.
    if (posted.followMpe && (zonesChanged || ! wasFollowing))
        zoneSynth.takeChannelSetup (channels);
    else
        zoneSynth.channels = channels;
    zoneSynth.setFollowMpe (posted.followMpe);
    pitchSetup = posted;
    pitchSetups.publish (pitchSetup);
}

void GribbEngine::publishPitchSetup() noexcept
{
    const auto& channels = synth.channels;
    auto now = pitchSetup;
    for (int channel = 1; channel <= 16; ++channel)
        now.channelRanges[(size_t) (channel - 1)] = channels.channelRange (channel);
    now.lower = channels.lowerZone();
    now.upper = channels.upperZone();
    // While following the zones, the zone player's reading is the one that plays.
    if (pitchSetup.followMpe)
    {
        now.lower = zoneSynth.channels.lowerZone();
        now.upper = zoneSynth.channels.upperZone();
    }

    if (now != pitchSetup)
    {
        pitchSetup = now;
        pitchSetups.publish (now);
    }
}

void GribbEngine::prepare (double newSampleRate, int maxBlockSize)
{
    sampleRate = newSampleRate;
    synth.setCurrentPlaybackSampleRate (sampleRate);
    zoneSynth.setCurrentPlaybackSampleRate (sampleRate);
    filterDrive.prepare (sampleRate, juce::jmax (1, maxBlockSize));
    degradation.prepare (sampleRate);
    lfo.prepare (sampleRate);
    output.prepare();
}

void GribbEngine::stopPlayback() noexcept
{
    filterDrive.resetOversampler();
}

bool GribbEngine::voicesAreSilent (const juce::MidiBuffer& midi) const noexcept
{
    if (! midi.isEmpty())
        return false;
    for (const auto* v : voices)
        if (v->envelope.isActive())
            return false;
    return ! zoneVoicesSound();
}

void GribbEngine::handBlockTo (std::array<GribbVoice*, polyphony>& bank, const VoiceParameters& params, float fmOffset) noexcept
{
    for (auto* v : bank)
    {
        v->params = params;
        v->setEnvelopeParameters ({ params.attack, params.decay, params.sustain, params.release });
        v->lfoFmAmount = fmOffset;
    }
}

bool GribbEngine::zoneVoicesSound() const noexcept
{
    for (const auto* v : zoneVoices)
        if (v->envelope.isActive())
            return true;
    return false;
}

bool GribbEngine::isSilentBeforeDegradation (const juce::MidiBuffer& midi, bool oversample) const noexcept
{
    return voicesAreSilent (midi) && filterDrive.isSilent (oversample);
}

float GribbEngine::process (juce::AudioBuffer<float>& buffer, const juce::MidiBuffer& midi,
                            const EngineParameters& p) noexcept
{
    juce::ScopedNoDenormals noDenormals;
    const int numSamples = buffer.getNumSamples();
    buffer.clear();

    takePitchSetup();
    synth.notePitch.tuning = zoneSynth.notePitch.tuning = tunings.acquire();

    // The LFO runs on in every block, sounding or not.
    const float lfoValue = lfo.step (p.lfoRate, p.lfoShape, numSamples);
    const float fmOffset = lfoFmOffset (lfoValue, p.lfoToFm);

    const bool zonesRender = pitchSetup.followMpe || zoneVoicesSound();
    handBlockTo (voices, p.voice, fmOffset);
    if (zonesRender)
        handBlockTo (zoneVoices, p.voice, fmOffset);

    const bool voicesSilent = voicesAreSilent (midi);
    const bool chainSilent = voicesSilent && filterDrive.isSilent (p.oversample);

    if (! voicesSilent)
    {
        synth.renderNextBlock (buffer, midi, 0, numSamples);
        // The zone player adds its voices after the other's: with it silent and not following,
        // the samples are exactly the other's.
        if (zonesRender)
            zoneSynth.renderNextBlock (buffer, midi, 0, numSamples);
    }

    if (! chainSilent)
    {
        FilterDriveStage::Settings settings;
        settings.cutoffHz = FilterDriveStage::cutoffFor (p.cutoff, p.lfoToCutoff, lfoValue, sampleRate);
        settings.resonance = p.resonance;
        settings.oversample = p.oversample;
        settings.shaper = DriveShaper::fromParameters (p.drive, p.hardClip);
        filterDrive.process (buffer, numSamples, settings);
    }

    if (! midi.isEmpty())
        publishPitchSetup();

    degradation.process (buffer, numSamples, p.srReduce, p.bitDepth);

    // Silence that the degradation leaves alone is silence at any gain: its level is 0.
    if (chainSilent && ! DegradationStage::changesSamples (p.srReduce, p.bitDepth))
        return output.processSilence (p.reactiveRoast);

    return output.process (buffer, numSamples, p.outputGain, p.reactiveRoast);
}
} // namespace gribb
