// Offscreen renderings of the knobs, the chicken and both pages, checked at pixels whose colour
// only the intended drawing produces.
#include <gtest/gtest.h>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"

#include "support/DrawingChecks.h"

using namespace gribb::test;

TEST (ArcadeKnobDrawing, BodyCapShadowAndPointerAtEachPosition)
{
    ArcadeKnobLookAndFeel lnf;
    // The editor's default knob box: r = 56 around (94, 62).
    const juce::Point<float> centre (94.0f, 62.0f);
    const float r = 56.0f;
    const juce::ColourGradient body (juce::Colour (0xffe23b3b), 94.0f, 6.0f, juce::Colour (0xff7a1010), 94.0f, 118.0f,
                                     false);

    for (auto position : positions)
    {
        SCOPED_TRACE (position);
        const auto image = drawKnob (lnf, 188, 124, position);

        EXPECT_TRUE (colourNear (image, 94.5f, 62.5f, juce::Colour (0xff2b2b2b), 1)) << "centre cap";

        // The red ring between cap and pointer, on the side away from the pointer.
        const auto angle = startAngle + position * (endAngle - startAngle);
        const auto ring = alongAngle (centre, angle + pi, 0.3f * r);
        const auto expectedBody = body.getColourAtPosition ((ring.y - 6.0f) / 112.0f);
        EXPECT_TRUE (colourNear (image, ring.x, ring.y, expectedBody, 6)) << "body ring";

        for (auto other : positions)
        {
            const auto otherAngle = startAngle + other * (endAngle - startAngle);
            const auto p = alongAngle (centre, otherAngle, 0.62f * r);
            if (juce::exactlyEqual (other, position))
                EXPECT_TRUE (colourNear (image, p.x, p.y, juce::Colours::white, 2)) << "pointer";
            else
                EXPECT_GT (channelDistance (image.getPixelAt ((int) p.x, (int) p.y), juce::Colours::white), 100)
                    << "a pointer drawn at position " << other;
        }

        // Below the body on the right: only the drop shadow (black, 35 %).
        EXPECT_TRUE (colourNear (image, 97.5f, 120.5f, juce::Colour (0x59000000), 3)) << "shadow";
        EXPECT_EQ (image.getPixelAt (2, 2).getAlpha(), 0);
    }
}

TEST (ArcadeKnobDrawing, NoVisibleDrawingInATinyBox)
{
    ArcadeKnobLookAndFeel lnf;
    EXPECT_TRUE (isTransparent (drawKnob (lnf, 12, 40, 0.5f)));
    EXPECT_TRUE (isTransparent (drawKnob (lnf, 40, 12, 0.5f)));
}


namespace
{
/** A stand-in sheet: 30 frames of 256 x 256, each one flat colour. */
juce::Colour frameColour (int k) { return juce::Colour ((juce::uint8) (8 * k), (juce::uint8) (240 - 8 * k), 100); }

juce::Image makeSheet()
{
    juce::Image sheet (juce::Image::RGB, 256, 256 * 30, false);
    juce::Graphics g (sheet);
    for (int k = 0; k < 30; ++k)
    {
        g.setColour (frameColour (k));
        g.fillRect (0, 256 * k, 256, 256);
    }
    return sheet;
}

juce::Image snapshot (juce::Component& c) { return c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f); }
} // namespace

