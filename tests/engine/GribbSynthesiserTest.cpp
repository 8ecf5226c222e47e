// The synthesiser renders its voices together, stepping their phases in one bank. Its output must
// be, bit for bit, that of JUCE's synthesiser rendering the same voices one by one (each voice's
// own renderNextBlock), through everything that changes a voice mid-block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/GribbSynthesiser.h"
#include "engine/GribbVoice.h"
#include "support/SameSamples.h"

namespace
{
template <typename Synth>
struct Rig
{
    Synth synth;
    std::vector<gribb::GribbVoice*> voices;

    explicit Rig (int numVoices, double rate)
    {
        for (int i = 0; i < numVoices; ++i)
        {
            auto* voice = new gribb::GribbVoice();
            voices.push_back (voice);
            synth.addVoice (voice);
        }
        gribb::setUpSynthesiser (synth);
        synth.setCurrentPlaybackSampleRate (rate);
    }

    // What the engine does before each block: the same snapshot into every voice.
    void setBlockParameters (int shape, float unison, float lfoFm)
    {
        for (auto* voice : voices)
        {
            voice->params.oscType = shape;
            voice->params.unisonDetune = unison;
            voice->params.fmIndex = 3.0f;
            voice->params.fmRatio = 3.5f;
            voice->params.attack = 0.002f;
            voice->params.decay = 0.05f;
            voice->params.sustain = 0.6f;
            voice->params.release = 0.03f;
            voice->setEnvelopeParameters ({ 0.002f, 0.05f, 0.6f, 0.03f });
            voice->lfoFmAmount = lfoFm;
        }
    }
};

// A block's MIDI: chords that grow past the voices (stealing), bends, pressure and timbre on
// their channels, releases, all landing at odd samples, so sub-blocks have every length.
juce::MidiBuffer eventsFor (int block, int blockSize, juce::Random& random)
{
    juce::MidiBuffer midi;
    const int count = block % 6 == 5 ? 0 : 1 + random.nextInt (8);
    for (int e = 0; e < count; ++e)
    {
        const int at = random.nextInt (blockSize);
        const int channel = 1 + random.nextInt (16);
        switch (random.nextInt (6))
        {
            case 0:
            case 1: midi.addEvent (juce::MidiMessage::noteOn (channel, 30 + random.nextInt (70), (juce::uint8) (1 + random.nextInt (127))), at); break;
            case 2: midi.addEvent (juce::MidiMessage::noteOff (channel, 30 + random.nextInt (70)), at); break;
            case 3: midi.addEvent (juce::MidiMessage::pitchWheel (channel, random.nextInt (16384)), at); break;
            case 4: midi.addEvent (juce::MidiMessage::channelPressureChange (channel, random.nextInt (128)), at); break;
            default: midi.addEvent (juce::MidiMessage::controllerEvent (channel, 74, random.nextInt (128)), at); break;
        }
    }
    return midi;
}
} // namespace

TEST (GribbSynthesiser, SameSamplesAsTheVoicesRenderedOneByOne)
{
    struct Case
    {
        std::string name;
        int voices;
        double rate;
        int blockSize;
        int channels;
    };
    const Case cases[] = {
        { "sixteen voices, stereo", 16, 48000.0, 512, 2 },
        { "sixteen voices, mono, odd blocks", 16, 44100.0, 301, 1 },
        { "more voices than the bank takes", 20, 96000.0, 256, 2 },
        { "three voices", 3, 22050.0, 128, 2 },
    };

    for (const auto& c : cases)
    {
        Rig<gribb::GribbSynthesiser> ours (c.voices, c.rate);
        Rig<juce::MPESynthesiser> theirs (c.voices, c.rate);
        juce::Random random (2026);
        juce::AudioBuffer<float> a (c.channels, c.blockSize), b (c.channels, c.blockSize);

        for (int block = 0; block < 300; ++block)
        {
            // The shape changes every few blocks, so voices of different shapes sound together;
            // the modulators of FM notes run at up to twelve times the carrier.
            const int shape = (block / 7) % 3;
            const float unison = block % 4 == 0 ? 0.0f : 15.0f;
            const float lfoFm = (float) (block % 5) * 0.3f;
            ours.setBlockParameters (shape, unison, lfoFm);
            theirs.setBlockParameters (shape, unison, lfoFm);

            auto midi = eventsFor (block, c.blockSize, random);
            auto midiCopy = midi;
            a.clear();
            b.clear();
            ours.synth.renderNextBlock (a, midi, 0, c.blockSize);
            theirs.synth.renderNextBlock (b, midiCopy, 0, c.blockSize);

            ASSERT_TRUE (gribb::test::sameSamples (a, b, c.blockSize, c.name + ": block " + std::to_string (block)));
        }

        int sounding = 0;
        for (auto* voice : ours.voices)
            sounding += voice->isActive() ? 1 : 0;
        EXPECT_GE (sounding, 3) << c.name << ": the renders should end with the bank in use";
    }
}

