#include "engine/TptLowpass.h"

#include <cmath>

namespace gribb
{
TptLowpass::Coefficients TptLowpass::coefficientsFor (float cutoffHz, float resonance, double rate) noexcept
{
    constexpr double pi = 3.141592653589793238;
    Coefficients c;
    c.g = static_cast<float> (std::tan (pi * cutoffHz / rate));
    c.R2 = static_cast<float> (1.0 / resonance);
    // R2 g and g^2 are float products, summed in double: the same rounding as the JUCE filter.
    c.h = static_cast<float> (1.0 / (1.0 + c.R2 * c.g + c.g * c.g));
    return c;
}

void TptLowpass::process (float* left, float* right, int numSamples, float cutoffHz, float resonance) noexcept
{
    const auto c = coefficientsFor (cutoffHz, resonance, sampleRate);
    const float damping = c.g + c.R2;
    Float2 a = s1, b = s2;

    for (int i = 0; i < numSamples; ++i)
    {
        const Float2 x = { left[i], right != nullptr ? right[i] : 0.0f };
        const Float2 yHP = c.h * (x - a * damping - b);
        const Float2 yBP = yHP * c.g + a;
        a = yHP * c.g + yBP;
        const Float2 yLP = yBP * c.g + b;
        b = yBP * c.g + yLP;
        left[i] = yLP[0];
        if (right != nullptr)
            right[i] = yLP[1];
    }

    s1 = snapToZero (a);
    s2 = snapToZero (b);
}
} // namespace gribb
