#include <gtest/gtest.h>

#include <cmath>

#include "engine/Lfo.h"

using gribb::Lfo;

namespace
{
struct ShapeCase
{
    int shape;
    float phase;
    float expected;
};
} // namespace

TEST (Lfo, ValuesAtPhaseBoundaries)
{
    const ShapeCase cases[] = {
        { Lfo::sineShape, 0.0f, 0.0f },          { Lfo::sineShape, 0.25f, 1.0f },
        { Lfo::sineShape, 0.75f, -1.0f },        { Lfo::triangleShape, 0.0f, -1.0f },
        { Lfo::triangleShape, 0.25f, 0.0f },     { Lfo::triangleShape, 0.5f, 1.0f },
        { Lfo::triangleShape, 0.75f, 0.0f },     { Lfo::squareShape, 0.0f, 1.0f },
        { Lfo::squareShape, 0.4999f, 1.0f },     { Lfo::squareShape, 0.5f, -1.0f },
        { Lfo::squareShape, 0.99f, -1.0f },      { Lfo::randomShape, 0.3f, 0.625f },
        { 4, 0.25f, 0.0f },                      { -1, 0.25f, 0.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "shape " << c.shape << " phase " << c.phase);
        Lfo lfo;
        lfo.phase = c.phase;
        lfo.heldRandom = 0.625f;
        EXPECT_NEAR (lfo.step (1.0f, (float) c.shape, 0), c.expected, 1.0e-6f);
        EXPECT_EQ (lfo.shape, c.shape);
    }
}

TEST (Lfo, ValueIsTakenBeforeTheBlockAdvancesThePhase)
{
    Lfo lfo;
    lfo.prepare (48000.0);
    // 2 Hz over 6000 samples is a quarter cycle per block.
    const float expected[] = { 0.0f, 1.0f, 0.0f, -1.0f, 0.0f };
    for (float e : expected)
        EXPECT_NEAR (lfo.step (2.0f, 0.0f, 6000), e, 1.0e-5f);
}

TEST (Lfo, RateIsClampedAndEmptyBlocksDoNotMoveThePhase)
{
    Lfo lfo;
    lfo.prepare (44100.0);
    lfo.step (1000.0f, 0.0f, 0);
    EXPECT_EQ (lfo.rate, 40.0f);
    EXPECT_EQ (lfo.phase, 0.0f);
    lfo.step (0.0f, 0.0f, 441);
    EXPECT_EQ (lfo.rate, 0.01f);
    EXPECT_FLOAT_EQ (lfo.phase, 0.01f / 44100.0f * 441.0f);
}

TEST (Lfo, RandomShapeDrawsOncePerCompletedCycle)
{
    struct Case
    {
        float rate;
        int numSamples;
        int expectedDraws;
    };
    // At a host rate of 1024 Hz the increments are exact: rate * numSamples / 1024 cycles per block.
    const Case cases[] = { { 1.0f, 512, 0 }, { 1.0f, 1024, 1 }, { 8.0f, 320, 2 }, { 32.0f, 1024, 32 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << "rate " << c.rate << " samples " << c.numSamples);
        Lfo lfo;
        lfo.sampleRate = 1024.0;
        lfo.heldRandom = 0.25f;
        lfo.random.setSeed (1234);

        juce::Random reference (1234);
        float expectedHeld = 0.25f;
        for (int i = 0; i < c.expectedDraws; ++i)
            expectedHeld = 2.0f * reference.nextFloat() - 1.0f;

        EXPECT_EQ (lfo.step (c.rate, 3.0f, c.numSamples), 0.25f); // the value held before the block
        EXPECT_EQ (lfo.heldRandom, expectedHeld);
        EXPECT_GE (lfo.phase, 0.0f);
        EXPECT_LT (lfo.phase, 1.0f);
        EXPECT_EQ (lfo.step (c.rate, 3.0f, 0), expectedHeld); // the last draw plays from the next block
    }
}

TEST (Lfo, RandomValuesStayWithinMinusOneToOne)
{
    Lfo lfo;
    lfo.prepare (1000.0);
    for (int i = 0; i < 2000; ++i)
    {
        const float v = lfo.step (40.0f, 3.0f, 30);
        ASSERT_GE (v, -1.0f);
        ASSERT_LT (v, 1.0f);
    }
}

TEST (Lfo, PrepareRestartsThePhaseAndDrawsAFreshValue)
{
    Lfo lfo;
    lfo.phase = 0.7f;
    lfo.random.setSeed (99);
    juce::Random reference (99);
    lfo.prepare (96000.0);
    EXPECT_EQ (lfo.sampleRate, 96000.0);
    EXPECT_EQ (lfo.phase, 0.0f);
    EXPECT_EQ (lfo.heldRandom, 2.0f * reference.nextFloat() - 1.0f);
}

TEST (Lfo, HugeIncrementsNeitherHangNorLeaveTheRange)
{
    Lfo lfo;
    lfo.sampleRate = 1.0; // 40 cycles per sample
    lfo.step (40.0f, 3.0f, 1 << 30);
    EXPECT_GE (lfo.phase, 0.0f);
    EXPECT_LT (lfo.phase, 1.0f);
    EXPECT_TRUE (std::isfinite (lfo.step (40.0f, 0.0f, 1 << 30)));
}

TEST (LfoFmOffset, UnipolarAndScaledToTwelve)
{
    struct Case
    {
        float lfoValue, lfoToFm, expected;
    };
    const Case cases[] = { { -1.0f, 1.0f, 0.0f }, { 1.0f, 1.0f, 12.0f }, { 0.0f, 1.0f, 6.0f },
                           { 1.0f, 0.0f, 0.0f },  { -1.0f, 0.0f, 0.0f }, { 0.5f, 0.5f, 4.5f } };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (gribb::lfoFmOffset (c.lfoValue, c.lfoToFm), c.expected);
}
