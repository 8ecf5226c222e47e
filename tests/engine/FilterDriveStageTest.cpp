// The lowpass with drive and clip, held to JUCE's filter and oversampler around the engine's curve
// (support/ReferenceFilterAndDrive.h), on both of its paths: blocks up to the prepared size run in
// one pass, longer ones (and oversampling off) stage by stage.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/FilterDriveStage.h"
#include "support/ReferenceFilterAndDrive.h"
#include "support/SameSamples.h"

using gribb::DriveShaper;
using gribb::FilterDriveStage;

namespace
{
// Loud noise with quiet stretches and exact silence, so that states decay and snap to zero.
void fillInput (juce::AudioBuffer<float>& buffer, juce::Random& random, int blockIndex)
{
    const float level = blockIndex % 5 == 3 ? 0.0f : (blockIndex % 5 == 4 ? 1.0e-6f : 1.5f);
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, level * (random.nextFloat() * 2.0f - 1.0f));
}

FilterDriveStage::Settings settingsFor (float cutoff, float resonance, bool oversample, float drive, float hardClip)
{
    FilterDriveStage::Settings s;
    s.cutoffHz = cutoff;
    s.resonance = resonance;
    s.oversample = oversample;
    s.shaper = DriveShaper::fromParameters (drive, hardClip);
    return s;
}

juce::AudioBuffer<float> sine (int numChannels, int numSamples, float cyclesPerSample)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, std::sin (juce::MathConstants<float>::twoPi * cyclesPerSample * (float) i));
    return buffer;
}

// The amplitude of the component at `bin` cycles per numSamples, by a plain DFT sum.
double amplitudeAt (const float* samples, int numSamples, int bin)
{
    double re = 0.0, im = 0.0;
    for (int i = 0; i < numSamples; ++i)
    {
        const double angle = juce::MathConstants<double>::twoPi * bin * i / numSamples;
        re += samples[i] * std::cos (angle);
        im -= samples[i] * std::sin (angle);
    }
    return 2.0 * std::sqrt (re * re + im * im) / numSamples;
}
} // namespace

TEST (FilterDriveStage, CutoffFollowsTheLfoAndIsClamped)
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
        EXPECT_FLOAT_EQ (FilterDriveStage::cutoffFor (c.cutoff, c.lfoToCutoff, c.lfoValue, c.sampleRate), c.expected);
    }
}

// Block after block with the states carried on: sizes up to the prepared one (the one-pass path
// when oversampling), longer ones (pieces), oversampling switched on and off between blocks, mono
// and stereo, full and low ceilings.
TEST (FilterDriveStage, GivesTheSamplesOfJucesFilterAndOversamplerAroundTheCurve)
{
    struct Case
    {
        std::string name;
        int channels;
        float drive, hardClip, cutoff, resonance;
        std::vector<int> blockSizes;
        std::vector<bool> oversample;
    };
    const Case cases[] = {
        { "stereo, full ceiling", 2, 4.0f, 0.0f, 2500.0f, 8.0f, { 256, 1, 17, 255, 256 }, { true } },
        { "stereo, low ceiling", 2, 12.0f, 0.45f, 900.0f, 0.7f, { 256, 100, 3 }, { true } },
        { "mono, low ceiling", 1, 30.0f, 0.9f, 6000.0f, 10.0f, { 256, 33, 1 }, { true } },
        { "mono, full ceiling", 1, 1.0f, 0.0f, 19000.0f, 0.5f, { 7, 256 }, { true } },
        { "stereo, longer than prepared", 2, 6.0f, 0.2f, 3000.0f, 2.0f, { 257, 1000, 256, 4097 }, { true } },
        { "stereo, oversampling off", 2, 3.0f, 0.2f, 1200.0f, 4.0f, { 256, 64, 1000 }, { false } },
        { "stereo, switched on and off", 2, 8.0f, 0.1f, 700.0f, 6.0f, { 256, 100, 300 }, { true, false, true, true, false } },
        { "three channels", 3, 5.0f, 0.3f, 2000.0f, 1.0f, { 256, 500 }, { true, false } },
    };

    for (const auto& c : cases)
    {
        FilterDriveStage ours;
        ours.prepare (48000.0, 256);
        gribb::test::ReferenceFilterAndDrive reference;
        reference.prepare (48000.0, 256);
        juce::Random random (7);

        for (int block = 0; block < 40; ++block)
        {
            const int size = c.blockSizes[(size_t) block % c.blockSizes.size()];
            const bool oversample = c.oversample[(size_t) block % c.oversample.size()];
            const auto settings = settingsFor (c.cutoff, c.resonance, oversample, c.drive, c.hardClip);

            juce::AudioBuffer<float> mine (c.channels, size);
            fillInput (mine, random, block);
            juce::AudioBuffer<float> theirs (mine);

            ours.process (mine, size, settings);
            reference.process (theirs, size, c.cutoff, c.resonance, oversample, settings.shaper);
            ASSERT_TRUE (gribb::test::sameSamples (mine, theirs, -1, c.name + ", block " + std::to_string (block)));
        }
    }
}

