#include <gtest/gtest.h>

#include "support/ChainTestSupport.h"
#include "support/RealtimeChecks.h"
#include "support/ProcessorAccess.h"
#include "support/SameSamples.h"

using namespace gribb::test;

TEST (ProcessorChain, NoAllocationWhileNotesPlayWithEveryStageActive)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    processor.prepareToPlay (48000.0, 256);
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
    processor.processBlock (buffer, notes);
    for (int i = 0; i < 10; ++i)
        processor.processBlock (buffer, none);
    processor.processBlock (buffer, expression);
    processor.processBlock (buffer, stolen);
    processor.processBlock (buffer, none);
    processor.processBlock (buffer, offs);
    for (int i = 0; i < 30; ++i)
        processor.processBlock (buffer, none);
    expectNoHeapCallOfOurs (counter);
}

TEST (ProcessorChain, EveryCornerOfEveryRangeAtOnceStaysFinite)
{
    const int numParams = gribb::numParameters;

    // All at the bottom, all at the top, alternating both ways, then seeded random corners.
    std::vector<std::vector<bool>> corners;
    corners.emplace_back ((size_t) numParams, false);
    corners.emplace_back ((size_t) numParams, true);
    std::vector<bool> alternate ((size_t) numParams);
    for (int i = 0; i < numParams; ++i)
        alternate[(size_t) i] = (i % 2) == 0;
    corners.push_back (alternate);
    alternate.flip();
    corners.push_back (alternate);
    juce::Random random (2024);
    for (int k = 0; k < 24; ++k)
    {
        std::vector<bool> corner ((size_t) numParams);
        for (int i = 0; i < numParams; ++i)
            corner[(size_t) i] = random.nextBool();
        corners.push_back (corner);
    }

    for (size_t c = 0; c < corners.size(); ++c)
    {
        SCOPED_TRACE (testing::Message() << "corner " << c);
        GribbTazoAudioProcessor processor;
        for (int i = 0; i < numParams; ++i)
            processor.getParameters()[i]->setValueNotifyingHost (corners[c][(size_t) i] ? 1.0f : 0.0f);

        processor.prepareToPlay (44100.0, 300);
        juce::AudioBuffer<float> buffer (2, 300);
        auto midi = chord (0, 16);
        for (int ch = 1; ch <= 16; ++ch)
        {
            midi.addEvent (juce::MidiMessage::pitchWheel (ch, c % 2 == 0 ? 16383 : 0), 10);
            midi.addEvent (juce::MidiMessage::channelPressureChange (ch, 127), 20);
        }
        auto high = chord (100, 8, 150);
        for (int block = 0; block < 40; ++block)
        {
            juce::MidiBuffer none;
            processor.processBlock (buffer, block == 0 ? midi : (block == 1 ? high : none));
            ASSERT_TRUE (allFinite (buffer, 300)) << "block " << block;
            const float roast = processor.roastLevel.load();
            ASSERT_TRUE (roast >= 0.0f && roast <= 1.0f) << roast;
        }
    }
}

TEST (ProcessorChain, BlockSizesZeroOneOddAndLongerThanPrepared)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    setPlain (processor, "outputGain", -30.0f);
    processor.prepareToPlay (44100.0, 64);

    const int sizes[] = { 0, 1, 7, 63, 64, 65, 333, 4096, 1, 0 };
    bool first = true;
    for (int n : sizes)
    {
        SCOPED_TRACE (n);
        juce::AudioBuffer<float> buffer (2, n);
        auto midi = first ? chord (48, 6) : juce::MidiBuffer();
        first = first && n == 0;
        processor.processBlock (buffer, midi);
        ASSERT_TRUE (allFinite (buffer, n));
    }

    // A block of 0 samples lets the smoothed level fall by 2 %; quietly played, the roast value
    // is three times that level.
    juce::AudioBuffer<float> some (2, 256), empty (2, 0);
    juce::MidiBuffer none;
    processor.processBlock (some, none);
    const float before = processor.roastLevel.load();
    ASSERT_GT (before, 0.0f);
    ASSERT_LT (before, 1.0f);
    processor.processBlock (empty, none);
    EXPECT_FLOAT_EQ (processor.roastLevel.load(), before * 0.98f);
}

TEST (ProcessorChain, EverySampleRateFrom22050To192000)
{
    for (double rate : { 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 })
    {
        SCOPED_TRACE (rate);
        GribbTazoAudioProcessor processor;
        setEveryStageActive (processor);
        setPlain (processor, "cutoff", 20000.0f);
        processor.prepareToPlay (rate, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        bool finite = false;
        const float peak = peakOverBlocks (processor, buffer, 20, chord (60, 3), finite);
        ASSERT_TRUE (finite);
        EXPECT_GT (peak, 0.01f);
    }
}

TEST (ProcessorChain, MonoOutputRunsTheChainOnOneChannel)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    processor.prepareToPlay (48000.0, 128);
    juce::AudioBuffer<float> buffer (1, 128);
    bool finite = false;
    const float peak = peakOverBlocks (processor, buffer, 10, chord (60, 2), finite);
    ASSERT_TRUE (finite);
    EXPECT_GT (peak, 0.01f);
}

TEST (ProcessorChain, NonReactiveRoastPublishesExactlyPointOneFive)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    setPlain (processor, "reactiveRoast", 0.0f);
    processor.prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    for (int block = 0; block < 5; ++block)
    {
        auto midi = block == 0 ? chord (60, 8) : juce::MidiBuffer();
        processor.processBlock (buffer, midi);
        EXPECT_EQ (processor.roastLevel.load(), 0.15f);
    }
}

