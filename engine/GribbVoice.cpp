#include "engine/GribbVoice.h"

namespace gribb
{
namespace
{
    struct PhaseRecords
    {
        float* main;
        float* mainModulator;
        float* unison;
        float* unisonModulator;
    };

    // Steps the phases for `length` samples and records them. The phases run in
    // locals, so their independent updates overlap instead of waiting on memory. The unison
    // phases run on while the unison is silent (it may come in at any block); the modulators only
    // in an FM note, the one shape that reads them; in a pulse or triangle note they stand still.
    template <bool Modulators>
    void stepAndRecord (float (&phases)[GribbVoice::numPhases], const float (&increments)[GribbVoice::numPhases],
                        const PhaseRecords& out, int length) noexcept
    {
        float main = phases[0], mainModulator = phases[1], unison = phases[2], unisonModulator = phases[3];
        for (int i = 0; i < length; ++i)
        {
            out.main[i] = main;
            out.unison[i] = unison;
            main = VoiceOscillator::stepPhase (main, increments[0]);
            unison = VoiceOscillator::stepPhase (unison, increments[2]);
            if constexpr (Modulators)
            {
                out.mainModulator[i] = mainModulator;
                out.unisonModulator[i] = unisonModulator;
                mainModulator = VoiceOscillator::stepPhase (mainModulator, increments[1]);
                unisonModulator = VoiceOscillator::stepPhase (unisonModulator, increments[3]);
            }
        }
        phases[0] = main;
        phases[1] = mainModulator;
        phases[2] = unison;
        phases[3] = unisonModulator;
    }
} // namespace

void GribbVoice::setEnvelopeFromParams()
{
    envelope.setParameters ({ params.attack, params.decay, params.sustain, params.release });
}

void GribbVoice::noteStarted()
{
    const auto width = clampTo (params.pulseWidth, 0.05f, 0.95f);
    const auto ratio = clampTo (params.fmRatio, 0.25f, 12.0f);
    velocity = currentlyPlayingNote.noteOnVelocity.asUnsignedFloat();
    // A note starts with its own pressure (what the instrument gives a new note on its channel),
    // never with what an earlier note on this voice was last pressed with.
    pressure = currentlyPlayingNote.pressure.asUnsignedFloat();

    for (auto* osc : { &mainOscillator, &unisonOscillator })
    {
        osc->shape = params.oscType;
        osc->pulseWidth = width;
        osc->fmRatio = ratio;
        osc->phase = 0.0f;
        osc->modulatorPhase = 0.0f;
    }

    updatePitch();
    setEnvelopeFromParams();
    envelope.noteOn();
}

void GribbVoice::setEnvelopeParameters (const Envelope::Parameters& newParameters)
{
    if (! envelope.isReleasing())
        envelope.setParameters (newParameters);
}

void GribbVoice::noteStopped (bool allowTailOff)
{
    if (allowTailOff)
    {
        envelope.noteOff();
        return;
    }

    envelope.reset();
    clearCurrentNote();
}

void GribbVoice::updatePressureAndTimbre() noexcept
{
    pressure = currentlyPlayingNote.pressure.asUnsignedFloat();
    const auto t = currentlyPlayingNote.timbre.asUnsignedFloat();
    const auto width = clampTo (t * 0.9f + 0.05f, 0.05f, 0.95f);
    mainOscillator.pulseWidth = width;
    unisonOscillator.pulseWidth = width;
}

void GribbVoice::notePressureChanged() { updatePressureAndTimbre(); }
void GribbVoice::noteTimbreChanged()   { updatePressureAndTimbre(); }
void GribbVoice::notePitchbendChanged() { updatePitch(); }

void GribbVoice::setCurrentSampleRate (double newRate)
{
    juce::MPESynthesiserVoice::setCurrentSampleRate (newRate);
    mainOscillator.sampleRate = newRate;
    unisonOscillator.sampleRate = newRate;
    // A rate that is not positive leaves the envelope as it was.
    if (newRate > 0.0)
        envelope.setSampleRate (newRate);
}

void GribbVoice::updatePitch() noexcept
{
    const double note = (double) currentlyPlayingNote.initialNote
                      + currentlyPlayingNote.totalPitchbendInSemitones;
    const auto f = (float) (440.0 * std::pow (2.0, (note - 69.0) / 12.0));
    mainOscillator.setFrequency (f);

    const auto u = std::pow (2.0f, params.unisonDetune / 1200.0f) * f;
    unisonOscillator.setFrequency (u);
}

bool GribbVoice::beginRender (juce::AudioBuffer<float>& outputBuffer, int startSample) noexcept
{
    if (! envelope.isActive())
    {
        // The envelope can also end between renders: new parameters that give a release no
        // distance to travel (a sustain level of 0) end it at once. A voice still holding a note
        // then frees itself here, or it would stay busy, silent, for good.
        if (isActive())
            clearCurrentNote();
        return false;
    }

    updatePitch();

    render.left = outputBuffer.getWritePointer (0, startSample);
    render.right = outputBuffer.getNumChannels() >= 2 ? outputBuffer.getWritePointer (1, startSample) : nullptr;

    const auto fm = clampTo ((lfoFmAmount + params.fmIndex) + 6.0f * pressure, 0.0f, 24.0f);
    mainOscillator.fmIndex = fm;
    unisonOscillator.fmIndex = fm;

    render.unisonOn = params.unisonDetune > unisonThreshold;
    render.level = velocity;
    render.pressureGain = 0.6f * pressure + 0.4f;

    // A note keeps the shape it started with, and only the FM shape reads the modulator phases,
    // so in the other shapes the modulators stand still. The unison phases run on while the
    // unison is silent (it may come in at any block).
    render.fmShape = mainOscillator.shape == 2;
    render.increments[0] = mainOscillator.phaseIncrement;
    render.increments[1] = render.fmShape ? mainOscillator.phaseIncrement * mainOscillator.fmRatio : 0.0f;
    render.increments[2] = unisonOscillator.phaseIncrement;
    render.increments[3] = render.fmShape ? unisonOscillator.phaseIncrement * unisonOscillator.fmRatio : 0.0f;
    return true;
}

float GribbVoice::phase (int k) const noexcept
{
    const auto& oscillator = k < 2 ? mainOscillator : unisonOscillator;
    return k % 2 == 0 ? oscillator.phase : oscillator.modulatorPhase;
}

void GribbVoice::setPhase (int k, float value) noexcept
{
    auto& oscillator = k < 2 ? mainOscillator : unisonOscillator;
    (k % 2 == 0 ? oscillator.phase : oscillator.modulatorPhase) = value;
}

void GribbVoice::readPhases (float* four) const noexcept
{
    for (int k = 0; k < numPhases; ++k)
        four[k] = phase (k);
}

void GribbVoice::writePhases (const float* four) noexcept
{
    for (int k = 0; k < numPhases; ++k)
        setPhase (k, four[k]);
}

void GribbVoice::renderChunk (const float* const* phaseRecords, int offset, int length) noexcept
{
    // The envelope renders its values, the oscillator shapes are evaluated over the recorded
    // phases, and one loop mixes them into the output.
    float envelopeValues[chunkSize], mainValues[chunkSize], unisonValues[chunkSize];
    envelope.render (envelopeValues, length);

    mainOscillator.renderAtPhases (phaseRecords[0], phaseRecords[1], mainValues, length);
    if (render.unisonOn)
    {
        unisonOscillator.renderAtPhases (phaseRecords[2], phaseRecords[3], unisonValues, length);
        OscillatorKernels::average (unisonValues, mainValues, length);
    }

    const float level = render.level, pressureGain = render.pressureGain;
    for (int i = 0; i < length; ++i)
        mainValues[i] = ((envelopeValues[i] * level) * pressureGain) * mainValues[i];

    float* l = render.left + offset;
    for (int i = 0; i < length; ++i)
        l[i] += mainValues[i];

    if (render.right != nullptr)
    {
        float* r = render.right + offset;
        for (int i = 0; i < length; ++i)
            r[i] += mainValues[i];
    }
}

void GribbVoice::endRender() noexcept
{
    if (! envelope.isActive())
        clearCurrentNote();
}

void GribbVoice::renderAlone (int numSamples) noexcept
{
    float records[numPhases][chunkSize];
    const float* const recordPointers[numPhases] = { records[0], records[1], records[2], records[3] };
    float phases[numPhases];

    for (int done = 0; done < numSamples; done += chunkSize)
    {
        const int length = juce::jmin (chunkSize, numSamples - done);
        readPhases (phases);
        const PhaseRecords out { records[0], records[1], records[2], records[3] };
        if (render.fmShape)
            stepAndRecord<true> (phases, render.increments, out, length);
        else
            stepAndRecord<false> (phases, render.increments, out, length);
        writePhases (phases);
        renderChunk (recordPointers, done, length);
    }

    endRender();
}

void GribbVoice::renderNextBlock (juce::AudioBuffer<float>& outputBuffer, int startSample, int numSamples)
{
    if (beginRender (outputBuffer, startSample))
        renderAlone (numSamples);
}
} // namespace gribb
