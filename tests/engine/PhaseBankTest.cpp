// The bank steps many phases in vector lanes; every lane must record exactly the phases of the
// plain per-sample step, including increments of 1 and more (several wraps a sample).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <juce_core/juce_core.h>

#include "engine/PhaseBank.h"
#include "support/ReferenceOscillator.h"

using gribb::PhaseBank;

TEST (PhaseBank, EveryLaneRecordsThePhasesOfTheScalarStep)
{
    struct Case
    {
        const char* name;
        int lanes;
        int lengths[3];
        bool withLargeIncrements;
    };
    const Case cases[] = {
        { "all lanes, full steps", PhaseBank::maxLanes, { 64, 64, 64 }, false },
        { "odd lane count, short steps", 13, { 1, 7, 33 }, false },
        { "five groups", 40, { 64, 9, 64 }, false },
        { "modulators above the sample rate", 24, { 64, 5, 64 }, true },
    };

    for (const auto& c : cases)
    {
        PhaseBank bank;
        float expected[PhaseBank::maxLanes] {}, increments[PhaseBank::maxLanes] {};
        juce::Random random (31);
        for (int lane = 0; lane < c.lanes; ++lane)
        {
            // Audio-rate increments from 1 Hz to 20 kHz at 22.05 to 192 kHz, a few exact values,
            // and with large ones up to twelve times above the rate.
            float increment = std::pow (10.0f, -5.3f + 5.2f * random.nextFloat());
            if (lane % 7 == 3)
                increment = lane % 2 == 0 ? 0.5f : 0.0f;
            if (c.withLargeIncrements && lane % 3 == 0)
                increment = 1.0f + 11.0f * random.nextFloat();
            increments[lane] = increment;
            expected[lane] = lane % 5 == 0 ? 0.0f : random.nextFloat() * 0.999f;
            ASSERT_EQ (bank.addLane (expected[lane], increment), lane);
        }

        for (int length : c.lengths)
        {
            bank.step (length);
            for (int lane = 0; lane < c.lanes; ++lane)
                for (int i = 0; i < length; ++i)
                {
                    ASSERT_EQ (std::memcmp (&bank.record (lane)[i], &expected[lane], sizeof (float)), 0)
                        << c.name << ": lane " << lane << " sample " << i << ": " << bank.record (lane)[i] << " vs "
                        << expected[lane];
                    expected[lane] = gribb::test::referenceStepPhase (expected[lane], increments[lane]);
                }
            for (int lane = 0; lane < c.lanes; ++lane)
                ASSERT_EQ (bank.phase (lane), expected[lane]) << c.name << ": lane " << lane << " after the step";
        }
    }
}

TEST (PhaseBank, NothingToStepChangesNothing)
{
    PhaseBank bank;
    ASSERT_EQ (bank.addLane (0.25f, 0.1f), 0);
    bank.step (0);
    EXPECT_EQ (bank.phase (0), 0.25f);
    bank.clear();
    bank.step (64); // no lanes
}

// The bank steps its lanes in runs of 32; the lanes it adds to fill a run must stand still, even
// after a render that used them with increments of its own.
TEST (PhaseBank, LanesBeyondTheRendersOwnStandStill)
{
    PhaseBank bank;
    for (int lane = 0; lane < PhaseBank::maxLanes; ++lane)
        bank.addLane (0.5f, 0.75f);
    bank.step (64);

    bank.clear();
    ASSERT_EQ (bank.addLane (0.0f, 0.25f), 0);
    bank.step (8);
    EXPECT_EQ (bank.phase (0), 0.0f); // eight quarter steps: two whole cycles
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (bank.record (0)[i], 0.25f * (float) (i % 4));
}

TEST (PhaseBank, AFullBankTakesNoMoreLanes)
{
    PhaseBank bank;
    for (int lane = 0; lane < PhaseBank::maxLanes; ++lane)
        ASSERT_EQ (bank.addLane (0.0f, 0.01f), lane);
    EXPECT_EQ (bank.addLane (0.0f, 0.01f), -1);
}
