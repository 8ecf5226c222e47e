#pragma once

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** Where the chicken's parts sit in a 256 x 256 frame. The figure stands on the same spot in
    every frame: head at the top middle, body below it, feet near the bottom edge. */
namespace geometry
{
    constexpr float frameSize = 256.0f;
    constexpr float centreX = 128.0f;
    const juce::Point<float> headCentre { 128.0f, 80.0f };
    constexpr float headRadius = 34.0f;
    constexpr float eyeY = 77.0f;
    constexpr float eyeSpacing = 14.0f;       // from the middle to each eye
    const juce::Point<float> chest { 128.0f, 148.0f };
    constexpr float groundY = 238.0f;
}

juce::Path bodyShape();
juce::Path headShape();
juce::Path combShape();
juce::Path wattleShape();
juce::Path wingShape();            // the wing on the viewer's left
juce::Path legShape();             // the leg on the viewer's left, drawn as a stroke

/** Mirrors a path drawn for the viewer's left side onto the right side. */
juce::Path mirrored (const juce::Path& path);

/** Fills a path with a round gradient lit from the upper left, from a highlight through the
    base colour to a shadow, and outlines it. */
void fillShaded (juce::Graphics& g, const juce::Path& path, juce::Colour base, juce::Colour outline,
                 float outlineWidth = 2.5f, float highlight = 0.45f, float shadow = 0.5f);

/** A light crescent along the upper-left edge inside a path, which keeps dark shapes readable. */
void drawRimLight (juce::Graphics& g, const juce::Path& path, juce::Colour colour, float width);
} // namespace gribb::sprites
