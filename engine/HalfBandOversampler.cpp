#include "engine/HalfBandOversampler.h"

#include <juce_dsp/juce_dsp.h>

namespace gribb
{
void HalfBandSteps::Stage::design (float normalisedTransitionWidth, float stopbandDb)
{
    const auto structure = juce::dsp::FilterDesign<float>::designIIRLowpassHalfBandPolyphaseAllpassMethod (
        normalisedTransitionWidth, stopbandDb);

    // The sections of both branches in one list, the delayed branch's leading unit delay left out;
    // the list's longer first part is the direct branch.
    std::vector<float> coefficients;
    for (int i = 0; i < structure.directPath.size(); ++i)
        coefficients.push_back (structure.directPath.getObjectPointer (i)->coefficients[0]);
    for (int i = 1; i < structure.delayedPath.size(); ++i)
        coefficients.push_back (structure.delayedPath.getObjectPointer (i)->coefficients[0]);

    const int total = (int) coefficients.size();
    const int delayedSections = total / 2;
    const int directSections = total - delayedSections;
    jassert (directSections <= maxSections);

    sections = juce::jmin (directSections, maxSections);
    lastIsDirectOnly = directSections > delayedSections;
    for (int k = 0; k < maxSections; ++k)
    {
        const float direct = k < sections ? coefficients[(size_t) k] : 0.0f;
        const float delayed = k < delayedSections ? coefficients[(size_t) (directSections + k)] : 0.0f;
        alpha[k] = Float4 { direct, direct, delayed, delayed };
    }
    reset();
}

void HalfBandOversampler::prepare (int newMaxBlockSize)
{
    maxBlockSize = juce::jmax (1, newMaxBlockSize);

    // The first stage (at the host rate) is the steeper one; the second works at twice the rate.
    for (int n = 0; n < 2; ++n)
    {
        const float twUp = 0.10f * (n == 0 ? 0.5f : 1.0f);
        const float twDown = 0.12f * (n == 0 ? 0.5f : 1.0f);
        upStages[n].design (twUp, -90.0f + 10.0f * (float) n);
        downStages[n].design (twDown, -75.0f + 10.0f * (float) n);
    }

    quadRate.assign ((size_t) (2 * factor * maxBlockSize), 0.0f);
}

void HalfBandOversampler::reset() noexcept
{
    for (auto* stages : { upStages, downStages })
        for (int n = 0; n < 2; ++n)
            stages[n].reset();
}

void HalfBandOversampler::down (float* left, float* right, int numSamples) noexcept
{
    HalfBandSteps::DesignedDown stages (downStages[1], downStages[0]);
    const float* in = quadRate.data();
    for (int i = 0; i < numSamples; ++i)
    {
        Float4 x0, x1;
        std::memcpy (&x0, in + 8 * i, sizeof (x0));
        std::memcpy (&x1, in + 8 * i + 4, sizeof (x1));
        const Float2 result = stages.step (x0, x1);
        left[i] = result[0];
        if (right != nullptr)
            right[i] = result[1];
    }
    stages.storeStates (downStages[1], downStages[0]);
    downStages[1].snapStateToZero();
    downStages[0].snapStateToZero();
}

bool HalfBandOversampler::isSilent() const noexcept
{
    for (const auto* stages : { upStages, downStages })
        for (int n = 0; n < 2; ++n)
            if (! stages[n].isSilent())
                return false;
    return true;
}
} // namespace gribb
