#include "engine/GribbEngine.h"

#include "engine/GribbVoice.h"

namespace gribb
{
GribbEngine::GribbEngine()
{
    for (auto& v : voices)
        synth.addVoice (v = new GribbVoice());

    // The synthesiser starts with a sample rate of 0, which would give the voices an infinite
    // phase increment. Until the host prepares us, everything runs at the default rate.
    synth.setCurrentPlaybackSampleRate (sampleRate);

    setUpSynthesiser (synth);
}

GribbEngine::~GribbEngine() = default;

void GribbEngine::prepare (double newSampleRate, int maxBlockSize)
{
    sampleRate = newSampleRate;
    synth.setCurrentPlaybackSampleRate (sampleRate);
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
    return true;
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

    for (auto* v : voices)
    {
        v->params = p.voice;
        v->setEnvelopeParameters ({ p.voice.attack, p.voice.decay, p.voice.sustain, p.voice.release });
    }

    // The LFO runs on in every block, sounding or not.
    const float lfoValue = lfo.step (p.lfoRate, p.lfoShape, numSamples);
    const float fmOffset = lfoFmOffset (lfoValue, p.lfoToFm);
    for (auto* v : voices)
        v->lfoFmAmount = fmOffset;

    const bool voicesSilent = voicesAreSilent (midi);
    const bool chainSilent = voicesSilent && filterDrive.isSilent (p.oversample);

    if (! voicesSilent)
        synth.renderNextBlock (buffer, midi, 0, numSamples);

    if (! chainSilent)
    {
        FilterDriveStage::Settings settings;
        settings.cutoffHz = FilterDriveStage::cutoffFor (p.cutoff, p.lfoToCutoff, lfoValue, sampleRate);
        settings.resonance = p.resonance;
        settings.oversample = p.oversample;
        settings.shaper = DriveShaper::fromParameters (p.drive, p.hardClip);
        filterDrive.process (buffer, numSamples, settings);
    }

    degradation.process (buffer, numSamples, p.srReduce, p.bitDepth);

    // Silence that the degradation leaves alone is silence at any gain: its level is 0.
    if (chainSilent && ! DegradationStage::changesSamples (p.srReduce, p.bitDepth))
        return output.processSilence (p.reactiveRoast);

    return output.process (buffer, numSamples, p.outputGain, p.reactiveRoast);
}
} // namespace gribb
