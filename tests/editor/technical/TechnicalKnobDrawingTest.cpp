// Offscreen renderings of the technical page's knob, checked at pixels whose colour only the
// intended drawing produces.
#include <gtest/gtest.h>

#include "editor/technical/TechnicalLookAndFeel.h"
#include "support/DrawingChecks.h"

using namespace gribb::test;

TEST (TechnicalKnobDrawing, TrackValueArcBodyAndPointer)
{
    TechnicalLookAndFeel lnf;
    // A 200 x 200 box: r = 95 around (100, 100).
    const juce::Point<float> centre (100.0f, 100.0f);
    const float r = 95.0f;
    const juce::Colour track (0xff2a2f38), valueArc (0xff35d0ff), body (0xff171a20), pointer (0xff9fe8ff);

    for (auto position : positions)
    {
        SCOPED_TRACE (position);
        const auto image = drawKnob (lnf, 200, 200, position);
        const auto angle = startAngle + position * (endAngle - startAngle);

        EXPECT_TRUE (colourNear (image, 100.5f, 100.5f, body, 1)) << "body at the centre";
        const auto p = alongAngle (centre, angle, 0.4f * r);
        EXPECT_TRUE (colourNear (image, p.x, p.y, pointer, 12, 1)) << "pointer";
        const auto away = alongAngle (centre, angle + pi, 0.4f * r);
        EXPECT_TRUE (colourNear (image, away.x, away.y, body, 1)) << "body opposite the pointer";

        // On the arc, a quarter and three quarters of the way round: value colour up to the pointer.
        for (auto along : { 0.25f, 0.75f })
        {
            const auto q = alongAngle (centre, startAngle + along * (endAngle - startAngle), r);
            EXPECT_TRUE (colourNear (image, q.x, q.y, along < position ? valueArc : track, 12, 1))
                << "arc at " << along;
        }
    }

    EXPECT_EQ (lnf.findColour (juce::Slider::textBoxTextColourId), juce::Colour (0xff9fe8ff));
    EXPECT_EQ (lnf.findColour (juce::Slider::textBoxOutlineColourId).getAlpha(), 0);
    EXPECT_EQ (lnf.findColour (juce::ComboBox::backgroundColourId), juce::Colour (0xff20242b));
    EXPECT_EQ (lnf.findColour (juce::ComboBox::textColourId), juce::Colour (0xff9fe8ff));
    EXPECT_EQ (lnf.findColour (juce::Label::textColourId), juce::Colour (0xffb8c4d0));
}

TEST (TechnicalKnobDrawing, WideBoxIsSizedByItsHeight)
{
    TechnicalLookAndFeel lnf;
    // 300 x 100: r = 45 around (150, 50); the track's top is at (150, 5), nothing at x 50.
    const auto image = drawKnob (lnf, 300, 100, 0.0f);
    EXPECT_TRUE (colourNear (image, 150.5f, 5.5f, juce::Colour (0xff2a2f38), 12, 1));
    for (int y = 0; y < 100; ++y)
        EXPECT_EQ (image.getPixelAt (50, y).getAlpha(), 0) << y;
}
