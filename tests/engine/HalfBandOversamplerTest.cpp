// The oversampler runs its two 2x stages fused in one loop. Its output must be that of the stages
// run one after the other, bit for bit, over blocks of any length, into silence and out again.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <juce_core/juce_core.h>

#include "engine/HalfBandOversampler.h"

namespace
{
using Stage = gribb::HalfBandOversampler::Stage;

// The stage settings of HalfBandOversampler::prepare, run stage by stage.
struct StagewiseOversampler
{
    Stage up[2], down[2];

    StagewiseOversampler()
    {
        for (int n = 0; n < 2; ++n)
        {
            up[n].design (0.10f * (n == 0 ? 0.5f : 1.0f), -90.0f + 10.0f * (float) n);
            down[n].design (0.12f * (n == 0 ? 0.5f : 1.0f), -75.0f + 10.0f * (float) n);
        }
    }

    void process (std::vector<float>& pairs, std::vector<float>& quad, int numSamples)
    {
        std::vector<float> twice ((size_t) (4 * numSamples));
        up[0].up (pairs.data(), twice.data(), numSamples);
        up[0].snapStateToZero();
        up[1].up (twice.data(), quad.data(), 2 * numSamples);
        up[1].snapStateToZero();
        for (auto& q : quad)
            q = std::tanh (3.0f * q); // something to shape in between, as the drive does
        down[1].down (quad.data(), twice.data(), 2 * numSamples);
        down[1].snapStateToZero();
        down[0].down (twice.data(), pairs.data(), numSamples);
        down[0].snapStateToZero();
    }
};
} // namespace

TEST (HalfBandOversampler, FusedStagesGiveTheSamplesOfStageByStage)
{
    gribb::HalfBandOversampler oversampler;
    oversampler.prepare (700);
    StagewiseOversampler stagewise;

    juce::Random random (7);
    long position = 0;
    const int blockSizes[] = { 1, 700, 333, 64, 2, 0, 517, 700, 700, 700, 700, 700, 700, 45 };
    for (int round = 0; round < 3; ++round)
        for (int n : blockSizes)
        {
            std::vector<float> left ((size_t) n), right ((size_t) n), pairs ((size_t) (2 * n)), quad ((size_t) (8 * n));
            // Noise bursts, a resonant-looking sine, and silence (round 2 after the first blocks).
            for (int i = 0; i < n; ++i)
            {
                const bool silent = round == 2 && position + i > 800;
                left[(size_t) i] = silent ? 0.0f : random.nextFloat() * 2.0f - 1.0f;
                right[(size_t) i] = silent ? 0.0f : std::sin (0.3f * (float) (position + i));
                pairs[(size_t) (2 * i)] = left[(size_t) i];
                pairs[(size_t) (2 * i + 1)] = right[(size_t) i];
            }

            float* q = oversampler.processUp (left.data(), right.data(), n);
            for (int i = 0; i < 8 * n; ++i)
                q[i] = std::tanh (3.0f * q[i]);
            oversampler.processDown (left.data(), right.data(), n);
            stagewise.process (pairs, quad, n);

            for (int i = 0; i < n; ++i)
            {
                ASSERT_EQ (left[(size_t) i], pairs[(size_t) (2 * i)]) << "sample " << position + i;
                ASSERT_EQ (right[(size_t) i], pairs[(size_t) (2 * i + 1)]) << "sample " << position + i;
            }
            position += n;
        }
    EXPECT_TRUE (oversampler.isSilent()); // the silence at the end ran every state down to zero
}
