#include <gtest/gtest.h>

#include "engine/GribbSynthesiser.h"
#include "engine/GribbVoice.h"
#include "support/ReferenceOscillator.h"
#include "support/SameSamples.h"

using gribb::GribbVoice;
using gribb::VoiceOscillator;

namespace
{
/** A voice whose current note the test sets directly, as the synthesiser would. */
struct TestVoice : GribbVoice
{
    explicit TestVoice (double rate = 48000.0) { setCurrentSampleRate (rate); }

    void start (int note, float velocity01 = 1.0f, double bendSemitones = 0.0)
    {
        juce::MPENote n;
        n.midiChannel = 1;
        n.initialNote = (juce::uint8) note;
        n.noteOnVelocity = juce::MPEValue::fromUnsignedFloat (velocity01);
        n.pressure = juce::MPEValue::minValue(); // what the instrument gives a note nobody pressed
        n.totalPitchbendInSemitones = bendSemitones;
        n.keyState = juce::MPENote::keyDown;
        n.noteID = 1;
        currentlyPlayingNote = n;
        noteStarted();
    }

    void setPressure (float p)
    {
        currentlyPlayingNote.pressure = juce::MPEValue::fromUnsignedFloat (p);
        notePressureChanged();
    }

    void setTimbre (float t)
    {
        currentlyPlayingNote.timbre = juce::MPEValue::fromUnsignedFloat (t);
        noteTimbreChanged();
    }

    void bend (double semitones)
    {
        currentlyPlayingNote.totalPitchbendInSemitones = semitones;
        notePitchbendChanged();
    }

    juce::AudioBuffer<float> render (int numSamples, int channels = 2)
    {
        juce::AudioBuffer<float> b (channels, numSamples);
        b.clear();
        renderNextBlock (b, 0, numSamples);
        return b;
    }
};

juce::ADSR envelopeLike (const gribb::VoiceParameters& p, double rate)
{
    juce::ADSR env;
    env.setSampleRate (rate);
    env.setParameters ({ p.attack, p.decay, p.sustain, p.release });
    env.noteOn();
    return env;
}
} // namespace

TEST (VoiceOscillator, FirstValuesOfEachShape)
{
    struct Case { int shape; float expected; };
    const Case cases[] = { { 0, 0.0f }, { 1, -1.0f }, { 2, 0.0f }, { 7, 0.0f } };

    for (const auto& c : cases)
    {
        VoiceOscillator osc;
        osc.sampleRate = 48000.0;
        osc.setFrequency (440.0f);
        osc.shape = c.shape;
        osc.fmIndex = 5.0f;
        EXPECT_FLOAT_EQ (gribb::test::referenceValue (osc), c.expected) << "shape " << c.shape;
    }
}

TEST (VoiceOscillator, PulseEdgesAreBandLimited)
{
    VoiceOscillator osc;
    osc.shape = 0;
    osc.pulseWidth = 0.5f;
    osc.phaseIncrement = 0.01f;

    struct Case { float phase; float expected; };
    const Case cases[] = {
        { 0.25f, 1.0f },     // flat top, no correction
        { 0.75f, -1.0f },    // flat bottom
        { 0.495f, 0.75f },   // half a step before the falling edge: 1 - 0.25
        { 0.505f, -0.75f },  // half a step after it: -1 + 0.25
        { 0.005f, 0.75f },   // just after the rising edge: -... + step correction
        { 0.995f, -0.75f },  // just before the rising edge
    };

    for (const auto& c : cases)
    {
        osc.phase = c.phase;
        EXPECT_NEAR (gribb::test::referenceValue (osc), c.expected, 1.0e-5f) << "phase " << c.phase;
    }
}

TEST (VoiceOscillator, TriangleAndAdvanceWrapBothPhases)
{
    VoiceOscillator osc;
    osc.shape = 1;
    osc.phaseIncrement = 0.3f;
    osc.fmRatio = 12.0f;

    const float expectedPhases[] = { 0.3f, 0.6f, 0.9f, 0.2f };
    for (float expected : expectedPhases)
    {
        gribb::test::referenceAdvance (osc);
        EXPECT_NEAR (osc.phase, expected, 1.0e-5f);
        EXPECT_GE (osc.modulatorPhase, 0.0f);
        EXPECT_LT (osc.modulatorPhase, 1.0f);
    }

    osc.phase = 0.25f;
    EXPECT_FLOAT_EQ (gribb::test::referenceValue (osc), 0.0f);
    osc.phase = 0.5f;
    EXPECT_FLOAT_EQ (gribb::test::referenceValue (osc), 1.0f);
}