TEST (ProcessorChain, OutputGainScalesTheSoundAndTheMeter)
{
    auto render = [] (float gainDb)
    {
        GribbTazoAudioProcessor processor;
        setPlain (processor, "lfoShape", 0.0f);
        setPlain (processor, "outputGain", gainDb);
        processor.prepareToPlay (48000.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        auto midi = chord (57, 1);
        processor.processBlock (buffer, midi);
        return std::make_pair (buffer, processor.roastLevel.load());
    };
    const auto [loud, loudRoast] = render (0.0f);
    const auto [quiet, quietRoast] = render (-6.0f);
    for (int i = 0; i < 512; ++i)
        ASSERT_NEAR (quiet.getSample (0, i), loud.getSample (0, i) * 0.50118723f, 1.0e-6f);
    ASSERT_GT (loudRoast, 0.0f);
    EXPECT_NEAR (quietRoast / loudRoast, 0.501f, 0.001f);
}

TEST (ProcessorChain, NoAllocationIntoAndOutOfIdleAndWhileOversamplingChanges)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    setPlain (processor, "release", 0.05f);
    processor.prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);

    auto notes = chord (40, 6, 13);
    juce::MidiBuffer offs, none;
    for (int ch = 1; ch <= 6; ++ch)
        offs.addEvent (juce::MidiMessage::noteOff (ch, 40 + 5 * (ch - 1)), 100);

    // Parameter changes notify listeners, which may allocate on this thread: only the blocks are
    // counted.
    std::size_t allocations = 0;
    const auto run = [&] (juce::MidiBuffer& midi, int blocks)
    {
        ScopedAllocationCounter counter;
        for (int i = 0; i < blocks; ++i)
            processor.processBlock (buffer, i == 0 ? midi : none);
        expectNoHeapCallOfOurs (counter);
        allocations += counter.count();
    };

    run (notes, 20);
    run (offs, 400); // release, ring and flush: the chain goes idle
    EXPECT_TRUE (GribbTazoAudioProcessorInspector::chainIsIdle (processor));
    for (const float choice : { 0.0f, 1.0f, 2.0f, 0.0f })
    {
        setPlain (processor, "oversample", choice);
        run (none, 5);     // idle with this setting
        run (notes, 10);   // out of idle
        run (offs, 400);   // and back into it
    }
    EXPECT_TRUE (GribbTazoAudioProcessorInspector::chainIsIdle (processor));
    EXPECT_EQ (allocations, 0u);
}

// The "2x" and "4x" choices both oversample four times: the sound is the same.
TEST (ProcessorChain, TwoTimesAndFourTimesOversamplingGiveTheSameSamples)
{
    juce::AudioBuffer<float> renders[2];
    for (int choice : { 1, 2 })
    {
        GribbTazoAudioProcessor processor;
        processor.prepareToPlay (48000.0, 256);
        setEveryStageActive (processor);
        setPlain (processor, "oversample", (float) choice);
        auto& lfo = GribbTazoAudioProcessorInspector::lfo (processor);
        lfo.random.setSeed (5);
        lfo.drawRandom();

        auto& render = renders[choice - 1];
        render.setSize (2, 256 * 12);
        juce::AudioBuffer<float> buffer (2, 256);
        auto notes = chord (48, 6);
        juce::MidiBuffer none;
        for (int block = 0; block < 12; ++block)
        {
            processor.processBlock (buffer, block == 0 ? notes : none);
            for (int ch = 0; ch < 2; ++ch)
                render.copyFrom (ch, 256 * block, buffer, ch, 0, 256);
        }
    }
    EXPECT_GT (renders[0].getMagnitude (0, renders[0].getNumSamples()), 0.01f);
    EXPECT_TRUE (sameSamples (renders[0], renders[1]));
}

// Stopping playback forgets the oversampler's state only: the lowpass still rings and the LFO
// keeps its place, so a block right after it continues the sound.
TEST (ProcessorChain, ReleaseResourcesLeavesTheLowpassAndTheLfoAsTheyAre)
{
    GribbTazoAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    setEveryStageActive (processor);
    juce::AudioBuffer<float> buffer (2, 256);
    setPlain (processor, "release", 0.0f); // the shortest release the parameter allows
    setPlain (processor, "cutoff", 300.0f);
    setPlain (processor, "lfoToCutoff", 0.0f);
    auto notes = chord (48, 4);
    processor.processBlock (buffer, notes);
    juce::MidiBuffer offs;
    for (int i = 0; i < 4; ++i)
        offs.addEvent (juce::MidiMessage::noteOff (1 + i, 48 + 5 * i), 0);
    processor.processBlock (buffer, offs);
    juce::MidiBuffer none;
    ASSERT_EQ (GribbTazoAudioProcessorInspector::numActiveVoices (processor), 0);

    auto& engine = GribbTazoAudioProcessorInspector::engine (processor);
    ASSERT_FALSE (engine.isSilentBeforeDegradation (none, false)) << "the resonant lowpass should still ring";
    const float phase = engine.lfo.phase;
    processor.releaseResources();
    EXPECT_EQ (engine.lfo.phase, phase);
    EXPECT_FALSE (engine.isSilentBeforeDegradation (none, false)) << "the lowpass state was cleared";
}
