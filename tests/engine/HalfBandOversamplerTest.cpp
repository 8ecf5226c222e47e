// The oversampler runs the two 2x stages of each direction fused in one loop, with the section
// counts of its designs fixed. Its output must be that of the stages run one after the other, bit
// for bit, and that of JUCE's own polyphase IIR oversampler with the same design.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <juce_dsp/juce_dsp.h>

#include "engine/HalfBandOversampler.h"
#include "support/SameSamples.h"
#include "support/StagedHalfBand.h"

using gribb::HalfBandOversampler;

namespace
{
// The shape between up and down, as the drive does.
void shape (float* samples, int count)
{
    for (int i = 0; i < count; ++i)
        samples[i] = std::tanh (3.0f * samples[i]);
}

// Noise bursts, a sine, and from sample 800 of round 2 on silence, so that states decay and snap
// to zero.
void fill (std::vector<float>& left, std::vector<float>& right, juce::Random& random, long position, int round)
{
    for (size_t i = 0; i < left.size(); ++i)
    {
        const bool silent = round == 2 && position + (long) i > 800;
        left[i] = silent ? 0.0f : random.nextFloat() * 2.0f - 1.0f;
        right[i] = silent ? 0.0f : std::sin (0.3f * (float) (position + (long) i));
    }
}

const int blockSizes[] = { 1, 700, 333, 64, 2, 0, 517, 700, 700, 700, 700, 700, 700, 45 };
} // namespace

// The loops are written for these section counts; a design with others would need new ones.
TEST (HalfBandOversampler, DesignsHaveTheSectionCountsTheLoopsAreBuiltFor)
{
    HalfBandOversampler oversampler;
    oversampler.prepare (16);
    struct Case
    {
        const gribb::HalfBandSteps::Stage& stage;
        int sections;
        bool lastIsDirectOnly;
    };
    const Case cases[] = { { oversampler.upStage (0), 4, true },
                           { oversampler.upStage (1), 3, true },
                           { oversampler.downStage (1), 2, false },
                           { oversampler.downStage (0), 3, false } };
    for (const auto& c : cases)
    {
        EXPECT_EQ (c.stage.sections, c.sections);
        EXPECT_EQ (c.stage.lastIsDirectOnly, c.lastIsDirectOnly);
    }
}

TEST (HalfBandOversampler, FusedStagesGiveTheSamplesOfStageByStage)
{
    HalfBandOversampler oversampler;
    oversampler.prepare (700);
    gribb::test::StagedOversampler staged;

    juce::Random random (7);
    long position = 0;
    for (int round = 0; round < 3; ++round)
        for (int n : blockSizes)
        {
            std::vector<float> left ((size_t) n), right ((size_t) n), pairs ((size_t) (2 * n)), quad ((size_t) (8 * n));
            fill (left, right, random, position, round);
            for (int i = 0; i < n; ++i)
            {
                pairs[(size_t) (2 * i)] = left[(size_t) i];
                pairs[(size_t) (2 * i + 1)] = right[(size_t) i];
            }

            float* q = oversampler.up ([&] (int i) { return gribb::Float2 { left[(size_t) i], right[(size_t) i] }; }, n);
            shape (q, 8 * n);
            oversampler.down (left.data(), right.data(), n);

            staged.processUp (pairs.data(), quad.data(), n);
            shape (quad.data(), 8 * n);
            staged.processDown (quad.data(), pairs.data(), n);

            std::vector<float> stagedLeft ((size_t) n), stagedRight ((size_t) n);
            for (int i = 0; i < n; ++i)
            {
                stagedLeft[(size_t) i] = pairs[(size_t) (2 * i)];
                stagedRight[(size_t) i] = pairs[(size_t) (2 * i + 1)];
            }
            ASSERT_TRUE (gribb::test::sameSamples (left.data(), stagedLeft.data(), n, "left at " + std::to_string (position)));
            ASSERT_TRUE (gribb::test::sameSamples (right.data(), stagedRight.data(), n, "right at " + std::to_string (position)));
            position += n;
        }
    EXPECT_TRUE (oversampler.isSilent()); // the silence at the end ran every state down to zero
}

// JUCE's oversampler with the settings the design copies: two 2x stages, polyphase IIR, maximum
// quality, no integer-latency delay. Mono blocks too: the right lane then runs on silence.
TEST (HalfBandOversampler, GivesTheSamplesOfJucesOversampling)
{
    for (int channels : { 2, 1 })
    {
        SCOPED_TRACE (channels);
        HalfBandOversampler ours;
        ours.prepare (700);
        juce::dsp::Oversampling<float> juces ((size_t) channels, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR,
                                              true, false);
        juces.initProcessing (700);
        juces.reset();

        juce::Random random (11);
        long position = 0;
        for (int round = 0; round < 3; ++round)
            for (int n : blockSizes)
            {
                if (n == 0)
                    continue; // JUCE's oversampler wants at least one sample
                std::vector<float> left ((size_t) n), right ((size_t) n);
                fill (left, right, random, position, round);
                juce::AudioBuffer<float> theirs (channels, n);
                theirs.copyFrom (0, 0, left.data(), n);
                if (channels == 2)
                    theirs.copyFrom (1, 0, right.data(), n);

                float* q = ours.up ([&] (int i) { return gribb::Float2 { left[(size_t) i], channels == 2 ? right[(size_t) i] : 0.0f }; }, n);
                shape (q, 8 * n);
                ours.down (left.data(), channels == 2 ? right.data() : nullptr, n);

                juce::dsp::AudioBlock<float> block (theirs);
                auto up = juces.processSamplesUp (block);
                for (size_t ch = 0; ch < up.getNumChannels(); ++ch)
                    shape (up.getChannelPointer (ch), (int) up.getNumSamples());
                juces.processSamplesDown (block);

                ASSERT_TRUE (gribb::test::sameSamples (left.data(), theirs.getReadPointer (0), n, "left at " + std::to_string (position)));
                if (channels == 2)
                    ASSERT_TRUE (gribb::test::sameSamples (right.data(), theirs.getReadPointer (1), n, "right at " + std::to_string (position)));
                position += n;
            }
    }
}