namespace
{
/** Asks both steal searches: the synthesiser's own and JUCE's, on the same voices. */
struct StealProbe : gribb::GribbSynthesiser
{
    juce::MPESynthesiserVoice* ours (juce::MPENote note) const { return findVoiceToSteal (note); }
    juce::MPESynthesiserVoice* juces (juce::MPENote note) const { return juce::MPESynthesiser::findVoiceToSteal (note); }
};

juce::MPENote noteNumbered (int n)
{
    juce::MPENote note;
    note.midiChannel = 1;
    note.initialNote = (juce::uint8) n;
    return note;
}
} // namespace

TEST (GribbSynthesiser, StealsTheVoiceJuceWouldStealWithoutTheHeap)
{
    // Each script leaves the voices in a state; then both searches are asked for an invalid note,
    // a note some voice plays, and a new note.
    struct Script { const char* what; int held; std::vector<int> released; bool pedal; };
    const Script scripts[] = {
        { "sixteen held notes",                     16, {}, false },
        { "held and released notes",                16, { 3, 7, 8, 12 }, false },
        { "the lowest and the highest released",    16, { 0, 15 }, false },
        { "notes held by the sustain pedal",        16, { 2, 5, 9 }, true },
        { "every note released",                    16, { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 }, false },
        { "one held note and free voices",           1, {}, false },
        { "three notes and free voices",             3, { 1 }, false },
    };

    for (const auto& script : scripts)
    {
        SCOPED_TRACE (script.what);
        Rig<StealProbe> rig (16, 48000.0);
        rig.setBlockParameters (0, 0.0f, 0.0f);
        for (auto* voice : rig.voices)
            voice->setEnvelopeParameters ({ 0.002f, 0.05f, 0.6f, 5.0f }); // releases outlast the test

        juce::AudioBuffer<float> out (2, 64);
        juce::MidiBuffer midi;
        // Channel 1 carries the pedal; the notes go round the channels, lowest note first out of order.
        const int notes[] = { 52, 40, 67, 45, 71, 60, 38, 55, 64, 48, 76, 59, 43, 69, 50, 74 };
        if (script.pedal)
            midi.addEvent (juce::MidiMessage::controllerEvent (1, 64, 127), 0);
        for (int i = 0; i < script.held; ++i)
            midi.addEvent (juce::MidiMessage::noteOn (1 + i % 4, notes[i], (juce::uint8) 100), i);
        rig.synth.renderNextBlock (out, midi, 0, 64);

        midi.clear();
        for (const int i : script.released)
            midi.addEvent (juce::MidiMessage::noteOff (1 + i % 4, notes[i]), i);
        rig.synth.renderNextBlock (out, midi, 0, 64);

        for (const auto& probe : { juce::MPENote(), noteNumbered (notes[script.held / 2]), noteNumbered (100) })
        {
            auto* expected = rig.synth.juces (probe);
            EXPECT_EQ (rig.synth.ours (probe), expected) << "asked for note " << (int) probe.initialNote;
        }
    }
}
