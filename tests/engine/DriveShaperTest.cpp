#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include <vector>

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/DriveShaper.h"
#include "support/ReferenceCurves.h"

using gribb::DriveShaper;

namespace
{
juce::AudioBuffer<float> unitSine (int numChannels, int numSamples, float cyclesPerSample = 1.0f / 64.0f)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, std::sin (juce::MathConstants<float>::twoPi * cyclesPerSample * (float) i
                                               + (float) ch));
    return buffer;
}

juce::AudioBuffer<float> noise (int numChannels, int numSamples, int seed)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    juce::Random random (seed);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
    return buffer;
}

} // namespace

TEST (DriveShaper, ConstantsFromParameters)
{
    struct Case
    {
        float drive, hardClip, gain, ceiling;
    };
    const Case cases[] = { { 1.0f, 0.0f, 1.0f, 1.0f },   { 0.5f, 0.0f, 1.0f, 1.0f }, { 50.0f, 1.0f, 50.0f, 0.05f },
                           { 10.0f, 0.5f, 10.0f, 0.525f }, { 1.0f, -0.3f, 1.0f, 1.0f }, { 1.0f, 2.0f, 1.0f, 0.05f } };
    for (const auto& c : cases)
    {
        const auto s = DriveShaper::fromParameters (c.drive, c.hardClip);
        EXPECT_FLOAT_EQ (s.driveGain, c.gain);
        EXPECT_FLOAT_EQ (s.clipCeiling, c.ceiling);
    }
}

TEST (DriveShaper, UnitSinePeaksAreAsymmetric)
{
    auto buffer = unitSine (1, 256);
    DriveShaper::fromParameters (1.0f, 0.0f).process (buffer.getWritePointer (0), 256);
    const auto range = juce::FloatVectorOperations::findMinAndMax (buffer.getReadPointer (0), 256);
    EXPECT_NEAR (range.getEnd(), 1.0f - std::exp (-1.0f), 1.0e-6f);   // about 0.632
    EXPECT_NEAR (range.getStart(), std::exp (-0.85f) - 1.0f, 1.0e-6f); // about -0.573
    EXPECT_NEAR (range.getEnd(), 0.632f, 0.001f);
    EXPECT_NEAR (range.getStart(), -0.573f, 0.001f);
}

TEST (DriveShaper, HardClipOneKeepsEverySampleWithinTheCeiling)
{
    auto buffer = noise (1, 4096, 3);
    buffer.applyGain (40.0f);
    const auto shaper = DriveShaper::fromParameters (50.0f, 1.0f);
    shaper.process (buffer.getWritePointer (0), 4096);
    const auto range = juce::FloatVectorOperations::findMinAndMax (buffer.getReadPointer (0), 4096);
    const float ceiling = 1.0f - 0.95f; // 0.05 in float
    EXPECT_GE (range.getStart(), -ceiling);
    EXPECT_LE (range.getEnd(), ceiling);
    EXPECT_FLOAT_EQ (range.getEnd(), 0.05f);
    EXPECT_FLOAT_EQ (range.getStart(), -0.05f);
}

TEST (DriveShaper, SilenceStaysExactlySilent)
{
    for (float drive : { 1.0f, 50.0f })
        for (float clip : { 0.0f, 1.0f })
        {
            const auto shaper = DriveShaper::fromParameters (drive, clip);
            float block[37] = {};
            shaper.process (block, 37);
            for (float v : block)
                EXPECT_EQ (v, 0.0f);
            EXPECT_EQ (gribb::test::referenceDrive (shaper, 0.0f), 0.0f);
        }
}

// The block path uses a vectorisable exponential; it must agree with the plain per-sample curve
// (expf) to float rounding over the whole input range and every drive and ceiling.
TEST (DriveShaper, BlockPathMatchesThePlainCurve)
{
    constexpr int n = 20001;
    std::vector<float> input ((size_t) n);
    for (int i = 0; i < n; ++i)
        input[(size_t) i] = -3.0f + 6.0f * (float) i / (float) (n - 1);
    input.push_back (std::numeric_limits<float>::infinity());
    input.push_back (-std::numeric_limits<float>::infinity());
    input.push_back (1.0e30f);
    input.push_back (-1.0e-30f);

    for (float drive : { 1.0f, 2.5f, 50.0f })
        for (float clip : { 0.0f, 0.37f, 1.0f })
        {
            const auto shaper = DriveShaper::fromParameters (drive, clip);
            auto block = input;
            shaper.process (block.data(), (int) block.size());
            for (size_t i = 0; i < block.size(); ++i)
                ASSERT_NEAR (block[i], gribb::test::referenceDrive (shaper, input[i]), 2.0e-7f)
                    << "input " << input[i] << " drive " << drive << " clip " << clip;
        }
}

// The curve leaves out a clamp to -1..1 after the exponential, on the grounds that the curve never
// leaves that range: checked here on every 4093rd float bit pattern (both signs, zeros, denormals,
// infinities and NaNs included) and every drive and ceiling, on the scalar and the 8-lane forms.
TEST (DriveShaper, CurveStaysWithinPlusMinusOneForEveryInput)
{
    for (float drive : { 1.0f, 7.3f, 50.0f })
        for (float clip : { 0.0f, 0.6f })
        {
            const auto shaper = DriveShaper::fromParameters (drive, clip);
            for (std::uint64_t bits = 0; bits <= 0xffffffffull; bits += 4093)
            {
                const auto pattern = (std::uint32_t) bits;
                float x;
                std::memcpy (&x, &pattern, sizeof (x));
                const float s = shaper.hasFullCeiling() ? shaper.shapeValues<false> (x) : shaper.shapeValues<true> (x);
                if (std::isnan (x))
                    ASSERT_TRUE (std::isnan (s));
                else
                    ASSERT_TRUE (s >= -1.0f && s <= 1.0f) << "input " << x << " gives " << s;

                const gribb::Float8 lanes = { x, -x, 0.5f * x, 2.0f * x, x, x, x, x };
                const gribb::Float8 shaped = shaper.hasFullCeiling() ? shaper.shapeValues<false> (lanes)
                                                                     : shaper.shapeValues<true> (lanes);
                for (int lane = 0; lane < 8; ++lane)
                {
                    const float expected = shaper.hasFullCeiling() ? shaper.shapeValues<false> (lanes[lane])
                                                                   : shaper.shapeValues<true> (lanes[lane]);
                    ASSERT_TRUE (std::memcmp (&expected, &shaped[lane], sizeof (float)) == 0 || (std::isnan (expected) && std::isnan (shaped[lane])))
                        << "lane " << lane << " input " << lanes[lane];
                }
            }
        }
}
