// What the committed frames show, measured on their pixels: the chicken darkens as it roasts,
// the cyan flash and sparks come where the sequence has them, and so do the smoke, the flames
// and the sunglasses. A frame table drawn out of order or an effect drawn in the wrong frame
// fails here.
#include "CommittedSheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

namespace
{
using namespace gribb::test;

/** Median brightness (0..255) of the body, away from the head, wings and feet. */
float bodyBrightness (int frame)
{
    std::vector<float> values;
    for (int y = 140; y < 200; y += 2)
        for (int x = 96; x < 160; x += 2)
            values.push_back (framePixel (committedSheet(), frame, x, y).getPerceivedBrightness() * 255.0f);
    std::nth_element (values.begin(), values.begin() + (long) values.size() / 2, values.end());
    return values[values.size() / 2];
}

int countPixels (int frame, juce::Rectangle<int> area, const std::function<bool (juce::Colour)>& matches)
{
    int n = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            n += matches (framePixel (committedSheet(), frame, x, y)) ? 1 : 0;
    return n;
}

bool isCyan (juce::Colour c)
{
    return c.getGreen() > c.getRed() + 80 && c.getBlue() > c.getRed() + 80 && std::abs (c.getGreen() - c.getBlue()) < 40;
}

bool isFlame (juce::Colour c)
{
    return c.getRed() > 220 && c.getGreen() > 60 && c.getBlue() < 110;
}

bool isSmoke (juce::Colour c)
{
    return juce::jmax (c.getRed(), c.getGreen(), c.getBlue()) < 90
        && juce::jmax (c.getRed(), c.getGreen(), c.getBlue()) - juce::jmin (c.getRed(), c.getGreen(), c.getBlue()) < 16;
}

int channelDistance (juce::Colour a, juce::Colour b)
{
    return juce::jmax (std::abs (a.getRed() - b.getRed()), std::abs (a.getGreen() - b.getGreen()),
                       std::abs (a.getBlue() - b.getBlue()));
}

std::set<int> range (int first, int last)
{
    std::set<int> frames;
    for (int i = first; i <= last; ++i)
        frames.insert (i);
    return frames;
}
} // namespace

TEST (SpriteStory, ChickenDarkensFromRawThroughCharredThenComesBackGolden)
{
    ASSERT_TRUE (committedSheet().isValid());

    // Raw, golden, amber, brown, dark brown, scorched, charred: each darker than the one before.
    const int roasting[] = { 0, 2, 3, 4, 5, 6, 9 };
    for (size_t i = 1; i < std::size (roasting); ++i)
        EXPECT_LT (bodyBrightness (roasting[i]), bodyBrightness (roasting[i - 1]) - 8.0f)
            << "frame " << roasting[i] << " is not darker than frame " << roasting[i - 1];

    // The charred chicken is nearly black; the roast that emerges is far lighter again, but
    // not as pale as the raw one.
    for (int charred : { 9, 10, 11 })
        EXPECT_LT (bodyBrightness (charred), 60.0f) << "frame " << charred;
    for (int roast : { 14, 15, 16, 17, 18, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29 })
    {
        EXPECT_GT (bodyBrightness (roast), bodyBrightness (11) + 60.0f) << "frame " << roast;
        EXPECT_LT (bodyBrightness (roast), bodyBrightness (0) - 20.0f) << "frame " << roast;
    }
}

bool isCyanWhite (juce::Colour c)
{
    return c.getGreen() > 180 && c.getBlue() > 200 && c.getBlue() >= c.getRed() + 20;
}

struct EffectCase
{
    const char* name;
    std::vector<juce::Rectangle<int>> areas; // where in the frame to look
    std::function<bool (juce::Colour)> matches;   // null: anything that is not background
    int present;                             // at least this many matching pixels where it is shown
    int absent;                              // at most this many where it is not
    std::set<int> shownIn;
    std::set<int> ignored;                   // frames where something else looks alike
};

TEST (SpriteStory, EffectsAppearInTheirFramesAndNowhereElse)
{
    ASSERT_TRUE (committedSheet().isValid());
    const juce::Rectangle<int> wholeFrame (0, 0, spriteFrameSize, spriteFrameSize);
    const auto isDark = [] (juce::Colour c) { return juce::jmax (c.getRed(), c.getGreen(), c.getBlue()) < 70; };

    const EffectCase cases[] = {
        // The bright cyan-white flash at the chest of the charred chicken.
        { "flash at the chest", { { 88, 110, 80, 80 } }, isCyanWhite, 2000, 200, { 12 }, {} },
        // The two bursts fill a large area with cyan sparks...
        { "burst of cyan sparks", { wholeFrame }, isCyan, 1500, 400, { 13, 19 }, {} },
        // ... and leave a few sparks (14) and sparkles (20) behind; elsewhere none at all.
        { "cyan sparks", { wholeFrame }, isCyan, 100, 10, { 13, 14, 19, 20 }, {} },
        // The dark cloud of frame 8, beside the chicken where otherwise there is only grey.
        { "smoke cloud", { { 14, 110, 30, 60 } }, isSmoke, 1200, 0, { 8 }, {} },
        // Flames at the feet, left and right of the toes.
        { "flames at the feet", { { 64, 212, 24, 26 }, { 168, 212, 24, 26 } }, isFlame, 200, 40, range (21, 29), {} },
        // Worn sunglasses darken both eyes (the charred face is dark anyway).
        { "sunglasses on the eyes", { { 104, 72, 48, 16 } }, isDark, 400, 200, range (24, 29), range (6, 12) },
        // Hovering sunglasses above the head (smoke rises there in frame 8).
        { "sunglasses above the head", { { 100, 12, 56, 18 } }, isDark, 300, 20, { 23 }, { 8 } },
        // The pointing wing reaches out to the right, where otherwise there is only background
        // (the smoke cloud and the first burst also reach there).
        { "pointing wing", { { 206, 92, 36, 30 } }, nullptr, 400, 60, range (26, 29), { 8, 13 } },
    };

    for (const auto& c : cases)
        for (int frame = 0; frame < spriteFrameCount; ++frame)
        {
            if (c.ignored.count (frame) > 0)
                continue;
            // Without a colour test, count what is clearly not the frame's background.
            const auto background = framePixel (committedSheet(), frame, 0, 0);
            const auto notBackground = [background] (juce::Colour p) { return channelDistance (p, background) > 24; };
            int n = 0;
            for (const auto& area : c.areas)
                n += countPixels (frame, area, c.matches != nullptr ? c.matches : notBackground);
            if (c.shownIn.count (frame) > 0)
                EXPECT_GE (n, c.present) << c.name << " missing in frame " << frame;
            else
                EXPECT_LE (n, c.absent) << c.name << " unexpected in frame " << frame;
        }
}

TEST (SpriteStory, FlamesGrowWhileTheyFirstAppear)
{
    ASSERT_TRUE (committedSheet().isValid());
    const juce::Rectangle<int> feet (60, 170, 136, 80);
    const int small = countPixels (21, feet, isFlame);
    const int larger = countPixels (22, feet, isFlame);
    const int full = countPixels (26, feet, isFlame);
    EXPECT_LT (small, larger);
    EXPECT_LT (larger, full);
}