TEST (GribbVoice, PitchFollowsNoteAndBendAndIsClamped)
{
    struct Case { int note; double bend; float expectedHz; };
    const Case cases[] = {
        { 69, 0.0, 440.0f },
        { 60, 48.0, 4186.009f },   // full upward bend at 48 semitones
        { 60, -48.0, 16.351599f }, // full downward bend
        { 127, 48.0, 20000.0f },   // clamped at the top
        { 0, -48.0, 1.0f },        // clamped at the bottom
    };

    for (const auto& c : cases)
    {
        TestVoice v;
        v.start (c.note, 1.0f, c.bend);
        EXPECT_NEAR (v.mainOscillator.frequency, c.expectedHz, c.expectedHz * 1.0e-5f) << c.note << " " << c.bend;
        EXPECT_FLOAT_EQ (v.mainOscillator.phaseIncrement, v.mainOscillator.frequency / 48000.0f);
    }
}

TEST (GribbVoice, NoteStartClampsPulseWidthAndFmRatio)
{
    struct Case { float width, ratio, expectedWidth, expectedRatio; };
    const Case cases[] = { { 0.01f, 0.1f, 0.05f, 0.25f }, { 0.99f, 20.0f, 0.95f, 12.0f }, { 0.3f, 3.0f, 0.3f, 3.0f } };

    for (const auto& c : cases)
    {
        TestVoice v;
        v.params.pulseWidth = c.width;
        v.params.fmRatio = c.ratio;
        v.params.oscType = 2;
        v.start (60);
        for (auto* osc : { &v.mainOscillator, &v.unisonOscillator })
        {
            EXPECT_FLOAT_EQ (osc->pulseWidth, c.expectedWidth);
            EXPECT_FLOAT_EQ (osc->fmRatio, c.expectedRatio);
            EXPECT_EQ (osc->shape, 2);
        }
    }
}

TEST (GribbVoice, FmIndexSumIsClampedToZeroAndTwentyFour)
{
    struct Case { float lfo, index, pressure, expected; };
    const Case cases[] = { { -10.0f, 2.0f, 0.0f, 0.0f }, { 12.0f, 20.0f, 0.0f, 24.0f },
                           { 1.0f, 2.0f, 1.0f, 9.0f },   { 0.0f, 3.5f, 0.0f, 3.5f } };

    for (const auto& c : cases)
    {
        TestVoice v;
        v.params.oscType = 2;
        v.start (60);
        v.lfoFmAmount = c.lfo;
        v.params.fmIndex = c.index;
        v.setPressure (c.pressure);
        v.render (4);
        EXPECT_FLOAT_EQ (v.mainOscillator.fmIndex, c.expected);
        EXPECT_FLOAT_EQ (v.unisonOscillator.fmIndex, c.expected);
    }
}

TEST (GribbVoice, OutputScalesWithEnvelopeVelocityAndPressure)
{
    // Triangle: the first oscillator value is -1, so the first sample is -(e1 * velocity * gain).
    for (float pressure : { 0.0f, 0.5f, 1.0f })
    {
        TestVoice v;
        v.params.oscType = 1;
        v.params.attack = 0.01f;
        v.setPressure (pressure);
        v.start (60, 0.5f);

        auto env = envelopeLike (v.params, 48000.0);
        const float e1 = env.getNextSample();
        const auto out = v.render (1);
        const float velocity = juce::MPEValue::fromUnsignedFloat (0.5f).asUnsignedFloat();
        EXPECT_FLOAT_EQ (out.getSample (0, 0), -((e1 * velocity) * (0.6f * v.pressure + 0.4f)));
        EXPECT_FLOAT_EQ (out.getSample (1, 0), out.getSample (0, 0));
    }
}

TEST (GribbVoice, TimbreSetsPulseWidthAndPressureKeepsIt)
{
    TestVoice v;
    v.params.pulseWidth = 0.3f;
    v.start (60);

    struct Case { float timbre, expected; };
    for (const Case c : { Case { 1.0f, 0.95f }, Case { 0.0f, 0.05f }, Case { 0.5f, 0.5f } })
    {
        v.setTimbre (c.timbre);
        EXPECT_NEAR (v.mainOscillator.pulseWidth, c.expected, 1.0e-4f);
        EXPECT_NEAR (v.unisonOscillator.pulseWidth, c.expected, 1.0e-4f);
    }

    v.setTimbre (1.0f);
    v.setPressure (0.7f);
    EXPECT_FLOAT_EQ (v.mainOscillator.pulseWidth, 0.95f);
    EXPECT_NEAR (v.pressure, 0.7f, 1.0e-4f);
}

