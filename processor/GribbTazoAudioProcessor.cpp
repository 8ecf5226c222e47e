#include "processor/GribbTazoAudioProcessor.h"

GribbTazoAudioProcessor::GribbTazoAudioProcessor()
    : juce::AudioProcessor (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, "PARAMETERS", createParameterLayout())
{
    for (size_t i = 0; i < gribb::parameterTable.size(); ++i)
        rawValues[i] = parameters.getRawParameterValue (gribb::parameterTable[i].id);
}

GribbTazoAudioProcessor::~GribbTazoAudioProcessor() = default;

const juce::String GribbTazoAudioProcessor::getName() const { return "Gribb Tazo"; }
double GribbTazoAudioProcessor::getTailLengthSeconds() const { return 2.0; }
bool GribbTazoAudioProcessor::acceptsMidi() const { return true; }
bool GribbTazoAudioProcessor::producesMidi() const { return false; }
bool GribbTazoAudioProcessor::hasEditor() const { return true; }

bool GribbTazoAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& out = layouts.getMainOutputChannelSet();
    return out == juce::AudioChannelSet::stereo() || out == juce::AudioChannelSet::mono();
}

void GribbTazoAudioProcessor::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    engine.prepare (sampleRate, samplesPerBlock);
}

void GribbTazoAudioProcessor::releaseResources()
{
    engine.stopPlayback();
}

gribb::EngineParameters GribbTazoAudioProcessor::readParameters() const noexcept
{
    using namespace gribb;
    EngineParameters p;
    p.voice.oscType = (int) raw (oscType);
    p.voice.pulseWidth = raw (pulseWidth);
    p.voice.fmRatio = raw (fmRatio);
    p.voice.fmIndex = raw (fmIndex);
    p.voice.attack = raw (attack);
    p.voice.decay = raw (decay);
    p.voice.sustain = raw (sustain);
    p.voice.release = raw (release);
    p.voice.unisonDetune = raw (unison);
    p.lfoRate = raw (lfoRate);
    p.lfoShape = raw (lfoShape);
    p.lfoToCutoff = raw (lfoToCutoff);
    p.lfoToFm = raw (lfoToFm);
    p.cutoff = raw (cutoff);
    p.resonance = raw (resonance);
    p.drive = raw (drive);
    p.hardClip = raw (hardClip);
    // The one place where the oversampling choice is decided: "2x" and "4x" both run the drive and
    // clip through the same four-times oversampler, so they sound alike; "2x" stays a choice of its
    // own (and the default) so that projects and automation that name it keep their meaning.
    p.oversample = (int) raw (oversample) != 0;
    p.srReduce = raw (srReduce);
    p.bitDepth = raw (bitDepth);
    p.outputGain = raw (outputGain);
    p.reactiveRoast = raw (reactiveRoast);
    return p;
}

void GribbTazoAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages)
{
    midiLearn.process (midiMessages); // learned controllers leave the block here
    roastLevel.store (engine.process (buffer, midiMessages, readParameters()));
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new GribbTazoAudioProcessor();
}
