// Checks on offscreen drawings: colours at pixels, and knobs drawn by a look-and-feel.
#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace gribb::test
{
constexpr float pi = juce::MathConstants<float>::pi;
constexpr float startAngle = 1.2f * pi, endAngle = 2.8f * pi; // a slider's default rotary angles

inline int channelDistance (juce::Colour a, juce::Colour b)
{
    return juce::jmax (std::abs (a.getRed() - b.getRed()), std::abs (a.getGreen() - b.getGreen()),
                       std::abs (a.getBlue() - b.getBlue()), std::abs (a.getAlpha() - b.getAlpha()));
}

inline juce::String describe (juce::Colour c) { return c.toDisplayString (true); }

/** True when the pixel, or one of its eight neighbours, is within `tolerance` of the colour: for
    thin shapes whose anti-aliased edges fall between pixels. */
inline ::testing::AssertionResult colourNear (const juce::Image& image, float fx, float fy, juce::Colour expected,
                                       int tolerance, int radius = 0)
{
    const auto x0 = (int) std::floor (fx), y0 = (int) std::floor (fy);
    int best = 256;
    juce::Colour bestColour;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
        {
            const auto c = image.getPixelAt (x0 + dx, y0 + dy);
            if (channelDistance (c, expected) < best)
            {
                best = channelDistance (c, expected);
                bestColour = c;
            }
        }

    if (best <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at (" << x0 << ", " << y0 << ") found " << describe (bestColour)
                                         << ", expected " << describe (expected);
}

inline juce::Image drawKnob (juce::LookAndFeel_V4& lnf, int width, int height, float position)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    juce::Slider slider;
    lnf.drawRotarySlider (g, 0, 0, width, height, position, startAngle, endAngle, slider);
    return image;
}

inline juce::Point<float> alongAngle (juce::Point<float> centre, float angle, float distance)
{
    return centre + juce::Point<float> (std::sin (angle), -std::cos (angle)) * distance;
}

inline ::testing::AssertionResult isTransparent (const juce::Image& image)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() != 0)
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                                     << describe (image.getPixelAt (x, y));
    return ::testing::AssertionSuccess();
}

inline const float positions[] = { 0.0f, 0.5f, 1.0f };
} // namespace gribb::test