TEST (RoastingChickenDrawing, DrawsTheCurrentFrameCentredAndNeverEnlarged)
{
    GribbTazoAudioProcessor processor;
    RoastingChicken chicken (processor);
    chicken.stopTimer();
    chicken.setSpriteSheet (makeSheet());

    struct Case
    {
        int width, height;
        juce::Rectangle<int> frameArea;
    };
    const Case cases[] = { { 544, 248, { 148, 0, 248, 248 } }, { 400, 300, { 72, 22, 256, 256 } } };

    for (const auto& c : cases)
        for (auto [level, frame] : { std::pair { 0.0f, 0 }, std::pair { 0.5f, 15 }, std::pair { 1.0f, 29 } })
        {
            SCOPED_TRACE (juce::String (c.width) + " x " + juce::String (c.height) + ", frame " + juce::String (frame));
            chicken.setSize (c.width, c.height);
            processor.roastLevel.store (level);
            chicken.timerCallback();
            const auto image = snapshot (chicken);
            const auto inner = c.frameArea.reduced (2);

            for (auto p : { inner.getTopLeft(), inner.getBottomRight() - juce::Point<int> (1, 1), inner.getCentre() })
                EXPECT_TRUE (colourNear (image, (float) p.x, (float) p.y, frameColour (frame), 2));

            // Nothing is painted around the frame.
            EXPECT_EQ (image.getPixelAt (c.frameArea.getX() - 3, c.frameArea.getCentreY()).getAlpha(), 0);
            EXPECT_EQ (image.getPixelAt (c.frameArea.getRight() + 2, c.frameArea.getCentreY()).getAlpha(), 0);
        }
}

TEST (RoastingChickenDrawing, EmbeddedSheetShowsAGreyFrame)
{
    GribbTazoAudioProcessor processor;
    RoastingChicken chicken (processor);
    chicken.stopTimer();
    if (! chicken.hasSpriteSheet())
        GTEST_SKIP() << "no sprite sheet in resources/ for this build";

    chicken.setSize (544, 248);
    for (auto level : { 0.0f, 0.5f, 1.0f })
    {
        processor.roastLevel.store (level);
        chicken.timerCallback();
        const auto image = snapshot (chicken);

        // The frame's corners are the sheet's flat mid-grey background.
        for (auto p : { juce::Point<int> (151, 3), juce::Point<int> (392, 3), juce::Point<int> (151, 244) })
        {
            const auto c = image.getPixelAt (p.x, p.y);
            EXPECT_NEAR (c.getRed(), 0x7a, 16) << p.toString();
            EXPECT_NEAR (c.getGreen(), 0x7c, 16) << p.toString();
            EXPECT_NEAR (c.getBlue(), 0x7d, 16) << p.toString();
            EXPECT_EQ (c.getAlpha(), 255);
        }
        EXPECT_EQ (image.getPixelAt (100, 124).getAlpha(), 0);
    }
}

namespace
{
bool isOrange (juce::Colour c) { return c.getAlpha() > 60 && c.getRed() > 150 && c.getBlue() < 60 && c.getGreen() > 60; }

/** The bounding box of the orange pixels in an image. */
juce::Rectangle<int> orangeArea (const juce::Image& image)
{
    juce::Rectangle<int> area;
    bool any = false;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (isOrange (image.getPixelAt (x, y)))
            {
                const juce::Rectangle<int> pixel (x, y, 1, 1);
                area = any ? area.getUnion (pixel) : pixel;
                any = true;
            }
    return area;
}
} // namespace

TEST (RoastingChickenDrawing, WithoutASheetShowsTheOrangeWordCentred)
{
    GribbTazoAudioProcessor processor;
    RoastingChicken chicken (processor);
    chicken.setSpriteSheet ({});
    ASSERT_FALSE (chicken.hasSpriteSheet());
    chicken.setSize (544, 248);

    const auto area = orangeArea (snapshot (chicken));
    ASSERT_FALSE (area.isEmpty()) << "no orange text drawn";
    EXPECT_NEAR (area.getCentreX(), 272, 3);
    EXPECT_NEAR (area.getCentreY(), 124, 4);
    EXPECT_GT (area.getWidth(), 15);  // a word, not a dot
    EXPECT_LT (area.getWidth(), 100); // in the context's default font
}

