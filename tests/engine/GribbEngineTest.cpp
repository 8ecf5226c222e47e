// The whole engine, block by block, through GribbEngine and EngineParameters alone: no heap use
// while it plays, every block size and rate, mono, the meter, the idle skip and what a stop of
// playback clears.
#include <gtest/gtest.h>

#include <utility>

#include "engine/GribbEngine.h"
#include "support/NotesAndAudioChecks.h"
#include "support/RealtimeChecks.h"

using namespace gribb::test;

namespace
{
/** Every stage doing something: FM voices with unison, the LFO on cutoff and FM, drive and clip
    oversampled, rate reduction and bit crushing; the rest at the parameter table's defaults. */
gribb::EngineParameters everyStageActive()
{
    gribb::EngineParameters p;
    p.voice.oscType = 2;
    p.voice.fmIndex = 6.0f;
    p.voice.unisonDetune = 15.0f;
    p.lfoRate = 7.0f;
    p.lfoShape = 3.0f;
    p.lfoToCutoff = 1.0f;
    p.lfoToFm = 1.0f;
    p.drive = 20.0f;
    p.hardClip = 0.5f;
    p.oversample = true;
    p.bitDepth = 4.5f;
    p.srReduce = 0.6f;
    p.resonance = 5.0f;
    p.outputGain = 0.0f;
    return p;
}

/** Plays `firstBlockMidi` in the first of `numBlocks` blocks of the buffer's size and returns the
    peak of channel 0 over all of them; false in `finite` when any block held NaN or Inf. */
float peakOverBlocks (gribb::GribbEngine& engine, const gribb::EngineParameters& p, juce::AudioBuffer<float>& buffer,
                      int numBlocks, const juce::MidiBuffer& firstBlockMidi, bool& finite)
{
    float peak = 0.0f;
    finite = true;
    const juce::MidiBuffer none;
    for (int block = 0; block < numBlocks; ++block)
    {
        engine.process (buffer, block == 0 ? firstBlockMidi : none, p);
        finite = finite && allFinite (buffer);
        peak = juce::jmax (peak, buffer.getMagnitude (0, 0, buffer.getNumSamples()));
    }
    return peak;
}

int numActiveVoices (gribb::GribbEngine& engine)
{
    int n = 0;
    for (int i = 0; i < engine.synth.getNumVoices(); ++i)
        n += engine.synth.getVoice (i)->isActive() ? 1 : 0;
    return n;
}

/** True when the engine would skip the chain for an empty block, whatever the oversampling
    choice: no voice sounds and the filter and oversampler states are exactly zero. */
bool chainIsIdle (const gribb::GribbEngine& engine)
{
    return engine.isSilentBeforeDegradation (juce::MidiBuffer(), true);
}
} // namespace

TEST (GribbEngine, NoAllocationWhileNotesPlayWithEveryStageActive)
{
    gribb::GribbEngine engine;
    const auto p = everyStageActive();
    engine.prepare (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);

    // Every MIDI buffer is built before counting starts.
    auto notes = chord (40, 16, 13);
    juce::MidiBuffer expression, offs, none;
    for (int ch = 1; ch <= 16; ++ch)
    {
        expression.addEvent (juce::MidiMessage::pitchWheel (ch, 12000), 5);
        expression.addEvent (juce::MidiMessage::channelPressureChange (ch, 100), 77);
        expression.addEvent (juce::MidiMessage::controllerEvent (ch, 74, 20), 200);
        offs.addEvent (juce::MidiMessage::noteOff (ch, 40 + 5 * (ch - 1)), 100);
    }
    auto stolen = chord (43, 4, 31); // four more notes: voices are stolen

    ScopedAllocationCounter counter;
    engine.process (buffer, notes, p);
    for (int i = 0; i < 10; ++i)
        engine.process (buffer, none, p);
    engine.process (buffer, expression, p);
    engine.process (buffer, stolen, p);
    engine.process (buffer, none, p);
    engine.process (buffer, offs, p);
    for (int i = 0; i < 30; ++i)
        engine.process (buffer, none, p);
    expectNoHeapCallOfOurs (counter);
}

TEST (GribbEngine, BlockSizesZeroOneOddAndLongerThanPrepared)
{
    gribb::GribbEngine engine;
    auto p = everyStageActive();
    p.outputGain = -30.0f;
    engine.prepare (44100.0, 64);

    const int sizes[] = { 0, 1, 7, 63, 64, 65, 333, 4096, 1, 0 };
    bool first = true;
    for (int n : sizes)
    {
        SCOPED_TRACE (n);
        juce::AudioBuffer<float> buffer (2, n);
        auto midi = first ? chord (48, 6) : juce::MidiBuffer();
        first = first && n == 0;
        engine.process (buffer, midi, p);
        ASSERT_TRUE (allFinite (buffer, n));
    }

    // A block of 0 samples lets the smoothed level fall by 2 %; quietly played, the roast value
    // is three times that level.
    juce::AudioBuffer<float> some (2, 256), empty (2, 0);
    juce::MidiBuffer none;
    const float before = engine.process (some, none, p);
    ASSERT_GT (before, 0.0f);
    ASSERT_LT (before, 1.0f);
    EXPECT_FLOAT_EQ (engine.process (empty, none, p), before * 0.98f);
}

