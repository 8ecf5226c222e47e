#include <gtest/gtest.h>

#include <cmath>

#include "engine/OutputStage.h"

using gribb::OutputStage;

namespace
{
juce::AudioBuffer<float> sine (int numChannels, int numSamples, float amplitude)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, amplitude * std::sin (juce::MathConstants<float>::twoPi * (float) i / 64.0f));
    return buffer;
}
} // namespace

TEST (OutputStage, GainIsAppliedInDecibelsWithASilentFloor)
{
    struct Case
    {
        float db, gain;
    };
    const Case cases[] = { { 0.0f, 1.0f }, { 6.0f, 1.9952623f }, { -6.0f, 0.50118723f }, { -48.0f, 0.0039810717f },
                           { -100.0f, 0.0f }, { -120.0f, 0.0f } };
    for (const auto& c : cases)
    {
        auto buffer = sine (2, 128, 0.5f);
        const auto input = buffer;
        OutputStage::applyGain (buffer, 128, c.db);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 128; ++i)
                ASSERT_FLOAT_EQ (buffer.getSample (ch, i), input.getSample (ch, i) * c.gain) << c.db;
    }
}

TEST (OutputStage, MinusSixDecibelsScalesTheMeteredRmsByAboutHalf)
{
    auto loud = sine (2, 512, 0.5f), quiet = loud;
    OutputStage::applyGain (quiet, 512, -6.0f);
    const float ratio = OutputStage::blockRms (quiet, 512) / OutputStage::blockRms (loud, 512);
    EXPECT_NEAR (ratio, 0.501f, 0.0005f);
}

TEST (OutputStage, RmsCoversEveryChannelAndEmptyBlocks)
{
    juce::AudioBuffer<float> buffer (2, 4);
    buffer.clear();
    for (int i = 0; i < 4; ++i)
        buffer.setSample (0, i, 1.0f); // one full-scale channel, one silent: rms = sqrt (1/2)
    EXPECT_FLOAT_EQ (OutputStage::blockRms (buffer, 4), std::sqrt (0.5f));
    EXPECT_EQ (OutputStage::blockRms (buffer, 0), 0.0f);

    juce::AudioBuffer<float> mono (1, 4);
    mono.clear();
    mono.setSample (0, 0, 2.0f);
    EXPECT_FLOAT_EQ (OutputStage::blockRms (mono, 4), 1.0f);
}

TEST (OutputStage, MeterRisesFastAndFallsTwoPercentPerBlock)
{
    struct Case
    {
        float smoothed, rms, expected;
    };
    const Case cases[] = { { 0.0f, 0.2f, 0.1f },   // half way up
                           { 0.1f, 0.2f, 0.15f },
                           { 0.5f, 0.0f, 0.49f },  // 2 % down
                           { 0.5f, 0.4f, 0.498f },
                           { 0.3f, 0.3f, 0.3f } };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (OutputStage::smooth (c.smoothed, c.rms), c.expected);
}

TEST (OutputStage, EmptyBlockLeavesAudioAndLetsTheLevelFall)
{
    OutputStage stage;
    juce::AudioBuffer<float> buffer (2, 16);
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.5f, 16);
    stage.process (buffer, 16, 0.0f, 1.0f); // a level of 0.5: half the way up from 0
    ASSERT_FLOAT_EQ (stage.getSmoothedRms(), 0.25f);

    const float roast = stage.process (buffer, 0, -20.0f, 1.0f);
    EXPECT_EQ (buffer.getSample (1, 0), 0.5f);
    EXPECT_FLOAT_EQ (stage.getSmoothedRms(), 0.245f);
    EXPECT_FLOAT_EQ (roast, 0.735f);
}

TEST (OutputStage, RoastValueMixesHeatAndRestingLevel)
{
    struct Case
    {
        float smoothed, reactive, expected;
    };
    const Case cases[] = {
        { 0.0f, 0.0f, 0.15f }, { 1.0f, 0.0f, 0.15f }, { 0.2f, 0.0f, 0.15f }, // not reactive: pinned
        { 0.0f, 1.0f, 0.0f },  { 0.1f, 1.0f, 0.3f },  { 1.0f / 3.0f, 1.0f, 1.0f }, { 0.9f, 1.0f, 1.0f },
        { 0.1f, 0.5f, 0.225f },
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (OutputStage::roastValue (c.smoothed, c.reactive), c.expected);

    // Exactly 0.15 whatever the sound when the roast does not react.
    OutputStage stage;
    for (float amplitude : { 0.0f, 0.3f, 1.0f })
    {
        auto buffer = sine (2, 64, amplitude);
        EXPECT_EQ (stage.process (buffer, 64, 0.0f, 0.0f), 0.15f);
    }
}
