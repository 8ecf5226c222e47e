#include <gtest/gtest.h>

#include <cmath>

#include "engine/DegradationStage.h"
#include "support/ReferenceCurves.h"
#include "support/SameSamples.h"

using gribb::BitQuantiser;
using gribb::SampleRateReducer;

namespace
{
struct Degrader
{
    explicit Degrader (double rate) { stage.prepare (rate); }

    void process (juce::AudioBuffer<float>& buffer, float srReduce, float bitDepth)
    {
        stage.process (buffer, buffer.getNumSamples(), srReduce, bitDepth);
    }

    gribb::DegradationStage stage;
};

bool differs (float a, float b) { return a < b || b < a; }

juce::AudioBuffer<float> ramp (int numChannels, int numSamples)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, (float) (i + 1) / (float) numSamples * (ch == 0 ? 1.0f : -1.0f));
    return buffer;
}
} // namespace

TEST (SampleRateReducer, TargetRateFallsLinearlyToSevenHundredAndIsClamped)
{
    struct Case
    {
        float amount;
        double rate;
        float target, increment;
    };
    const Case cases[] = {
        { 0.0f, 44100.0, 44100.0f, 1.0f },
        { 1.0f, 44100.0, 700.0f, 700.0f / 44100.0f },
        { 0.5f, 48000.0, 24350.0f, 24350.0f / 48000.0f },
        { 2.0f, 44100.0, 500.0f, 500.0f / 44100.0f },   // below 500 Hz
        { -1.0f, 44100.0, 44100.0f, 1.0f },             // above the host rate
    };
    for (const auto& c : cases)
    {
        SampleRateReducer reducer;
        reducer.prepare (c.rate);
        reducer.setTargetRate (SampleRateReducer::targetFor (c.amount, c.rate));
        EXPECT_FLOAT_EQ (reducer.targetRate, c.target);
        EXPECT_FLOAT_EQ (reducer.increment, c.increment);
    }
}

TEST (DegradationStage, FullReductionHoldsAboutSixtyThreeSamplesAt44100)
{
    Degrader d (44100.0);
    auto buffer = ramp (2, 2000);
    const auto input = buffer;
    d.process (buffer, 1.0f, 16.0f);

    // The first held value after preparation is 0 until the phase first wraps.
    int firstChange = -1;
    for (int i = 0; i < 2000 && firstChange < 0; ++i)
        if (differs (buffer.getSample (0, i), 0.0f))
            firstChange = i;
    ASSERT_GT (firstChange, 0);
    EXPECT_NEAR (firstChange, 63, 1);
    EXPECT_EQ (buffer.getSample (0, firstChange), input.getSample (0, firstChange)); // samples the input there

    // Count the hold periods between value changes after the first.
    std::vector<int> periods;
    int last = firstChange;
    for (int i = firstChange + 1; i < 2000; ++i)
        if (differs (buffer.getSample (0, i), buffer.getSample (0, i - 1)))
        {
            periods.push_back (i - last);
            last = i;
        }
    ASSERT_GE (periods.size(), 25u);
    double total = 0.0;
    for (int p : periods)
    {
        EXPECT_GE (p, 62);
        EXPECT_LE (p, 64);
        total += p;
    }
    EXPECT_NEAR (total / (double) periods.size(), 44100.0 / 700.0, 0.1);

    // Channel 1 runs its own reducer on its own input.
    EXPECT_EQ (buffer.getSample (1, firstChange), input.getSample (1, firstChange));
}

TEST (DegradationStage, HoldPeriodDoesNotDependOnBlockBoundaries)
{
    Degrader whole (44100.0), split (44100.0);
    auto a = ramp (2, 999);
    auto b = a;
    whole.process (a, 0.83f, 16.0f);
    for (int start = 0; start < 999; start += 37)
    {
        juce::AudioBuffer<float> piece (b.getArrayOfWritePointers(), 2, start, juce::jmin (37, 999 - start));
        split.process (piece, 0.83f, 16.0f);
    }
    EXPECT_TRUE (gribb::test::sameSamples (a, b));
}

