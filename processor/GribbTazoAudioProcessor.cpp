#include "processor/GribbTazoAudioProcessor.h"

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "engine/DegradationStage.h"
#include "engine/DriveStage.h"
#include "engine/FilterAndDrive.h"
#include "engine/FilterStage.h"
#include "engine/GribbVoice.h"
#include "engine/OutputStage.h"

namespace
{
constexpr int legacyPitchbendRange = 48;
} // namespace

GribbTazoAudioProcessor::GribbTazoAudioProcessor()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, "PARAMETERS", createParameterLayout())
{
    for (size_t i = 0; i < gribb::parameterTable.size(); ++i)
        rawValues[i] = parameters.getRawParameterValue (gribb::parameterTable[i].id);

    for (auto& voice : voices)
        synth.addVoice (voice = new gribb::GribbVoice());

    // The synthesiser starts with a sample rate of 0, which would give the voices an infinite
    // phase increment. Until the host prepares us, run everything at the chain's default rate.
    synth.setCurrentPlaybackSampleRate (currentSampleRate);

    // A default-constructed filter keeps state for one channel only, so a stereo block before
    // prepareToPlay would read past it. Prepare it for the default rate and two channels now.
    gribb::FilterStage::prepare (filter, currentSampleRate);

    synth.enableLegacyMode (legacyPitchbendRange, juce::Range<int> (1, 17));
    synth.setVoiceStealingEnabled (true);
}

GribbTazoAudioProcessor::~GribbTazoAudioProcessor() = default;

const juce::String GribbTazoAudioProcessor::getName() const { return "Gribb Tazo"; }
double GribbTazoAudioProcessor::getTailLengthSeconds() const { return 2.0; }
bool GribbTazoAudioProcessor::acceptsMidi() const { return true; }
bool GribbTazoAudioProcessor::producesMidi() const { return false; }
bool GribbTazoAudioProcessor::hasEditor() const { return true; }

juce::AudioProcessorEditor* GribbTazoAudioProcessor::createEditor()
{
    return new GribbTazoAudioProcessorEditor (*this);
}

bool GribbTazoAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& out = layouts.getMainOutputChannelSet();
    return out == juce::AudioChannelSet::stereo() || out == juce::AudioChannelSet::mono();
}

bool GribbTazoAudioProcessor::voicesAreSilent (const juce::MidiBuffer& midiMessages) const noexcept
{
    if (! midiMessages.isEmpty())
        return false;
    for (const auto* voice : voices)
        if (voice->envelope.isActive())
            return false;
    return true;
}

void GribbTazoAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    currentSampleRate = sampleRate;
    synth.setCurrentPlaybackSampleRate (sampleRate);

    gribb::FilterStage::prepare (filter, sampleRate);

    oversampler.reset();
    oversamplerBlockSize = juce::jmax (1, samplesPerBlock);
    oversampler = gribb::DriveStage::createOversampler (oversamplerBlockSize);

    for (auto& reducer : rateReducers)
        reducer.prepare (sampleRate);

    lfo.prepare (sampleRate);
    smoothedRms = 0.0f;
}

void GribbTazoAudioProcessor::releaseResources()
{
    if (oversampler != nullptr)
        oversampler->reset();
}

void GribbTazoAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    juce::ScopedNoDenormals noDenormals;
    const int numSamples = buffer.getNumSamples();

    buffer.clear();

    gribb::VoiceParameters snapshot;
    snapshot.oscType = (int) raw (gribb::oscType);
    snapshot.pulseWidth = raw (gribb::pulseWidth);
    snapshot.fmRatio = raw (gribb::fmRatio);
    snapshot.fmIndex = raw (gribb::fmIndex);
    snapshot.attack = raw (gribb::attack);
    snapshot.decay = raw (gribb::decay);
    snapshot.sustain = raw (gribb::sustain);
    snapshot.release = raw (gribb::release);
    snapshot.unisonDetune = raw (gribb::unison);

    for (auto* voice : voices)
    {
        voice->params = snapshot;
        voice->setEnvelopeParameters ({ snapshot.attack, snapshot.decay, snapshot.sustain, snapshot.release });
    }

    // The LFO runs on in every block, sounding or not.
    const float lfoValue = lfo.step (raw (gribb::lfoRate), raw (gribb::lfoShape), numSamples);
    const float fmOffset = gribb::lfoFmOffset (lfoValue, raw (gribb::lfoToFm));
    for (auto* voice : voices)
        voice->lfoFmAmount = fmOffset;

    // Idle: no voice can sound in this block and the filter and oversampler hold exactly zero.
    // Silence through them gives exact silence and leaves their states at zero, and the drive
    // curve maps 0 to 0, so they are skipped. Any state left from a release or a resonant ring,
    // however quiet, keeps the whole chain running until the filters' own flush-to-zero ends it.
    const int oversampleChoice = (int) raw (gribb::oversample);
    const bool voicesSilent = voicesAreSilent (midiMessages);
    const bool chainSilent = voicesSilent && filter.isSilent()
                          && (oversampleChoice == 0 || oversampler == nullptr || oversampler->isSilent());

    if (! voicesSilent)
        synth.renderNextBlock (buffer, midiMessages, 0, numSamples);

    if (! chainSilent)
    {
        gribb::FilterAndDrive::process (filter,
                                        gribb::FilterStage::cutoffFor (raw (gribb::cutoff), raw (gribb::lfoToCutoff),
                                                                       lfoValue, currentSampleRate),
                                        raw (gribb::resonance), buffer, numSamples, oversampleChoice,
                                        gribb::DriveShaper::fromParameters (raw (gribb::drive), raw (gribb::hardClip)),
                                        oversampler.get(), oversamplerBlockSize);
    }

    const float srReduce = raw (gribb::srReduce), bitDepth = raw (gribb::bitDepth);
    gribb::DegradationStage::process (buffer, numSamples, rateReducers, crusherBits, srReduce, bitDepth,
                                      currentSampleRate);

    // Without rate reduction or quantisation an idle block is still all zeros: its level is 0.
    const bool outputIsZero = chainSilent && ! (srReduce > gribb::DegradationStage::reducerThreshold)
                           && ! gribb::BitQuantiser::isActive (bitDepth);
    if (outputIsZero)
    {
        gribb::OutputStage::meterLevel (0.0f, smoothedRms, raw (gribb::reactiveRoast), roastLevel);
        return;
    }

    gribb::OutputStage::applyGain (buffer, numSamples, raw (gribb::outputGain));
    gribb::OutputStage::meter (buffer, numSamples, smoothedRms, raw (gribb::reactiveRoast), roastLevel);
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new GribbTazoAudioProcessor();
}