TEST (GribbEngine, EverySampleRateFrom22050To192000)
{
    for (double rate : { 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 })
    {
        SCOPED_TRACE (rate);
        gribb::GribbEngine engine;
        auto p = everyStageActive();
        p.cutoff = 20000.0f;
        engine.prepare (rate, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        bool finite = false;
        const float peak = peakOverBlocks (engine, p, buffer, 20, chord (60, 3), finite);
        ASSERT_TRUE (finite);
        EXPECT_GT (peak, 0.01f);
    }
}

TEST (GribbEngine, MonoOutputRunsTheChainOnOneChannel)
{
    gribb::GribbEngine engine;
    engine.prepare (48000.0, 128);
    juce::AudioBuffer<float> buffer (1, 128);
    bool finite = false;
    const float peak = peakOverBlocks (engine, everyStageActive(), buffer, 10, chord (60, 2), finite);
    ASSERT_TRUE (finite);
    EXPECT_GT (peak, 0.01f);
}

TEST (GribbEngine, NonReactiveRoastPublishesExactlyPointOneFive)
{
    gribb::GribbEngine engine;
    auto p = everyStageActive();
    p.reactiveRoast = 0.0f;
    engine.prepare (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    for (int block = 0; block < 5; ++block)
    {
        auto midi = block == 0 ? chord (60, 8) : juce::MidiBuffer();
        EXPECT_EQ (engine.process (buffer, midi, p), 0.15f);
    }
}

TEST (GribbEngine, OutputGainScalesTheSoundAndTheMeter)
{
    auto render = [] (float gainDb)
    {
        gribb::GribbEngine engine;
        gribb::EngineParameters p; // the parameter table's defaults
        p.lfoShape = 0.0f;
        p.outputGain = gainDb;
        engine.prepare (48000.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        const float roast = engine.process (buffer, chord (57, 1), p);
        return std::make_pair (buffer, roast);
    };
    const auto [loud, loudRoast] = render (0.0f);
    const auto [quiet, quietRoast] = render (-6.0f);
    for (int i = 0; i < 512; ++i)
        ASSERT_NEAR (quiet.getSample (0, i), loud.getSample (0, i) * 0.50118723f, 1.0e-6f);
    ASSERT_GT (loudRoast, 0.0f);
    EXPECT_NEAR (quietRoast / loudRoast, 0.501f, 0.001f);
}

TEST (GribbEngine, NoAllocationIntoAndOutOfIdleAndWhileOversamplingChanges)
{
    gribb::GribbEngine engine;
    auto p = everyStageActive();
    p.voice.release = 0.05f;
    engine.prepare (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);

    auto notes = chord (40, 6, 13);
    juce::MidiBuffer offs, none;
    for (int ch = 1; ch <= 6; ++ch)
        offs.addEvent (juce::MidiMessage::noteOff (ch, 40 + 5 * (ch - 1)), 100);

    std::size_t allocations = 0;
    const auto run = [&] (juce::MidiBuffer& midi, int blocks)
    {
        ScopedAllocationCounter counter;
        for (int i = 0; i < blocks; ++i)
            engine.process (buffer, i == 0 ? midi : none, p);
        expectNoHeapCallOfOurs (counter);
        allocations += counter.count();
    };

    run (notes, 20);
    run (offs, 400); // release, ring and flush: the chain goes idle
    EXPECT_TRUE (chainIsIdle (engine));
    for (const bool oversample : { false, true, true, false }) // "Off", "2x", "4x", "Off"
    {
        p.oversample = oversample;
        run (none, 5);     // idle with this setting
        run (notes, 10);   // out of idle
        run (offs, 400);   // and back into it
    }
    EXPECT_TRUE (chainIsIdle (engine));
    EXPECT_EQ (allocations, 0u);
}

// A stop of playback forgets the oversampler's state only: the lowpass still rings and the LFO
// keeps its place, so a block right after it continues the sound.
TEST (GribbEngine, AStopOfPlaybackLeavesTheLowpassAndTheLfoAsTheyAre)
{
    gribb::GribbEngine engine;
    engine.prepare (48000.0, 256);
    auto p = everyStageActive();
    juce::AudioBuffer<float> buffer (2, 256);
    p.voice.release = gribb::parameterTable[gribb::release].start; // the shortest release the parameter allows
    p.cutoff = 300.0f;
    p.lfoToCutoff = 0.0f;
    engine.process (buffer, chord (48, 4), p);
    juce::MidiBuffer offs;
    for (int i = 0; i < 4; ++i)
        offs.addEvent (juce::MidiMessage::noteOff (1 + i, 48 + 5 * i), 0);
    engine.process (buffer, offs, p);
    juce::MidiBuffer none;
    ASSERT_EQ (numActiveVoices (engine), 0);

    ASSERT_FALSE (engine.isSilentBeforeDegradation (none, false)) << "the resonant lowpass should still ring";
    const float phase = engine.lfo.phase;
    engine.stopPlayback();
    EXPECT_EQ (engine.lfo.phase, phase);
    EXPECT_FALSE (engine.isSilentBeforeDegradation (none, false)) << "the lowpass state was cleared";
}
