#include "editor/technical/TechnicalLookAndFeel.h"

namespace
{
const juce::Colour trackColour { 0xff2a2f38 };
const juce::Colour valueArcColour { 0xff35d0ff };
const juce::Colour bodyColour { 0xff171a20 };
const juce::Colour ringColour { 0x9935d0ff };
const juce::Colour pointerColour { 0xff9fe8ff };
} // namespace

TechnicalLookAndFeel::TechnicalLookAndFeel()
{
    setColour (juce::Slider::textBoxTextColourId, juce::Colour (0xff9fe8ff));
    setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));
    setColour (juce::ComboBox::backgroundColourId, juce::Colour (0xff20242b));
    setColour (juce::ComboBox::textColourId, juce::Colour (0xff9fe8ff));
    setColour (juce::Label::textColourId, juce::Colour (0xffb8c4d0));
}

void TechnicalLookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                             float sliderPosProportional, float rotaryStartAngle,
                                             float rotaryEndAngle, juce::Slider&)
{
    const auto w = juce::jmax ((float) width - 10.0f, 0.0f);
    const auto h = juce::jmax ((float) height - 10.0f, 0.0f);
    const auto cx = (float) x + 5.0f + w / 2.0f;
    const auto cy = (float) y + 5.0f + h / 2.0f;
    const auto r = juce::jmin (w, h) / 2.0f;
    const auto angle = rotaryStartAngle + sliderPosProportional * (rotaryEndAngle - rotaryStartAngle);
    const juce::PathStrokeType stroke (3.0f);

    juce::Path track;
    track.addCentredArc (cx, cy, r, r, 0.0f, rotaryStartAngle, rotaryEndAngle, true);
    g.setColour (trackColour);
    g.strokePath (track, stroke);

    juce::Path valueArc;
    valueArc.addCentredArc (cx, cy, r, r, 0.0f, rotaryStartAngle, angle, true);
    g.setColour (valueArcColour);
    g.strokePath (valueArc, stroke);

    const juce::Rectangle<float> body (cx - 0.7f * r, cy - 0.7f * r, 1.4f * r, 1.4f * r);
    g.setColour (bodyColour);
    g.fillEllipse (body);
    g.setColour (ringColour);
    g.drawEllipse (body, 1.0f);

    // The pointer stands above the origin at angle 0; it is turned, then moved to the centre.
    juce::Path pointer;
    pointer.addRectangle (-1.0f, -0.65f * r, 2.0f, 0.5f * r);
    g.setColour (pointerColour);
    g.fillPath (pointer, juce::AffineTransform::rotation (angle).translated (cx, cy));
}
