// The bank steps many phases in vector lanes; every lane must record exactly the phases the
// voice's own scalar step gives, including increments of 1 and more (several wraps a sample).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include <juce_core/juce_core.h>

#include "engine/PhaseBank.h"
#include "engine/VoiceOscillator.h"

using gribb::PhaseBank;
using gribb::VoiceOscillator;

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
        float expected[PhaseBank::maxLanes] {};
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
            bank.increments[lane] = increment;
            bank.phases[lane] = lane % 5 == 0 ? 0.0f : random.nextFloat() * 0.999f;
            expected[lane] = bank.phases[lane];
        }

        for (int length : c.lengths)
        {
            bank.step (c.lanes, length);
            for (int lane = 0; lane < c.lanes; ++lane)
                for (int i = 0; i < length; ++i)
                {
                    ASSERT_EQ (std::memcmp (&bank.records[lane][i], &expected[lane], sizeof (float)), 0)
                        << c.name << ": lane " << lane << " sample " << i << ": " << bank.records[lane][i] << " vs "
                        << expected[lane];
                    expected[lane] = VoiceOscillator::stepPhase (expected[lane], bank.increments[lane]);
                }
            for (int lane = 0; lane < c.lanes; ++lane)
                ASSERT_EQ (bank.phases[lane], expected[lane]) << c.name << ": lane " << lane << " after the step";
        }
    }
}

TEST (PhaseBank, NothingToStepChangesNothing)
{
    PhaseBank bank;
    bank.phases[0] = 0.25f;
    bank.increments[0] = 0.1f;
    bank.step (0, 64);
    bank.step (4, 0);
    EXPECT_EQ (bank.phases[0], 0.25f);
}
