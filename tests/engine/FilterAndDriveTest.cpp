// The lowpass run inside the upsampling loop must give, bit for bit, what the lowpass and the drive
// stage give one after the other, block after block, with the states carried between blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/DriveStage.h"
#include "engine/FilterAndDrive.h"
#include "engine/FilterStage.h"

using namespace gribb;

namespace
{
struct Chain
{
    TptLowpass filter;
    std::unique_ptr<HalfBandOversampler> oversampler;
    int preparedBlock = 0;

    Chain (double rate, int block) : oversampler (DriveStage::createOversampler (block)), preparedBlock (block)
    {
        FilterStage::prepare (filter, rate);
    }
};

// Loud noise with quiet stretches and exact silence, so that states decay and snap to zero.
void fillInput (juce::AudioBuffer<float>& buffer, juce::Random& random, int blockIndex)
{
    const float level = blockIndex % 5 == 3 ? 0.0f : (blockIndex % 5 == 4 ? 1.0e-6f : 1.5f);
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * (random.nextFloat() * 2.0f - 1.0f));
}
} // namespace

TEST (FilterAndDrive, OnePassGivesTheSamplesOfTheStagesOneAfterTheOther)
{
    struct Case
    {
        std::string name;
        int channels;
        float drive, hardClip, cutoff, resonance;
        std::vector<int> blockSizes;
    };
    const Case cases[] = {
        { "stereo, full ceiling", 2, 4.0f, 0.0f, 2500.0f, 8.0f, { 256, 1, 17, 255, 256 } },
        { "stereo, low ceiling", 2, 12.0f, 0.45f, 900.0f, 0.7f, { 256, 100, 3 } },
        { "mono, low ceiling", 1, 30.0f, 0.9f, 6000.0f, 10.0f, { 256, 33, 1 } },
        { "mono, full ceiling", 1, 1.0f, 0.0f, 19000.0f, 0.5f, { 7, 256 } },
    };

    for (const auto& c : cases)
    {
        Chain fused (48000.0, 256), plain (48000.0, 256);
        juce::Random random (7);
        const auto shaper = DriveShaper::fromParameters (c.drive, c.hardClip);

        for (int block = 0; block < 40; ++block)
        {
            const int size = c.blockSizes[(size_t) block % c.blockSizes.size()];
            ASSERT_TRUE (FilterAndDrive::runsAsOnePass (size, c.channels, 2, fused.oversampler.get(), fused.preparedBlock));

            juce::AudioBuffer<float> ours (c.channels, size);
            fillInput (ours, random, block);
            juce::AudioBuffer<float> theirs (ours);

            FilterAndDrive::process (fused.filter, c.cutoff, c.resonance, ours, size, 2, shaper, fused.oversampler.get(),
                                     fused.preparedBlock);
            FilterStage::process (plain.filter, theirs, size, c.cutoff, c.resonance);
            DriveStage::process (theirs, size, 2, shaper, plain.oversampler.get(), plain.preparedBlock);

            for (int ch = 0; ch < c.channels; ++ch)
                for (int i = 0; i < size; ++i)
                    ASSERT_EQ (ours.getSample (ch, i), theirs.getSample (ch, i))
                        << c.name << ": block " << block << " channel " << ch << " sample " << i;
            ASSERT_EQ (std::memcmp (&fused.filter.s1, &plain.filter.s1, sizeof (Float2)), 0) << c.name;
            ASSERT_EQ (std::memcmp (&fused.filter.s2, &plain.filter.s2, sizeof (Float2)), 0) << c.name;
            ASSERT_EQ (fused.oversampler->isSilent(), plain.oversampler->isSilent()) << c.name << ": block " << block;
        }
    }
}

TEST (FilterAndDrive, OnlyBlocksThatFitTheOversamplerRunAsOnePass)
{
    Chain chain (44100.0, 128);
    auto* os = chain.oversampler.get();
    struct Case
    {
        int numSamples, channels, oversample;
        const HalfBandOversampler* oversampler;
        bool onePass;
    };
    const Case cases[] = {
        { 128, 2, 2, os, true },       { 1, 1, 1, os, true },          { 129, 2, 2, os, false }, // longer than prepared
        { 0, 2, 2, os, false },        { 64, 2, 0, os, false },        { 64, 2, 2, nullptr, false },
        { 64, 3, 2, os, false },       { 64, 0, 2, os, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (FilterAndDrive::runsAsOnePass (c.numSamples, c.channels, c.oversample, c.oversampler, 128), c.onePass)
            << c.numSamples << " samples, " << c.channels << " channels, choice " << c.oversample;
}
