#include <gtest/gtest.h>

#include <cmath>

#include "engine/FilterStage.h"

namespace FilterStage = gribb::FilterStage;

TEST (FilterStage, CutoffFollowsTheLfoAndIsClamped)
{
    struct Case
    {
        float cutoff, lfoToCutoff, lfoValue;
        double sampleRate;
        float expected;
    };
    const Case cases[] = {
        { 1000.0f, 0.0f, 1.0f, 44100.0, 1000.0f },    // no depth: exactly the knob
        { 1000.0f, 1.0f, 1.0f, 44100.0, 4000.0f },    // +2 octaves
        { 1000.0f, 1.0f, -1.0f, 44100.0, 250.0f },    // -2 octaves
        { 1000.0f, 0.5f, 1.0f, 44100.0, 2000.0f },    // +1 octave
        { 20000.0f, 0.0f, 0.0f, 44100.0, 19845.0f },  // 0.45 x 44100
        { 20000.0f, 1.0f, 1.0f, 192000.0, 80000.0f }, // a high rate leaves room above 20 kHz
        { 20000.0f, 0.0f, 0.0f, 22050.0, 9922.5f },
        { 20.0f, 1.0f, -1.0f, 44100.0, 20.0f },       // floor
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.cutoff << " Hz, depth " << c.lfoToCutoff << ", lfo " << c.lfoValue);
        EXPECT_FLOAT_EQ (FilterStage::cutoffFor (c.cutoff, c.lfoToCutoff, c.lfoValue, c.sampleRate), c.expected);
    }
}

namespace
{
float rmsOfSineThroughFilter (float frequency, float cutoff, int numChannels)
{
    constexpr double rate = 48000.0;
    gribb::TptLowpass filter;
    FilterStage::prepare (filter, rate);

    juce::AudioBuffer<float> buffer (numChannels, 4800);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, std::sin (juce::MathConstants<float>::twoPi * frequency * (float) i / (float) rate));

    FilterStage::process (filter, buffer, buffer.getNumSamples(), cutoff, 0.7071f);

    double sum = 0.0;
    for (int i = 2400; i < 4800; ++i)
        sum += (double) buffer.getSample (numChannels - 1, i) * buffer.getSample (numChannels - 1, i);
    return (float) std::sqrt (sum / 2400.0);
}
} // namespace

TEST (FilterStage, IsALowpassOnEveryChannel)
{
    for (int channels : { 1, 2 })
    {
        EXPECT_NEAR (rmsOfSineThroughFilter (100.0f, 4000.0f, channels), 0.7071f, 0.01f);
        EXPECT_LT (rmsOfSineThroughFilter (8000.0f, 250.0f, channels), 0.01f);
    }
}

TEST (FilterStage, StateRunsOnAcrossBlocks)
{
    gribb::TptLowpass whole, split;
    FilterStage::prepare (whole, 44100.0);
    FilterStage::prepare (split, 44100.0);

    juce::AudioBuffer<float> a (2, 300), b (2, 300);
    juce::Random random (5);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 300; ++i)
            a.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
    b.makeCopyOf (a);

    FilterStage::process (whole, a, 300, 900.0f, 3.0f);

    juce::AudioBuffer<float> first (b.getArrayOfWritePointers(), 2, 0, 100);
    juce::AudioBuffer<float> rest (b.getArrayOfWritePointers(), 2, 100, 200);
    FilterStage::process (split, first, 100, 900.0f, 3.0f);
    FilterStage::process (split, rest, 200, 900.0f, 3.0f);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 300; ++i)
            ASSERT_EQ (a.getSample (ch, i), b.getSample (ch, i)) << "channel " << ch << " sample " << i;
}

TEST (FilterStage, EmptyBlockChangesNothing)
{
    gribb::TptLowpass filter;
    FilterStage::prepare (filter, 44100.0);
    juce::AudioBuffer<float> buffer (2, 8);
    buffer.clear();
    buffer.setSample (0, 0, 1.0f);
    FilterStage::process (filter, buffer, 0, 1000.0f, 1.0f);
    EXPECT_EQ (buffer.getSample (0, 0), 1.0f);
    EXPECT_EQ (buffer.getSample (0, 1), 0.0f);
}
