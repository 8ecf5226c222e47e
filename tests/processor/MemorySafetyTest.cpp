// Blocks outside the usual contract: longer than the size the host prepared the plug-in for, or
// before any preparation. This program also runs under AddressSanitizer: the oversampler's and
// the filter's buffers must never be overrun.
#include <gtest/gtest.h>

#include "support/ChainTestSupport.h"
#include "support/SameSamples.h"

using namespace gribb::test;

TEST (LongBlock, RendersLikeAProcessorPreparedForItsLength)
{
    for (int oversample : { 0, 1, 2 })
    {
        SCOPED_TRACE (oversample);
        GribbTazoAudioProcessor small, large;
        for (auto* p : { &small, &large })
        {
            setEveryStageActive (*p);
            setPlain (*p, "lfoShape", 1.0f); // the random shape is seeded differently per instance
            setPlain (*p, "oversample", (float) oversample);
        }
        small.prepareToPlay (48000.0, 32);
        large.prepareToPlay (48000.0, 3000);

        for (int block = 0; block < 4; ++block)
        {
            juce::AudioBuffer<float> a (2, 3000), b (2, 3000);
            auto midiA = block == 0 ? chord (50, 5, 17) : juce::MidiBuffer();
            auto midiB = midiA;
            small.processBlock (a, midiA);
            large.processBlock (b, midiB);
            ASSERT_TRUE (sameSamples (a, b, -1, "block " + std::to_string (block)));
        }
    }
}

TEST (LongBlock, MuchLongerBlocksAfterASmallPrepareStayFinite)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    processor.prepareToPlay (96000.0, 1);
    for (int n : { 1, 2, 4097, 16384 })
    {
        juce::AudioBuffer<float> buffer (2, n);
        auto midi = chord (60, 3);
        processor.processBlock (buffer, midi);
        ASSERT_TRUE (allFinite (buffer, n));
    }
}

TEST (LongBlock, PrepareWithZeroBlockSizeStillRenders)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor);
    processor.prepareToPlay (44100.0, 0);
    juce::AudioBuffer<float> buffer (2, 100);
    auto midi = chord (60, 3);
    processor.processBlock (buffer, midi);
    ASSERT_TRUE (allFinite (buffer, 100));
}

TEST (BeforePrepare, BlocksSoundAndStayWithinTheFilterState)
{
    GribbTazoAudioProcessor processor;
    setEveryStageActive (processor); // oversampling asked for, but there is no oversampler yet
    juce::AudioBuffer<float> buffer (2, 777);
    bool finite = false;
    const float peak = peakOverBlocks (processor, buffer, 8, chord (55, 4), finite);
    ASSERT_TRUE (finite);
    EXPECT_GT (peak, 0.01f);
}
