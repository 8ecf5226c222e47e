#include <gtest/gtest.h>

#include "support/ChainTestSupport.h"
#include "support/ProcessorAccess.h"
#include "support/SameSamples.h"

using namespace gribb::test;

TEST (ProcessorChain, EveryCornerOfEveryRangeAtOnceStaysFinite)
{
    const int numParams = gribb::numParameters;

    // All at the bottom, all at the top, alternating both ways, then seeded random corners.
    std::vector<std::vector<bool>> corners;
    corners.emplace_back ((size_t) numParams, false);
    corners.emplace_back ((size_t) numParams, true);
    std::vector<bool> alternate ((size_t) numParams);
    for (int i = 0; i < numParams; ++i)
        alternate[(size_t) i] = (i % 2) == 0;
    corners.push_back (alternate);
    alternate.flip();
    corners.push_back (alternate);
    juce::Random random (2024);
    for (int k = 0; k < 24; ++k)
    {
        std::vector<bool> corner ((size_t) numParams);
        for (int i = 0; i < numParams; ++i)
            corner[(size_t) i] = random.nextBool();
        corners.push_back (corner);
    }

    for (size_t c = 0; c < corners.size(); ++c)
    {
        SCOPED_TRACE (testing::Message() << "corner " << c);
        GribbTazoAudioProcessor processor;
        for (int i = 0; i < numParams; ++i)
            processor.getParameters()[i]->setValueNotifyingHost (corners[c][(size_t) i] ? 1.0f : 0.0f);

        processor.prepareToPlay (44100.0, 300);
        juce::AudioBuffer<float> buffer (2, 300);
        auto midi = chord (0, 16);
        for (int ch = 1; ch <= 16; ++ch)
        {
            midi.addEvent (juce::MidiMessage::pitchWheel (ch, c % 2 == 0 ? 16383 : 0), 10);
            midi.addEvent (juce::MidiMessage::channelPressureChange (ch, 127), 20);
        }
        auto high = chord (100, 8, 150);
        for (int block = 0; block < 40; ++block)
        {
            juce::MidiBuffer none;
            processor.processBlock (buffer, block == 0 ? midi : (block == 1 ? high : none));
            ASSERT_TRUE (allFinite (buffer, 300)) << "block " << block;
            const float roast = processor.roastLevel.load();
            ASSERT_TRUE (roast >= 0.0f && roast <= 1.0f) << roast;
        }
    }
}

// The "2x" and "4x" choices both oversample four times: the sound is the same.
TEST (ProcessorChain, TwoTimesAndFourTimesOversamplingGiveTheSameSamples)
{
    juce::AudioBuffer<float> renders[2];
    for (int choice : { 1, 2 })
    {
        GribbTazoAudioProcessor processor;
        processor.prepareToPlay (48000.0, 256);
        setEveryStageActive (processor);
        setPlain (processor, "oversample", (float) choice);
        auto& lfo = GribbTazoAudioProcessorInspector::lfo (processor);
        lfo.random.setSeed (5);
        lfo.drawRandom();

        auto& render = renders[choice - 1];
        render.setSize (2, 256 * 12);
        juce::AudioBuffer<float> buffer (2, 256);
        auto notes = chord (48, 6);
        juce::MidiBuffer none;
        for (int block = 0; block < 12; ++block)
        {
            processor.processBlock (buffer, block == 0 ? notes : none);
            for (int ch = 0; ch < 2; ++ch)
                render.copyFrom (ch, 256 * block, buffer, ch, 0, 256);
        }
    }
    EXPECT_GT (renders[0].getMagnitude (0, renders[0].getNumSamples()), 0.01f);
    EXPECT_TRUE (sameSamples (renders[0], renders[1]));
}

