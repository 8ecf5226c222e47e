#pragma once

#include <cmath>

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb::test
{
/** Reference measurement of a periodic signal's pitch: the mean period between its rising zero
    crossings from `from` on, each crossing placed by linear interpolation between the samples
    around it. Accurate to a small fraction of a cent for a clean tone over many periods. */
inline double measuredFrequency (const float* samples, int numSamples, double sampleRate, int from = 0)
{
    // Crossings of the signal's mean, so that an offset does not bias the rising and falling halves.
    double mean = 0.0;
    for (int i = from; i < numSamples; ++i)
        mean += samples[i];
    mean /= juce::jmax (1, numSamples - from);

    double first = -1.0, last = -1.0;
    int periods = -1;
    for (int i = juce::jmax (1, from + 1); i < numSamples; ++i)
    {
        const double a = samples[i - 1] - mean, b = samples[i] - mean;
        if (a < 0.0 && b >= 0.0)
        {
            const double at = (i - 1) + a / (a - b);
            if (first < 0.0)
                first = at;
            last = at;
            ++periods;
        }
    }
    return periods > 0 ? sampleRate * periods / (last - first) : 0.0;
}

inline double centsBetween (double measured, double expected)
{
    return 1200.0 * std::log2 (measured / expected);
}
} // namespace gribb::test
