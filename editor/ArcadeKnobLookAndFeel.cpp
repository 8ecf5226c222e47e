#include "editor/ArcadeKnobLookAndFeel.h"

ArcadeKnobLookAndFeel::ArcadeKnobLookAndFeel()
{
    setColour (juce::Slider::textBoxTextColourId, juce::Colours::black);
}

void ArcadeKnobLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                              float sliderPosProportional, float rotaryStartAngle,
                                              float rotaryEndAngle, juce::Slider&)
{
    // A 6 px margin around the knob leaves room for the shadow's offset.
    const auto w = juce::jmax ((float) width - 12.0f, 0.0f);
    const auto h = juce::jmax ((float) height - 12.0f, 0.0f);
    const auto cx = (float) x + 6.0f + w / 2.0f;
    const auto cy = (float) y + 6.0f + h / 2.0f;
    const auto r = juce::jmin (w, h) / 2.0f;
    // A box of 12 px or less leaves no knob; JUCE would still stroke the zero-size rim as a faint dot.
    if (r <= 0.0f)
        return;

    const auto angle = rotaryStartAngle + sliderPosProportional * (rotaryEndAngle - rotaryStartAngle);

    g.setColour (juce::Colour (0x59000000));
    g.fillEllipse (cx - r + 3.0f, cy - r + 4.0f, 2.0f * r, 2.0f * r);

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe23b3b), cx, cy - r,
                                             juce::Colour (0xff7a1010), cx, cy + r, false));
    g.fillEllipse (cx - r, cy - r, 2.0f * r, 2.0f * r);

    g.setColour (juce::Colour (0x40ffffff));
    g.drawEllipse (cx - r, cy - r, 2.0f * r, 2.0f * r, 3.0f);

    // The pointer is built pointing straight up around the origin, then turned and moved.
    const auto p = 0.16f * r;
    juce::Path pointer;
    pointer.addRoundedRectangle (-p / 2.0f, -0.9f * r, p, 0.55f * r, 0.4f * p);
    g.setColour (juce::Colours::white);
    g.fillPath (pointer, juce::AffineTransform::rotation (angle).translated (cx, cy));

    g.setColour (juce::Colour (0xff2b2b2b));
    g.fillEllipse (cx - 0.25f * r, cy - 0.25f * r, 0.5f * r, 0.5f * r);
}
