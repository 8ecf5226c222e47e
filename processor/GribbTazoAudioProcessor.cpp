#include "processor/GribbTazoAudioProcessor.h"

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "engine/GribbVoice.h"

namespace
{
constexpr int numVoices = 16;
constexpr int legacyPitchbendRange = 48;
} // namespace

GribbTazoAudioProcessor::GribbTazoAudioProcessor()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, "PARAMETERS", createParameterLayout())
{
    for (size_t i = 0; i < gribb::parameterTable.size(); ++i)
        rawValues[i] = parameters.getRawParameterValue (gribb::parameterTable[i].id);

    for (int i = 0; i < numVoices; ++i)
        synth.addVoice (new gribb::GribbVoice());

    // The synthesiser starts with a sample rate of 0, which would give the voices an infinite
    // phase increment. Until the host prepares us, run everything at the chain's default rate.
    synth.setCurrentPlaybackSampleRate (currentSampleRate);

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

template <typename Fn>
void GribbTazoAudioProcessor::forEachGribbVoice (Fn&& fn)
{
    for (int i = 0; i < synth.getNumVoices(); ++i)
        if (auto* voice = dynamic_cast<gribb::GribbVoice*> (synth.getVoice (i)))
            fn (*voice);
}

void GribbTazoAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    currentSampleRate = sampleRate;
    synth.setCurrentPlaybackSampleRate (sampleRate);

    filter.prepare ({ sampleRate, (juce::uint32) juce::jmax (1, samplesPerBlock), 2 });
    filter.setType (juce::dsp::StateVariableTPTFilterType::lowpass);
    filter.reset();

    oversampler = std::make_unique<juce::dsp::Oversampling<float>> (
        2, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, true, false);
    oversampler->initProcessing ((size_t) juce::jmax (1, samplesPerBlock));
    oversampler->reset();

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

    forEachGribbVoice ([&] (gribb::GribbVoice& voice)
    {
        voice.params = snapshot;
        voice.envelope.setParameters ({ snapshot.attack, snapshot.decay, snapshot.sustain, snapshot.release });
    });

    synth.renderNextBlock (buffer, midiMessages, 0, numSamples);
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new GribbTazoAudioProcessor();
}