TEST (GribbVoice, UnisonAveragesTheDetunedCopyWithoutDoublingTheLevel)
{
    // A detuned voice equals the mean of two undetuned voices, one bent by the detune.
    constexpr float cents = 7.0f;
    auto renderVoice = [] (float detune, double bend)
    {
        TestVoice v;
        v.params.oscType = 1;
        v.params.attack = 0.001f;
        v.params.unisonDetune = detune;
        v.start (57, 1.0f, bend);
        return v.render (2000);
    };

    const auto both = renderVoice (cents, 0.0);
    const auto plain = renderVoice (0.0f, 0.0);
    const auto bent = renderVoice (0.0f, cents / 100.0);

    float peak = 0.0f;
    for (int i = 0; i < 2000; ++i)
    {
        EXPECT_NEAR (both.getSample (0, i), 0.5f * (plain.getSample (0, i) + bent.getSample (0, i)), 2.0e-4f) << i;
        peak = std::max (peak, std::abs (both.getSample (0, i)));
    }
    EXPECT_LE (peak, 0.4f + 1.0e-4f);

    // Detune at the threshold is off: only the main oscillator sounds.
    const auto atThreshold = renderVoice (GribbVoice::unisonThreshold, 0.0);
    EXPECT_TRUE (gribb::test::sameSamples (atThreshold, plain));
}

TEST (GribbVoice, ReleaseKeepsSoundingThenFreesTheVoice)
{
    TestVoice v;
    v.params.oscType = 1;
    v.params.release = 0.01f; // 480 samples at 48 kHz
    v.start (60);
    v.render (1000);

    v.noteStopped (true);
    EXPECT_TRUE (v.isActive());
    const auto tail = v.render (200);
    EXPECT_GT (tail.getMagnitude (0, 0, 200), 0.0f);
    EXPECT_TRUE (v.isActive());

    v.render (1000);
    EXPECT_FALSE (v.isActive());
    EXPECT_EQ (v.render (100).getMagnitude (0, 0, 100), 0.0f);
}

TEST (GribbVoice, AReleaseEndedByNewParametersStillFreesTheVoice)
{
    // JUCE's envelope ends a release at once when it is given parameters whose release has no
    // distance to travel (sustain 0), as the engine's per-block update does. The voice must
    // not stay busy and silent.
    TestVoice v;
    v.params.sustain = 0.0f;
    v.params.decay = 1.0f;
    v.start (60);
    v.render (500); // still decaying
    v.noteStopped (true);
    v.envelope.setParameters ({ v.params.attack, v.params.decay, 0.0f, v.params.release });
    ASSERT_FALSE (v.envelope.isActive());
    EXPECT_TRUE (v.isActive());

    EXPECT_EQ (v.render (64).getMagnitude (0, 0, 64), 0.0f);
    EXPECT_FALSE (v.isActive());
}

TEST (GribbVoice, AReleaseTakesItsReleaseTimeWhateverTheSustainLevel)
{
    // The engine pushes the envelope settings into every voice before every block. A note let
    // go while above its sustain level (here in its decay) must still fade over the release time:
    // not (level / sustain) times longer, and not cut off when the sustain is 0.
    for (float sustain : { 0.0f, 0.02f, 0.8f })
    {
        SCOPED_TRACE (sustain);
        TestVoice v;
        v.params.oscType = 1;
        v.params.attack = 0.001f;
        v.params.decay = 1.0f;
        v.params.sustain = sustain;
        v.params.release = 0.01f; // 480 samples at 48 kHz
        const juce::ADSR::Parameters settings { v.params.attack, v.params.decay, v.params.sustain, v.params.release };
        v.start (60);
        v.render (200);
        v.noteStopped (true);

        int rendered = 0;
        float firstBlockPeak = -1.0f;
        while (v.isActive() && rendered < 48000)
        {
            v.setEnvelopeParameters (settings);
            const auto block = v.render (64);
            if (firstBlockPeak < 0.0f)
                firstBlockPeak = block.getMagnitude (0, 0, 64);
            rendered += 64;
        }
        EXPECT_GT (firstBlockPeak, 0.1f) << "the release must not stop dead";
        EXPECT_LE (rendered, 480 + 64);
        EXPECT_GE (rendered, 480 - 64);
    }
}

TEST (GribbVoice, StopWithoutTailOffIsSilentAndFreeAtOnce)
{
    TestVoice v;
    v.start (60);
    v.render (100);
    v.noteStopped (false);
    EXPECT_FALSE (v.isActive());
    EXPECT_FALSE (v.envelope.isActive());
    EXPECT_EQ (v.render (64).getMagnitude (0, 0, 64), 0.0f);
}

