#include "engine/GribbVoice.h"

#include "engine/PhaseStep.h"

namespace gribb
{
namespace
{
    // Steps the phases for `length` samples and records each before its step, the phases in locals
    // (registers) for the whole loop. The carriers always move; the modulators only in an FM note,
    // the one shape that reads them.
    template <bool Modulators>
    void stepAndRecord (float (&phases)[GribbVoice::numPhaseSlots], const float (&increments)[GribbVoice::numPhaseSlots],
                        float* const (&records)[GribbVoice::numPhaseSlots], int length, bool wrapsOnce) noexcept
    {
        using Slot = GribbVoice::PhaseSlot;
        float mainCarrier = phases[Slot::mainCarrier], mainModulator = phases[Slot::mainModulator];
        float unisonCarrier = phases[Slot::unisonCarrier], unisonModulator = phases[Slot::unisonModulator];
        for (int i = 0; i < length; ++i)
        {
            records[Slot::mainCarrier][i] = mainCarrier;
            records[Slot::unisonCarrier][i] = unisonCarrier;
            mainCarrier = stepPhase (mainCarrier, increments[Slot::mainCarrier], wrapsOnce);
            unisonCarrier = stepPhase (unisonCarrier, increments[Slot::unisonCarrier], wrapsOnce);
            if constexpr (Modulators)
            {
                records[Slot::mainModulator][i] = mainModulator;
                records[Slot::unisonModulator][i] = unisonModulator;
                mainModulator = stepPhase (mainModulator, increments[Slot::mainModulator], wrapsOnce);
                unisonModulator = stepPhase (unisonModulator, increments[Slot::unisonModulator], wrapsOnce);
            }
        }
        phases[Slot::mainCarrier] = mainCarrier;
        phases[Slot::mainModulator] = mainModulator;
        phases[Slot::unisonCarrier] = unisonCarrier;
        phases[Slot::unisonModulator] = unisonModulator;
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
    const float bend = notePitch != nullptr ? notePitch->bendInSemitones (currentlyPlayingNote)
                                            : currentlyPlayingNote.totalPitchbendInSemitones;
    const Tuning* tuning = notePitch != nullptr ? notePitch->tuning : nullptr;

    float f;
    if (tuning == nullptr)
    {
        // Standard tuning: the note number and the bend together, A4 = 440 Hz.
        const double note = (double) currentlyPlayingNote.initialNote + bend;
        f = (float) (440.0 * std::pow (2.0, (note - 69.0) / 12.0));
    }
    else
    {
        // The tuning's frequency for the key, bent by the bend's equal-tempered semitones. The
        // unison and the FM modulator follow this pitch, as they follow the standard one.
        f = (float) (tuning->frequencyOf (currentlyPlayingNote.initialNote) * std::pow (2.0, (double) bend / 12.0));
    }
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
    render.fmShape = mainOscillator.shape == VoiceOscillator::fm;
    render.wrapsOnce = true;
    for (int slot = 0; slot < numPhaseSlots; ++slot)
    {
        const auto& oscillator = oscillatorOf (slot);
        render.increments[slot] = ! isModulator (slot) ? oscillator.phaseIncrement
                                : render.fmShape ? oscillator.phaseIncrement * oscillator.fmRatio
                                                 : 0.0f;
        render.wrapsOnce = render.wrapsOnce && render.increments[slot] < 1.0f;
    }
    return true;
}

float GribbVoice::phase (int slot) const noexcept
{
    const auto& oscillator = oscillatorOf (slot);
    return isModulator (slot) ? oscillator.modulatorPhase : oscillator.phase;
}

void GribbVoice::setPhase (int slot, float value) noexcept
{
    auto& oscillator = oscillatorOf (slot);
    (isModulator (slot) ? oscillator.modulatorPhase : oscillator.phase) = value;
}

void GribbVoice::renderChunk (const float* const* phaseRecords, int offset, int length) noexcept
{
    // The envelope renders its values, the oscillator shapes are evaluated over the recorded
    // phases, and one loop mixes them into the output.
    float envelopeValues[chunkSize], mainValues[chunkSize], unisonValues[chunkSize];
    envelope.render (envelopeValues, length);

    mainOscillator.renderAtPhases (phaseRecords[mainCarrier], phaseRecords[mainModulator], mainValues, length);
    if (render.unisonOn)
    {
        unisonOscillator.renderAtPhases (phaseRecords[unisonCarrier], phaseRecords[unisonModulator], unisonValues, length);
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
    float records[numPhaseSlots][chunkSize];
    float* const recordPointers[numPhaseSlots] = { records[0], records[1], records[2], records[3] };
    float phases[numPhaseSlots];
    for (int slot = 0; slot < numPhaseSlots; ++slot)
        phases[slot] = phase (slot);

    for (int done = 0; done < numSamples; done += chunkSize)
    {
        const int length = juce::jmin (chunkSize, numSamples - done);
        if (render.fmShape)
            stepAndRecord<true> (phases, render.increments, recordPointers, length, render.wrapsOnce);
        else
            stepAndRecord<false> (phases, render.increments, recordPointers, length, render.wrapsOnce);
        renderChunk (recordPointers, done, length);
    }

    for (int slot = 0; slot < numPhaseSlots; ++slot)
        if (readsPhase (slot))
            setPhase (slot, phases[slot]);
    endRender();
}

void GribbVoice::renderNextBlock (juce::AudioBuffer<float>& outputBuffer, int startSample, int numSamples)
{
    if (beginRender (outputBuffer, startSample))
        renderAlone (numSamples);
}
} // namespace gribb