TEST (EditorDrawing, MainPagePanelGrilleAndKnobs)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.getChicken().stopTimer();
    const auto image = snapshot (editor);

    // Background gradient, top and bottom, outside the panel.
    EXPECT_TRUE (colourNear (image, 5.0f, 2.0f, juce::Colour (0xff6f6b7d), 2));
    EXPECT_TRUE (colourNear (image, 5.0f, 557.0f, juce::Colour (0xff3a3742), 2));
    // The panel and one grille line, in the empty middle of the knob row.
    const juce::Colour panel (0xff2b2933);
    EXPECT_TRUE (colourNear (image, 20.0f, 300.0f, panel, 1));
    EXPECT_TRUE (colourNear (image, 300.0f, 512.0f, panel, 1));
    EXPECT_TRUE (colourNear (image, 300.0f, 516.0f, panel.interpolatedWith (juce::Colours::black, 0.15f), 2));
    EXPECT_TRUE (colourNear (image, 300.0f, 481.0f, panel.interpolatedWith (juce::Colours::black, 0.15f), 2));
    EXPECT_TRUE (colourNear (image, 300.0f, 470.0f, panel, 1)); // above the grille
    // The panel's dark outline at its left edge.
    EXPECT_LT (image.getPixelAt (14, 300).getBrightness(), panel.getBrightness());

    // Both knobs at position 0: cap at the centre, pointer towards seven o'clock.
    for (auto* knob : { &editor.getCrushKnob(), &editor.getWarpKnob() })
    {
        const auto centre = knob->getBounds().toFloat().getCentre();
        EXPECT_TRUE (colourNear (image, centre.x, centre.y, juce::Colour (0xff2b2b2b), 1));
        const auto p = alongAngle (centre, startAngle, 0.62f * 56.0f);
        EXPECT_TRUE (colourNear (image, p.x, p.y, juce::Colours::white, 2));
    }

    // The title, white, centred above the chicken.
    int whitePixels = 0;
    for (int y = 68; y < 114; ++y)
        for (int x = 200; x < 420; ++x)
            whitePixels += image.getPixelAt (x, y).getBrightness() > 0.95f ? 1 : 0;
    EXPECT_GT (whitePixels, 200);

    // The chicken: the sheet's grey frame, or the fallback word.
    const auto chicken = editor.getChicken().getBounds();
    if (editor.getChicken().hasSpriteSheet())
    {
        const auto c = image.getPixelAt (chicken.getX() + 152, chicken.getY() + 4);
        EXPECT_NEAR (c.getRed(), 0x7a, 16);
        EXPECT_NEAR (c.getGreen(), 0x7c, 16);
    }
    else
    {
        const auto area = orangeArea (image.getClippedImage (chicken));
        ASSERT_FALSE (area.isEmpty());
        EXPECT_NEAR (area.getCentreX(), chicken.getWidth() / 2, 3);
    }
}

TEST (EditorDrawing, TechnicalPageGridKnobsAndPageButton)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.showTechnicalPage (true);
    const auto image = snapshot (editor);
    const juce::Colour background (0xff0d0f13), grid (0xff161a20);

    // Grid lines every 28 px, one pixel wide, on the dark background.
    EXPECT_TRUE (colourNear (image, 28.0f, 8.0f, grid, 0));
    EXPECT_TRUE (colourNear (image, 8.0f, 28.0f, grid, 0));
    EXPECT_TRUE (colourNear (image, 952.0f, 620.0f, grid, 0));
    EXPECT_TRUE (colourNear (image, 14.0f, 8.0f, background, 0));
    EXPECT_TRUE (colourNear (image, 29.0f, 8.0f, background, 0));
    EXPECT_TRUE (colourNear (image, 500.0f, 625.0f, background, 0));

    // Each knob's body is dark and its value arc or track is drawn around it.
    auto& panel = editor.getTechnicalPanel();
    for (int i = 0; i < TechnicalPanel::numKnobs; ++i)
    {
        auto& slider = panel.getKnob (i).slider;
        const auto knobArea = slider.getBounds().withTrimmedBottom (14).toFloat();
        EXPECT_TRUE (colourNear (image, knobArea.getCentreX(), knobArea.getCentreY(), juce::Colour (0xff171a20), 1, 1))
            << panel.getKnob (i).label.getText();
    }

    // The page button is drawn in front of the panel, over the header row.
    const auto button = editor.getHoodButton().getBounds();
    const auto buttonPixel = image.getPixelAt (button.getX() + 4, button.getCentreY());
    EXPECT_GT (channelDistance (buttonPixel, background), 20);
    EXPECT_GT (channelDistance (buttonPixel, grid), 20);
}
