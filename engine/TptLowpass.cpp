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

void TptLowpass::process (const Coefficients& c, float* left, float* right, int numSamples) noexcept
{
    const float damping = c.g + c.R2;
    Float2 a = s1, b = s2;

    for (int i = 0; i < numSamples; ++i)
    {
        const Float2 x = { left[i], right != nullptr ? right[i] : 0.0f };
        const Float2 yLP = step (c, damping, a, b, x);
        left[i] = yLP[0];
        if (right != nullptr)
            right[i] = yLP[1];
    }

    s1 = a;
    s2 = b;
    snapStatesToZero();
}
} // namespace gribb