// Driving a high tone hard makes harmonics above the host's Nyquist frequency. At the host rate
// they fold back as tones that are no harmonics of it; four times oversampled, the decimation
// filter removes them first. A delay or any other change that keeps the folded tones fails this.
// (The curve without a ceiling is smooth, so its harmonics fall off fast enough that none folds
// back at four times the rate either; a hard clip's would.)
TEST (FilterDriveStage, OversamplingRemovesTheFoldedBackHarmonicsOfTheDrive)
{
    constexpr int n = 4800;   // 0.1 s at 48 kHz: every tone below sits on a whole bin of 10 Hz
    constexpr int tone = 700; // 7 kHz
    // At 48 kHz harmonic 5 (35 kHz) folds back to 13 kHz, 7 (49 kHz) to 1 kHz and 9 (63 kHz) to
    // 15 kHz: all 1 kHz away from a multiple of 7 kHz. At 192 kHz the harmonics that fold back
    // land 3 kHz away from one, so these bins measure the host-rate folding alone.
    const int folded[] = { 1300, 100, 1500 };
    double toneLevel[2] {}, foldedLevel[2] {};
    for (int oversample : { 0, 1 })
    {
        FilterDriveStage stage;
        stage.prepare (48000.0, n);
        const auto settings = settingsFor (20000.0f, 0.5f, oversample == 1, 8.0f, 0.0f);
        auto buffer = sine (1, n, (float) tone / (float) n);
        stage.process (buffer, n, settings); // the filters settle
        buffer = sine (1, n, (float) tone / (float) n);
        stage.process (buffer, n, settings);

        toneLevel[oversample] = amplitudeAt (buffer.getReadPointer (0), n, tone);
        for (int bin : folded)
            foldedLevel[oversample] = std::max (foldedLevel[oversample], amplitudeAt (buffer.getReadPointer (0), n, bin));
    }

    EXPECT_GT (foldedLevel[0], 0.05) << "the drive at the host rate folds harmonics back";
    EXPECT_LT (foldedLevel[1], foldedLevel[0] / 100.0) << "four times oversampled, they are 40 dB lower";
    EXPECT_NEAR (toneLevel[1], toneLevel[0], 0.1 * toneLevel[0]) << "the tone itself is the same";
}

TEST (FilterDriveStage, EmptyBlocksAndBlocksBeforePrepareAreSafe)
{
    FilterDriveStage unprepared; // oversampling asked for, but there is no oversampler yet
    juce::AudioBuffer<float> buffer (2, 300);
    juce::Random random (2);
    fillInput (buffer, random, 0);
    unprepared.process (buffer, 300, settingsFor (1000.0f, 1.0f, true, 10.0f, 0.5f));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 300; ++i)
            ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));

    FilterDriveStage stage;
    stage.prepare (44100.0, 32);
    auto untouched = sine (2, 16, 0.01f);
    const auto copy = untouched;
    stage.process (untouched, 0, settingsFor (1000.0f, 1.0f, true, 10.0f, 0.5f));
    EXPECT_TRUE (gribb::test::sameSamples (untouched, copy));
    EXPECT_TRUE (stage.isSilent (true));
}

// Silence through a stage whose states are zero gives exact silence and leaves them at zero: what
// lets the engine skip it. A loud block leaves the states running until silence runs them down.
TEST (FilterDriveStage, IsSilentOnlyWhenThePathsStatesAreZero)
{
    FilterDriveStage stage;
    stage.prepare (48000.0, 128);
    EXPECT_TRUE (stage.isSilent (true));

    auto loud = sine (2, 128, 0.05f);
    stage.process (loud, 128, settingsFor (800.0f, 5.0f, true, 4.0f, 0.0f));
    EXPECT_FALSE (stage.isSilent (false));
    EXPECT_FALSE (stage.isSilent (true));

    int blocks = 0;
    while (! stage.isSilent (true) && blocks < 2000)
    {
        juce::AudioBuffer<float> silence (2, 128);
        silence.clear();
        stage.process (silence, 128, settingsFor (800.0f, 5.0f, true, 4.0f, 0.0f));
        ++blocks;
    }
    EXPECT_TRUE (stage.isSilent (true));

    juce::AudioBuffer<float> silence (2, 128);
    silence.clear();
    stage.process (silence, 128, settingsFor (800.0f, 5.0f, true, 4.0f, 0.0f));
    EXPECT_EQ (silence.getMagnitude (0, 128), 0.0f);
    EXPECT_TRUE (stage.isSilent (true));
}