TEST (DegradationStage, AmountAtThresholdLeavesReducerStateUntouched)
{
    Degrader d (44100.0);
    auto first = ramp (2, 37);
    d.process (first, 0.9f, 16.0f); // leaves the reducers part-way through a hold
    const auto phase = d.stage.reducer (0).phase, held = d.stage.reducer (0).heldSample;
    ASSERT_NE (held, 0.0f);

    auto buffer = ramp (2, 64);
    const auto input = buffer;
    d.process (buffer, 0.0001f, 16.0f);
    EXPECT_EQ (d.stage.reducer (0).phase, phase);
    EXPECT_EQ (d.stage.reducer (0).heldSample, held);
    EXPECT_TRUE (gribb::test::sameSamples (buffer, input)); // transparent
}

TEST (BitQuantiser, OneBitHasTwoSteps)
{
    struct Case
    {
        float in, out;
    };
    const Case cases[] = { { -1.0f, -1.0f }, { -0.5f, -1.0f }, { -1.0e-6f, -1.0f }, { 0.0f, 0.0f },
                           { 0.3f, 0.0f },   { 0.999f, 0.0f }, { 1.0f, 1.0f } };
    Degrader d (44100.0);
    for (const auto& c : cases)
    {
        juce::AudioBuffer<float> buffer (2, 1);
        buffer.setSample (0, 0, c.in);
        buffer.setSample (1, 0, c.in);
        d.process (buffer, 0.0f, 1.0f);
        EXPECT_EQ (buffer.getSample (0, 0), c.out) << c.in;
        EXPECT_EQ (buffer.getSample (1, 0), c.out) << c.in;
    }
}

TEST (BitQuantiser, DepthsAroundTheBypassThreshold)
{
    struct Case
    {
        float bitDepth;
        bool quantises;
        float effectiveBits;
    };
    const Case cases[] = { { 15.99f, false, 15.99f }, { 16.0f, false, 16.0f }, { 15.98f, true, 15.98f },
                           { 8.0f, true, 8.0f },      { 0.5f, true, 1.0f },    { 20.0f, false, 16.0f } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.bitDepth);
        Degrader d (44100.0);
        auto buffer = ramp (2, 500);
        const auto input = buffer;
        d.process (buffer, 0.0f, c.bitDepth);

        const float q = std::pow (2.0f, c.effectiveBits);
        for (int i = 0; i < 500; ++i)
        {
            const float x = input.getSample (0, i);
            const float expected = c.quantises ? 2.0f * (std::floor ((x * 0.5f + 0.5f) * q) / q) - 1.0f : x;
            ASSERT_EQ (buffer.getSample (0, i), expected) << i;
        }
    }
}

TEST (BitQuantiser, NonIntegerStepCountAt15Point98)
{
    // q = 2^15.98 is about 64654.2, not a power of two: levels sit 2/q apart, so the level just
    // above -1 is not a multiple of 2^-15.
    const float q = std::pow (2.0f, 15.98f);
    EXPECT_NE (q, std::floor (q));
    const auto quantiser = BitQuantiser::forBits (15.98f);
    const float level = gribb::test::referenceQuantise (quantiser, -1.0f + 2.5f / q);
    EXPECT_FLOAT_EQ (level, -1.0f + 2.0f / q);
    EXPECT_NE (level * 32768.0f, std::round (level * 32768.0f));
}

TEST (BitQuantiser, BlockPathEqualsThePlainFormula)
{
    juce::Random random (17);
    for (float bits : { 1.0f, 3.3f, 8.0f, 15.98f })
    {
        const auto quantiser = BitQuantiser::forBits (bits);
        std::vector<float> block (1001);
        for (auto& v : block)
            v = random.nextFloat() * 2.2f - 1.1f;
        auto expected = block;
        for (auto& v : expected)
            v = gribb::test::referenceQuantise (quantiser, v);
        quantiser.process (block.data(), (int) block.size());
        EXPECT_EQ (block, expected);
    }
}

TEST (DegradationStage, MonoBufferAndChannelsBeyondTwo)
{
    Degrader d (44100.0);
    auto mono = ramp (1, 100);
    d.process (mono, 1.0f, 2.0f);
    EXPECT_EQ (mono.getSample (0, 0), 0.0f); // the held 0 is a level of the 2-bit quantiser
    EXPECT_EQ (mono.getSample (0, 99), 2.0f * (std::floor ((mono.getSample (0, 99) * 0.5f + 0.5f) * 4.0f) / 4.0f) - 1.0f);

    juce::AudioBuffer<float> three (3, 10);
    three.clear();
    three.setSample (2, 3, 0.123f);
    Degrader e (44100.0);
    e.process (three, 1.0f, 1.0f);
    EXPECT_EQ (three.getSample (2, 3), 0.123f);
}