// A one-channel buffer gets the left channel of a stereo render in its only channel, and nothing
// is written past it: the buffer here is a view of one channel of a two-channel block.
TEST (GribbVoice, MonoBufferGetsChannelZeroOnly)
{
    TestVoice mono, stereo;
    for (auto* v : { &mono, &stereo })
    {
        v->params.oscType = 1;
        v->start (60);
    }

    juce::AudioBuffer<float> block (2, 64);
    block.clear();
    juce::FloatVectorOperations::fill (block.getWritePointer (1), 0.5f, 64);
    float* const firstChannel[] = { block.getWritePointer (0) };
    juce::AudioBuffer<float> view (firstChannel, 1, 64);
    mono.renderNextBlock (view, 0, 64);

    const auto expected = stereo.render (64);
    EXPECT_GT (expected.getMagnitude (0, 0, 64), 0.0f);
    EXPECT_TRUE (gribb::test::sameSamples (block.getReadPointer (0), expected.getReadPointer (0), 64));
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ (block.getSample (1, i), 0.5f) << "sample " << i << " of the channel beside it";
}

TEST (GribbVoice, ZeroSampleRenderOnlyUpdatesPitchAndFmIndex)
{
    TestVoice v;
    v.params.oscType = 2;
    v.start (60);
    const auto phase = v.mainOscillator.phase;
    v.params.fmIndex = 4.0f;
    v.bend (12.0);
    v.render (0);
    EXPECT_EQ (v.mainOscillator.phase, phase);
    EXPECT_FLOAT_EQ (v.mainOscillator.fmIndex, 4.0f);
    EXPECT_NEAR (v.mainOscillator.frequency, 523.2511f, 1.0e-2f);
}

TEST (GribbVoice, NoSampleRateGivesSilenceNotInfinity)
{
    TestVoice v (0.0);
    v.params.oscType = 0;
    v.start (60);
    EXPECT_EQ (v.mainOscillator.phaseIncrement, 0.0f);
    const auto out = v.render (256);
    for (int i = 0; i < 256; ++i)
        ASSERT_TRUE (std::isfinite (out.getSample (0, i)));
}

namespace
{
/** A one-voice MPE synthesiser in the plug-in's legacy mode, so that every note reuses the voice
    and JUCE's instrument hands it the pressure a new note gets. */
struct OneVoiceSynth
{
    juce::MPESynthesiser synth;
    GribbVoice* voice = new GribbVoice();

    OneVoiceSynth()
    {
        synth.addVoice (voice);
        gribb::setUpSynthesiser (synth);
        synth.setCurrentPlaybackSampleRate (48000.0);
        voice->params.release = 0.01f;
    }

    juce::AudioBuffer<float> play (const juce::MidiBuffer& midi, int numSamples)
    {
        juce::AudioBuffer<float> out (2, numSamples);
        out.clear();
        synth.renderNextBlock (out, midi, 0, numSamples);
        return out;
    }
};
} // namespace

TEST (GribbVoice, ANewNoteStartsWithItsOwnPressureNotTheVoicesLast)
{
    // A pressed note on channel 2 ends and its release runs out; then a note arrives. On another
    // channel it has no pressure, so it must sound exactly like the same note on a fresh voice. On
    // the same channel, JUCE's legacy mode gives it the channel's last pressure, and so does the
    // voice.
    struct Case { int secondChannel; float expectedPressure; };
    for (const Case c : { Case { 3, 0.0f }, Case { 2, juce::MPEValue::from7BitInt (100).asUnsignedFloat() } })
    {
        SCOPED_TRACE (c.secondChannel);
        OneVoiceSynth used;
        juce::MidiBuffer history;
        history.addEvent (juce::MidiMessage::noteOn (2, 60, (juce::uint8) 100), 0);
        history.addEvent (juce::MidiMessage::channelPressureChange (2, 100), 10);
        history.addEvent (juce::MidiMessage::noteOff (2, 60), 2000);
        used.play (history, 4800);
        ASSERT_FALSE (used.voice->isActive());
        ASSERT_GT (used.voice->pressure, 0.7f);

        juce::MidiBuffer note;
        note.addEvent (juce::MidiMessage::noteOn (c.secondChannel, 64, (juce::uint8) 90), 0);
        const auto afterHistory = used.play (note, 1000);
        EXPECT_FLOAT_EQ (used.voice->pressure, c.expectedPressure);

        if (c.expectedPressure == 0.0f)
        {
            OneVoiceSynth fresh;
            const auto alone = fresh.play (note, 1000);
            EXPECT_TRUE (gribb::test::sameSamples (afterHistory, alone));
        }
    }
}
