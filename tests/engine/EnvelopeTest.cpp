// The voice's envelope renders blocks of values at once. It must give exactly the values of
// juce::ADSR, sample for sample, through every stage change: notes started from the current level,
// releases from wherever the key went up, new parameters in the middle of a stage.
#include <gtest/gtest.h>

#include <vector>

#include "engine/Envelope.h"

namespace
{
struct Settings
{
    float attack, decay, sustain, release;
};

// Runs the same random script of note-ons, note-offs, parameter changes and renders of random
// lengths (one sample among them) through both envelopes; the blocks come from render() on one
// side and from juce::ADSR::getNextSample() one by one on the other.
void compareScripts (const Settings& base, double rate, int seed)
{
    juce::ADSR reference;
    gribb::Envelope envelope;
    reference.setSampleRate (rate);
    envelope.setSampleRate (rate);

    const juce::ADSR::Parameters first { base.attack, base.decay, base.sustain, base.release };
    reference.setParameters (first);
    envelope.setParameters (first);

    juce::Random random (seed);
    std::vector<float> block (700);
    long position = 0;
    for (int step = 0; step < 400; ++step)
    {
        switch (random.nextInt (10))
        {
            case 0:
                reference.noteOn();
                envelope.noteOn();
                break;
            case 1:
                reference.noteOff();
                envelope.noteOff();
                break;
            case 2:
            {
                // Mostly the base settings (what the engine pushes every block), sometimes
                // others: shorter, zero-length stages, a sustain of 0 or 1.
                juce::ADSR::Parameters p = first;
                if (random.nextBool())
                {
                    const float choices[] = { 0.0f, 0.0005f, 0.003f, 0.02f };
                    p.attack = choices[random.nextInt (4)];
                    p.decay = choices[random.nextInt (4)];
                    p.release = choices[random.nextInt (4)];
                    const float levels[] = { 0.0f, 0.3f, 1.0f };
                    p.sustain = levels[random.nextInt (3)];
                }
                reference.setParameters (p);
                envelope.setParameters (p);
                break;
            }
            case 3:
            {
                // A single value.
                const float expected = reference.getNextSample();
                float value = 0.0f;
                envelope.render (&value, 1);
                ASSERT_EQ (value, expected) << "sample " << position;
                ++position;
                break;
            }
            default:
            {
                const int n = random.nextInt (700);
                envelope.render (block.data(), n);
                for (int i = 0; i < n; ++i)
                    ASSERT_EQ (block[(size_t) i], reference.getNextSample()) << "sample " << position + i;
                position += n;
                break;
            }
        }
        ASSERT_EQ (envelope.isActive(), reference.isActive()) << "after step " << step;
    }
}
} // namespace

TEST (Envelope, RendersExactlyJuceAdsrValuesThroughEveryStageChange)
{
    const Settings cases[] = {
        { 0.01f, 0.05f, 0.6f, 0.02f },  // every stage
        { 0.0f, 0.01f, 0.5f, 0.01f },   // no attack
        { 0.0f, 0.0f, 0.7f, 0.005f },   // straight to the sustain
        { 0.002f, 0.004f, 0.0f, 0.01f }, // sustain 0: a release from the decay
        { 0.005f, 0.01f, 1.0f, 0.0f },  // no decay distance, no release time
        { 0.0005f, 0.0005f, 0.25f, 0.0005f }, // stages a few samples long
    };
    int seed = 1;
    for (const auto& c : cases)
        for (double rate : { 22050.0, 48000.0, 192000.0 })
        {
            SCOPED_TRACE (testing::Message() << "adsr " << c.attack << " " << c.decay << " " << c.sustain << " "
                                             << c.release << " at " << rate);
            compareScripts (c, rate, seed++);
        }
}
