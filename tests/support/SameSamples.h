#pragma once

#include <string>

#include <gtest/gtest.h>
#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb::test
{
/** THE comparison of two sample streams, for every test that holds one path to another's
    samples. "The same samples" means equal by float ==, sample for sample: bit for bit, except
    that +0 and -0 count as the same (no listener and no later stage can tell them apart, and a
    path that adds a silent voice turns -0 into +0), and a NaN is never the same as anything. The
    result names the first sample that differs. */
inline testing::AssertionResult sameSamples (const float* ours, const float* theirs, int numSamples,
                                             const std::string& what = {})
{
    for (int i = 0; i < numSamples; ++i)
        if (! (ours[i] == theirs[i]))
            return testing::AssertionFailure() << (what.empty() ? "" : what + ": ") << "sample " << i << " is "
                                               << ours[i] << ", expected " << theirs[i];
    return testing::AssertionSuccess();
}

/** The same, over the first numSamples (all when negative) of every channel of two buffers. */
inline testing::AssertionResult sameSamples (const juce::AudioBuffer<float>& ours, const juce::AudioBuffer<float>& theirs,
                                             int numSamples = -1, const std::string& what = {})
{
    if (ours.getNumChannels() != theirs.getNumChannels())
        return testing::AssertionFailure() << what << ": " << ours.getNumChannels() << " channels, expected "
                                           << theirs.getNumChannels();
    if (numSamples < 0)
    {
        if (ours.getNumSamples() != theirs.getNumSamples())
            return testing::AssertionFailure() << what << ": " << ours.getNumSamples() << " samples, expected "
                                               << theirs.getNumSamples();
        numSamples = ours.getNumSamples();
    }
    for (int ch = 0; ch < ours.getNumChannels(); ++ch)
    {
        auto result = sameSamples (ours.getReadPointer (ch), theirs.getReadPointer (ch), numSamples,
                                   (what.empty() ? "" : what + ", ") + "channel " + std::to_string (ch));
        if (! result)
            return result;
    }
    return testing::AssertionSuccess();
}
} // namespace gribb::test
