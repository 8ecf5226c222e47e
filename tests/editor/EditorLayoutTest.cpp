// Bounds of every placed control of the window on both pages, at the sizes the window is shown at and at a few
// sizes a host or the user may resize it to.
#include <gtest/gtest.h>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/BoundsCheck.h"

using gribb::test::expectBounds;

namespace
{
using Rect = juce::Rectangle<int>;

struct MainPageCase
{
    int width, height;
    Rect programBox, hoodButton, title, crushLabel, crushKnob, warpLabel, warpKnob, chicken;
};

const MainPageCase mainPageCases[] = {
    { 620, 560, { 30, 30, 400, 36 }, { 434, 30, 156, 36 }, { 28, 68, 564, 46 }, { 28, 382, 188, 26 },
      { 28, 408, 188, 124 }, { 404, 382, 188, 26 }, { 404, 408, 188, 124 }, { 38, 124, 544, 248 } },
    { 775, 700, { 30, 30, 555, 36 }, { 589, 30, 156, 36 }, { 28, 68, 719, 46 }, { 28, 522, 239, 26 },
      { 28, 548, 239, 124 }, { 508, 522, 239, 26 }, { 508, 548, 239, 124 }, { 38, 124, 699, 388 } },
};
} // namespace

TEST (EditorLayout, MainPageAtDefaultAndEnlargedSize)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    EXPECT_EQ (editor.getWidth(), 620);
    EXPECT_EQ (editor.getHeight(), 560);

    for (const auto& c : mainPageCases)
    {
        SCOPED_TRACE (juce::String (c.width) + " x " + juce::String (c.height));
        editor.setSize (c.width, c.height);
        expectBounds (editor.getProgramBox(), { "programBox", c.programBox });
        expectBounds (editor.getHoodButton(), { "hoodButton", c.hoodButton });
        expectBounds (editor.getTitleLabel(), { "titleLabel", c.title });
        expectBounds (editor.getCrushLabel(), { "crushLabel", c.crushLabel });
        expectBounds (editor.getCrushKnob(), { "crushKnob", c.crushKnob });
        expectBounds (editor.getWarpLabel(), { "warpLabel", c.warpLabel });
        expectBounds (editor.getWarpKnob(), { "warpKnob", c.warpKnob });
        expectBounds (editor.getChicken(), { "chicken", c.chicken });
    }
}

TEST (EditorLayout, TechnicalPageFillsTheWindowWithTheButtonTopRight)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.showTechnicalPage (true);

    ASSERT_EQ (editor.getBounds(), Rect (0, 0, 980, 640));
    expectBounds (editor.getTechnicalPanel(), { "technicalPanel", { 0, 0, 980, 640 } });
    expectBounds (editor.getHoodButton(), { "hoodButton", { 810, 14, 150, 28 } });

    editor.setSize (1225, 800);
    expectBounds (editor.getTechnicalPanel(), { "technicalPanel", { 0, 0, 1225, 800 } });
    expectBounds (editor.getHoodButton(), { "hoodButton", { 1055, 14, 150, 28 } });
}
