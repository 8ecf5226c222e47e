#include "engine/GribbSynthesiser.h"

#include "engine/GribbVoice.h"

#include <algorithm>

namespace gribb
{
static_assert (GribbVoice::chunkSize == PhaseBank::maxLength);
// Every phase of every voice the engine makes has a lane in the bank.
static_assert (PhaseBank::maxLanes == polyphony * GribbVoice::numPhaseSlots);

void GribbSynthesiser::releaseAllNotes() noexcept
{
    // Pedals up first, so that every note goes into its release. JUCE's own turnOffAllVoices
    // would empty the instrument's note list, freeing it, and the next note would allocate.
    for (int channel = 1; channel <= 16; ++channel)
    {
        instrument.sustainPedal (channel, false);
        instrument.sostenutoPedal (channel, false);
    }
    for (int i = instrument.getNumPlayingNotes(); --i >= 0;)
    {
        const auto note = instrument.getNote (i);
        instrument.noteOff (note.midiChannel, note.initialNote, juce::MPEValue::from7BitInt (64));
    }
}

void GribbSynthesiser::setRole (Role newRole)
{
    role = newRole;
    notePitch.zones = role == Role::zones;
    // The zone player's instrument leaves legacy mode for good; with no zone it plays nothing.
    if (role == Role::zones)
        setZoneLayout (juce::MPEZoneLayout());
}

void GribbSynthesiser::setFollowMpe (bool shouldFollow) noexcept
{
    const bool wasPlaying = playsNotes();
    followMpe = shouldFollow;
    if (wasPlaying && ! playsNotes())
        releaseAllNotes();
}

void GribbSynthesiser::takeChannelSetup (const MidiChannelSetup& setup)
{
    releaseAllNotes();
    channels = setup;
    if (role == Role::zones)
        sendZonesToInstrument();
}

void GribbSynthesiser::sendZonesToInstrument()
{
    for (const bool isLower : { true, false })
    {
        const int channel = isLower ? 1 : 16;
        const int members = (isLower ? channels.lowerZone() : channels.upperZone()).members;
        for (const auto& m : { juce::MidiMessage::controllerEvent (channel, 101, 0), juce::MidiMessage::controllerEvent (channel, 100, 6),
                               juce::MidiMessage::controllerEvent (channel, 6, members), juce::MidiMessage::controllerEvent (channel, 101, 127),
                               juce::MidiMessage::controllerEvent (channel, 100, 127) })
            instrument.processNextMidiEvent (m);
    }
    // The last message set the upper zone, which may have shrunk the lower one: set it again.
    if (channels.lowerZone().members > 0)
        for (const auto& m : { juce::MidiMessage::controllerEvent (1, 101, 0), juce::MidiMessage::controllerEvent (1, 100, 6),
                               juce::MidiMessage::controllerEvent (1, 6, channels.lowerZone().members), juce::MidiMessage::controllerEvent (1, 101, 127),
                               juce::MidiMessage::controllerEvent (1, 100, 127) })
            instrument.processNextMidiEvent (m);
}

void GribbSynthesiser::handleMidiEvent (const juce::MidiMessage& message)
{
    const bool wasPlaying = playsNotes();
    const auto change = channels.handle (message);

    if (change == MidiChannelSetup::Change::zones && followMpe)
    {
        if (role == Role::zones || (wasPlaying && ! playsNotes()))
            releaseAllNotes();
    }

    if (message.isNoteOn() && (! playsNotes() || (notePitch.tuning != nullptr && ! notePitch.tuning->isMapped (message.getNoteNumber()))))
        return;

    juce::MPESynthesiser::handleMidiEvent (message);
}

void GribbSynthesiser::renderNextSubBlock (juce::AudioBuffer<float>& outputAudio, int startSample, int numSamples)
{
    const juce::ScopedLock sl (voicesLock);

    GribbVoice* rendering[polyphony];
    int count = 0;
    for (auto* voice : voices)
    {
        if (! voice->isActive())
            continue;
        auto* gribbVoice = dynamic_cast<GribbVoice*> (voice);
        if (gribbVoice == nullptr || count == polyphony)
        {
            // Not for the bank: every voice renders on its own, as the base class does (no
            // voice has begun a render yet).
            juce::MPESynthesiser::renderNextSubBlock (outputAudio, startSample, numSamples);
            return;
        }
        rendering[count++] = gribbVoice;
    }

    // Voices that have nothing to render (their envelope ended between renders) drop out here.
    int sounding = 0;
    for (int v = 0; v < count; ++v)
        if (rendering[v]->beginRender (outputAudio, startSample))
            rendering[sounding++] = rendering[v];

    // A voice or two step their phases faster on their own: the bank's vectors would be mostly
    // empty, and one vector's chain is longer than a few scalar ones side by side.
    if (sounding < fewestForTheBank)
    {
        for (int v = 0; v < sounding; ++v)
            rendering[v]->renderAlone (numSamples);
        return;
    }

    // One lane for each phase the voice reads: its carriers always, its modulators in an FM note.
    // The others stand still and get no lane.
    constexpr int slots = GribbVoice::numPhaseSlots;
    int laneOf[polyphony][slots];
    bank.clear();
    for (int v = 0; v < sounding; ++v)
        for (int slot = 0; slot < slots; ++slot)
            laneOf[v][slot] = rendering[v]->readsPhase (slot)
                                ? bank.addLane (rendering[v]->phase (slot), rendering[v]->phaseIncrement (slot))
                                : -1;

    for (int done = 0; done < numSamples; done += GribbVoice::chunkSize)
    {
        const int length = juce::jmin (GribbVoice::chunkSize, numSamples - done);
        bank.step (length);
        for (int v = 0; v < sounding; ++v)
        {
            // A phase without a lane is never read: any records will do.
            const float* records[slots];
            for (int slot = 0; slot < slots; ++slot)
                records[slot] = bank.record (laneOf[v][slot] >= 0 ? laneOf[v][slot] : laneOf[v][GribbVoice::mainCarrier]);
            rendering[v]->renderChunk (records, done, length);
        }
    }

    for (int v = 0; v < sounding; ++v)
    {
        for (int slot = 0; slot < slots; ++slot)
            if (laneOf[v][slot] >= 0)
                rendering[v]->setPhase (slot, bank.phase (laneOf[v][slot]));
        rendering[v]->endRender();
    }
}

juce::MPESynthesiserVoice* GribbSynthesiser::findVoiceToSteal (juce::MPENote noteToStealVoiceFor) const
{
    if (voices.size() > maxStealCandidates)
        return juce::MPESynthesiser::findVoiceToSteal (noteToStealVoiceFor);

    juce::MPESynthesiserVoice* low = nullptr; // lowest held note (sustained or not, but not released)
    juce::MPESynthesiserVoice* top = nullptr; // highest held note

    std::array<juce::MPESynthesiserVoice*, maxStealCandidates> byAge {};
    int count = 0;

    for (auto* voice : voices)
    {
        byAge[(size_t) count++] = voice;

        // Sorted after every addition, as JUCE's search sorts its list: std::sort is not stable,
        // and the same sequence of sorts keeps voices that started together in JUCE's order.
        std::sort (byAge.begin(), byAge.begin() + count,
                   [] (const juce::MPESynthesiserVoice* a, const juce::MPESynthesiserVoice* b) { return a->noteOnTime < b->noteOnTime; });

        if (! voice->isPlayingButReleased())
        {
            const auto noteNumber = voice->getCurrentlyPlayingNote().initialNote;

            if (low == nullptr || noteNumber < low->getCurrentlyPlayingNote().initialNote)
                low = voice;

            if (top == nullptr || noteNumber > top->getCurrentlyPlayingNote().initialNote)
                top = voice;
        }
    }

    // A single held note is the lowest one.
    if (top == low)
        top = nullptr;

    struct Candidates
    {
        juce::MPESynthesiserVoice* const* first;
        juce::MPESynthesiserVoice* const* last;
        auto begin() const noexcept { return first; }
        auto end() const noexcept { return last; }
    };
    const Candidates candidates { byAge.data(), byAge.data() + count };

    if (noteToStealVoiceFor.isValid())
        for (auto* voice : candidates)
            if (voice->getCurrentlyPlayingNote().initialNote == noteToStealVoiceFor.initialNote)
                return voice;

    for (auto* voice : candidates)
        if (voice != low && voice != top && voice->isPlayingButReleased())
            return voice;

    for (auto* voice : candidates)
        if (voice != low && voice != top
            && voice->getCurrentlyPlayingNote().keyState != juce::MPENote::keyDown
            && voice->getCurrentlyPlayingNote().keyState != juce::MPENote::keyDownAndSustained)
            return voice;

    for (auto* voice : candidates)
        if (voice != low && voice != top)
            return voice;

    return top != nullptr ? top : low;
}
void setUpSynthesiser (juce::MPESynthesiser& synth)
{
    constexpr int legacyPitchbendRange = 48; // semitones
    synth.enableLegacyMode (legacyPitchbendRange, juce::Range<int> (1, 17));
    synth.setVoiceStealingEnabled (true);
}
} // namespace gribb
