#include "engine/GribbSynthesiser.h"

#include "engine/GribbVoice.h"

#include <algorithm>

namespace gribb
{
static_assert (GribbSynthesiser::maxVoices * GribbVoice::numPhases == PhaseBank::maxLanes);
static_assert (GribbVoice::chunkSize == PhaseBank::maxLength);

void GribbSynthesiser::renderNextSubBlock (juce::AudioBuffer<float>& outputAudio, int startSample, int numSamples)
{
    const juce::ScopedLock sl (voicesLock);

    GribbVoice* rendering[maxVoices];
    int count = 0;
    for (auto* voice : voices)
    {
        if (! voice->isActive())
            continue;
        auto* gribbVoice = dynamic_cast<GribbVoice*> (voice);
        if (gribbVoice == nullptr || count == maxVoices)
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

    // One lane for each phase that moves: a voice's carriers always, its modulators in an FM note.
    // A phase the voice does not read is left where it is and gets no lane.
    constexpr int phases = GribbVoice::numPhases;
    int laneOf[maxVoices][phases];
    int lanes = 0;
    for (int v = 0; v < sounding; ++v)
    {
        const float* increments = rendering[v]->phaseIncrements();
        for (int k = 0; k < phases; ++k)
        {
            laneOf[v][k] = -1;
            if (! rendering[v]->readsPhase (k))
                continue;
            laneOf[v][k] = lanes;
            bank.increments[lanes] = increments[k];
            bank.phases[lanes] = rendering[v]->phase (k);
            ++lanes;
        }
    }
    // The lanes the bank steps beyond the voices' stand still.
    constexpr int stepped = 8 * PhaseBank::groupsAtOnce;
    for (int lane = lanes; lane < ((lanes + stepped - 1) / stepped) * stepped && lane < PhaseBank::maxLanes; ++lane)
    {
        bank.increments[lane] = 0.0f;
        bank.phases[lane] = 0.0f;
    }

    for (int done = 0; done < numSamples; done += GribbVoice::chunkSize)
    {
        const int length = juce::jmin (GribbVoice::chunkSize, numSamples - done);
        bank.step (lanes, length);
        for (int v = 0; v < sounding; ++v)
        {
            // A phase without a lane is never read: any records will do.
            const float* records[phases];
            for (int k = 0; k < phases; ++k)
                records[k] = bank.records[laneOf[v][k] >= 0 ? laneOf[v][k] : laneOf[v][0]];
            rendering[v]->renderChunk (records, done, length);
        }
    }

    for (int v = 0; v < sounding; ++v)
    {
        for (int k = 0; k < phases; ++k)
            if (laneOf[v][k] >= 0)
                rendering[v]->setPhase (k, bank.phases[laneOf[v][k]]);
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
} // namespace gribb
