// The stereo TPT lowpass copies the arithmetic of JUCE's StateVariableTPTFilter in lowpass mode,
// two channels in one vector. It must give JUCE's samples bit for bit, block after block.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include <juce_dsp/juce_dsp.h>

#include "engine/TptLowpass.h"
#include "support/SameSamples.h"

using gribb::TptLowpass;

TEST (TptLowpass, GivesTheSamplesOfJucesStateVariableTptFilter)
{
    struct Case
    {
        const char* name;
        int channels;
        double rate;
    };
    const Case cases[] = { { "stereo at 48 kHz", 2, 48000.0 }, { "mono at 44.1 kHz", 1, 44100.0 },
                           { "stereo at 192 kHz", 2, 192000.0 }, { "stereo at 22.05 kHz", 2, 22050.0 } };
    for (const auto& c : cases)
    {
        TptLowpass ours;
        ours.prepare (c.rate);
        juce::dsp::StateVariableTPTFilter<float> juces;
        juces.prepare ({ c.rate, 1, 2 });
        juces.setType (juce::dsp::StateVariableTPTFilterType::lowpass);
        juces.reset();

        juce::Random random (3);
        for (int block = 0; block < 60; ++block)
        {
            // A new cutoff and resonance every block, as the LFO and the knobs give them; loud
            // noise, a quiet stretch and exact silence, so that states decay and snap to zero.
            const float cutoff = 20.0f * std::pow (2.0f, 10.0f * random.nextFloat());
            const float cutoffHz = juce::jmin (cutoff, (float) (0.45 * c.rate));
            const float resonance = 0.5f + 9.5f * random.nextFloat();
            const int n = block % 7 == 0 ? 1 : random.nextInt (600);
            const float level = block % 5 == 3 ? 0.0f : (block % 5 == 4 ? 1.0e-6f : 1.5f);

            juce::AudioBuffer<float> mine (c.channels, n);
            for (int ch = 0; ch < c.channels; ++ch)
                for (int i = 0; i < n; ++i)
                    mine.setSample (ch, i, level * (random.nextFloat() * 2.0f - 1.0f));
            juce::AudioBuffer<float> theirs (mine);

            ours.process (TptLowpass::coefficientsFor (cutoffHz, resonance, c.rate), mine.getWritePointer (0),
                          c.channels > 1 ? mine.getWritePointer (1) : nullptr, n);
            juces.setCutoffFrequency (cutoffHz);
            juces.setResonance (resonance);
            if (n > 0)
            {
                juce::dsp::AudioBlock<float> audio (theirs);
                juces.process (juce::dsp::ProcessContextReplacing<float> (audio));
            }
            ASSERT_TRUE (gribb::test::sameSamples (mine, theirs, -1, std::string (c.name) + ", block " + std::to_string (block)));
        }
        EXPECT_FALSE (ours.isSilent()) << c.name << ": the last block was loud";
    }
}

TEST (TptLowpass, SilenceRunsTheStatesDownToExactlyZero)
{
    TptLowpass filter;
    filter.prepare (48000.0);
    const auto c = TptLowpass::coefficientsFor (1000.0f, 8.0f, 48000.0);
    float left[256], right[256];
    for (int i = 0; i < 256; ++i)
        left[i] = right[i] = i % 2 == 0 ? 1.0f : -1.0f;
    filter.process (c, left, right, 256);
    ASSERT_FALSE (filter.isSilent());

    int blocks = 0;
    while (! filter.isSilent() && blocks < 1000)
    {
        std::fill (left, left + 256, 0.0f);
        std::fill (right, right + 256, 0.0f);
        filter.process (c, left, right, 256);
        ++blocks;
    }
    EXPECT_TRUE (filter.isSilent()) << "the resonant ring never reached zero";
    EXPECT_LT (blocks, 1000);
}
