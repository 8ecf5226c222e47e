#include "ChickenFace.h"

#include "ChickenPalette.h"
#include "ChickenShapes.h"

namespace gribb::sprites
{
namespace
{
juce::PathStrokeType roundStroke (float width)
{
    return juce::PathStrokeType (width, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);
}

juce::Point<float> eyeCentre (float side)
{
    return { geometry::centreX + side * geometry::eyeSpacing, geometry::eyeY };
}

/** An open eye: white, outline, pupil looking in `look`, and a catch-light. */
void drawOpenEye (juce::Graphics& g, const ChickenPalette& palette, float side, float rx, float ry,
                  float pupilRadius, juce::Point<float> look)
{
    const auto c = eyeCentre (side);
    juce::Path white;
    white.addEllipse (c.x - rx, c.y - ry, rx * 2.0f, ry * 2.0f);
    g.setGradientFill (juce::ColourGradient (palette.eyeWhite, c.translated (-rx * 0.3f, -ry * 0.4f),
                                             palette.eyeWhite.darker (0.25f), c.translated (rx, ry), true));
    g.fillPath (white);
    g.setColour (juce::Colour (0xff1a120c));
    g.strokePath (white, juce::PathStrokeType (1.8f));

    const auto p = c + look;
    g.setColour (palette.pupil);
    g.fillEllipse (p.x - pupilRadius, p.y - pupilRadius, pupilRadius * 2.0f, pupilRadius * 2.0f);
    g.setColour (juce::Colours::white);
    const float glint = juce::jmax (1.0f, pupilRadius * 0.4f);
    g.fillEllipse (p.x - pupilRadius * 0.5f - glint * 0.5f, p.y - pupilRadius * 0.5f - glint * 0.5f, glint, glint);
}

/** An eye squeezed shut: a chevron pointing to the middle of the face. */
void drawSqueezedEye (juce::Graphics& g, float side)
{
    const auto c = eyeCentre (side);
    juce::Path chevron;
    chevron.startNewSubPath (c.x + side * 7.0f, c.y - 7.0f);
    chevron.lineTo (c.x - side * 6.0f, c.y);
    chevron.lineTo (c.x + side * 7.0f, c.y + 7.0f);
    g.setColour (juce::Colour (0xff120c08));
    g.strokePath (chevron, roundStroke (3.2f));
}

/** A half-closed eye: the upper lid in skin colour covers the top of the white. */
void drawHeavyEye (juce::Graphics& g, const ChickenPalette& palette, float side)
{
    const auto c = eyeCentre (side);
    drawOpenEye (g, palette, side, 9.0f, 10.0f, 3.5f, { side * -1.0f, 4.0f });
    juce::Path lid;
    lid.addPieSegment (c.x - 10.0f, c.y - 11.0f, 20.0f, 22.0f, -juce::MathConstants<float>::halfPi,
                       juce::MathConstants<float>::halfPi, 0.0f);
    g.setColour (palette.skin.darker (0.15f));
    g.fillPath (lid);
    juce::Path lidEdge;
    lidEdge.startNewSubPath (c.x - 10.0f, c.y);
    lidEdge.lineTo (c.x + 10.0f, c.y);
    g.setColour (juce::Colour (0xff1a120c));
    g.strokePath (lidEdge, roundStroke (2.2f));
}

/** A brow over one eye: `inner` and `outer` are the heights of its two ends above the eye. */
void drawBrow (juce::Graphics& g, juce::Colour colour, float side, float inner, float outer, float arch = 0.0f)
{
    const auto c = eyeCentre (side);
    juce::Path brow;
    const juce::Point<float> a (c.x - side * 5.0f, c.y - inner);
    const juce::Point<float> b (c.x + side * 10.0f, c.y - outer);
    brow.startNewSubPath (a);
    brow.quadraticTo ((a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f - arch, b.x, b.y);
    g.setColour (colour);
    g.strokePath (brow, roundStroke (3.4f));
}

/** The beak seen from the front: an upper and a lower half meeting at the mouth line, opened by
    `gape` pixels. */
void drawBeak (juce::Graphics& g, const ChickenPalette& palette, float gape)
{
    const float x = geometry::centreX;
    const float top = 86.0f;
    const float mouth = 94.0f;

    if (gape > 0.0f)
    {
        juce::Path inside;
        inside.addEllipse (x - 8.0f, mouth - 2.0f, 16.0f, gape + 6.0f);
        g.setColour (juce::Colour (0xff5a1410));
        g.fillPath (inside);
        g.setColour (juce::Colour (0xffe86a70));
        g.fillEllipse (x - 5.0f, mouth + gape * 0.5f, 10.0f, gape * 0.5f + 2.0f);
    }

    juce::Path lower;
    lower.startNewSubPath (x - 8.0f, mouth + gape);
    lower.quadraticTo (x - 3.0f, mouth + gape + 6.0f, x, mouth + gape + 11.0f);
    lower.quadraticTo (x + 3.0f, mouth + gape + 6.0f, x + 8.0f, mouth + gape);
    lower.closeSubPath();
    fillShaded (g, lower, palette.beak.darker (0.25f), palette.beak.darker (1.2f), 1.8f, 0.3f, 0.5f);

    juce::Path upper;
    upper.startNewSubPath (x, top);
    upper.quadraticTo (x + 6.0f, top + 2.0f, x + 10.0f, mouth);
    upper.quadraticTo (x + 4.0f, mouth + 5.0f, x, mouth + 10.0f);
    upper.quadraticTo (x - 4.0f, mouth + 5.0f, x - 10.0f, mouth);
    upper.quadraticTo (x - 6.0f, top + 2.0f, x, top);
    upper.closeSubPath();
    fillShaded (g, upper, palette.beak, palette.beak.darker (1.2f), 1.8f, 0.5f, 0.35f);

    g.setColour (palette.beak.darker (1.2f));
    g.fillEllipse (x - 5.0f, mouth - 3.0f, 2.0f, 1.6f);
    g.fillEllipse (x + 3.0f, mouth - 3.0f, 2.0f, 1.6f);
}

/** A wide open grin under the upper beak, with a tongue, edged by the lower beak. */
void drawGrin (juce::Graphics& g, const ChickenPalette& palette, float width)
{
    const float x = geometry::centreX;
    juce::Path mouth;
    mouth.startNewSubPath (x - width, 92.0f);
    mouth.quadraticTo (x, 98.0f, x + width, 92.0f);
    mouth.quadraticTo (x + width * 0.7f, 120.0f, x, 121.0f);
    mouth.quadraticTo (x - width * 0.7f, 120.0f, x - width, 92.0f);
    mouth.closeSubPath();
    g.setColour (juce::Colour (0xff4a0e0c));
    g.fillPath (mouth);

    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (mouth);
        g.setColour (juce::Colour (0xffee6470));
        g.fillEllipse (x - 11.0f, 108.0f, 22.0f, 16.0f);
        g.setColour (juce::Colour (0xffffffff));
        g.fillRect (x - width, 92.0f, width * 2.0f, 4.5f);   // a row of teeth, for the comedy
    }

    // The lower beak as a smiling band along the bottom of the grin.
    juce::Path lower;
    lower.startNewSubPath (x - width, 92.0f);
    lower.quadraticTo (x - width * 0.7f, 120.0f, x, 121.0f);
    lower.quadraticTo (x + width * 0.7f, 120.0f, x + width, 92.0f);
    lower.quadraticTo (x + width * 0.75f, 126.0f, x, 127.0f);
    lower.quadraticTo (x - width * 0.75f, 126.0f, x - width, 92.0f);
    lower.closeSubPath();
    fillShaded (g, lower, palette.beak, palette.beak.darker (1.2f), 1.8f, 0.4f, 0.4f);

    g.setColour (palette.beak.darker (1.2f));
    g.strokePath (mouth, juce::PathStrokeType (1.8f));

    juce::Path upper;
    upper.startNewSubPath (x, 84.0f);
    upper.quadraticTo (x + 8.0f, 86.0f, x + 12.0f, 94.0f);
    upper.quadraticTo (x + 5.0f, 98.0f, x, 104.0f);
    upper.quadraticTo (x - 5.0f, 98.0f, x - 12.0f, 94.0f);
    upper.quadraticTo (x - 8.0f, 86.0f, x, 84.0f);
    upper.closeSubPath();
    fillShaded (g, upper, palette.beak, palette.beak.darker (1.2f), 1.8f, 0.5f, 0.35f);

    // Cheeks pushed up by the grin.
    juce::Path dimples;
    dimples.startNewSubPath (x - width - 4.0f, 88.0f);
    dimples.quadraticTo (x - width - 2.0f, 93.0f, x - width + 1.0f, 96.0f);
    dimples.startNewSubPath (x + width + 4.0f, 88.0f);
    dimples.quadraticTo (x + width + 2.0f, 93.0f, x + width - 1.0f, 96.0f);
    g.setColour (palette.outline);
    g.strokePath (dimples, roundStroke (2.0f));
}

juce::Colour browColour (const ChickenPalette& palette)
{
    return palette.outline.darker (0.4f);
}
} // namespace

void drawFace (juce::Graphics& g, const RoastFrameState& state)
{
    const auto palette = chickenPalette (state.doneness);
    const auto brow = browColour (palette);
    // The charred chicken's brows are ash grey so they show on its black face.
    const auto sootBrow = juce::Colour (0xff9a948e);

    switch (state.face)
    {
        case Face::worried:
            for (float side : { -1.0f, 1.0f })
            {
                drawOpenEye (g, palette, side, 8.5f, 10.5f, 3.2f, { state.index % 2 == 0 ? -2.5f : 2.5f, -1.5f });
                drawBrow (g, brow, side, 21.0f, 13.0f, -1.5f);
            }
            drawBeak (g, palette, 2.0f);
            break;

        case Face::pained:
            for (float side : { -1.0f, 1.0f })
            {
                drawSqueezedEye (g, side);
                drawBrow (g, state.doneness == Doneness::scorched ? sootBrow : brow, side, 18.0f, 11.0f);
            }
            drawBeak (g, palette, 7.0f);
            break;

        case Face::dazed:
            for (float side : { -1.0f, 1.0f })
            {
                drawHeavyEye (g, palette, side);
                drawBrow (g, sootBrow, side, 14.0f, 11.0f);
            }
            drawBeak (g, palette, 3.0f);
            break;

        case Face::sooty:
            for (float side : { -1.0f, 1.0f })
                drawOpenEye (g, palette, side, 8.0f, 9.5f, 2.0f, { 0.0f, 0.5f });
            drawBeak (g, palette, 1.0f);
            break;

        case Face::stunned:
            for (float side : { -1.0f, 1.0f })
            {
                drawOpenEye (g, palette, side, 10.5f, 12.5f, 2.0f, { 0.0f, 2.0f });
                drawBrow (g, sootBrow, side, 21.0f, 21.0f, 3.0f);
            }
            drawBeak (g, palette, 9.0f);
            break;

        case Face::startled:
        case Face::lookingUp:
            for (float side : { -1.0f, 1.0f })
            {
                // Startled eyes dart about from frame to frame; looking up, they fix on the glasses.
                const juce::Point<float> darting[] = { { 0.0f, 0.0f }, { -3.0f, 0.5f }, { 3.0f, 0.5f }, { 0.0f, 2.5f }, { -2.0f, -2.0f } };
                const auto look = state.face == Face::lookingUp ? juce::Point<float> (0.0f, -7.0f)
                                                                : darting[state.index % 5];
                drawOpenEye (g, palette, side, 10.0f, 12.5f, 3.6f, look);
                drawBrow (g, brow, side, 21.0f, 20.0f, 4.0f);
            }
            drawBeak (g, palette, state.face == Face::lookingUp ? 4.0f : 8.0f);
            break;

        case Face::cool:
            for (float side : { -1.0f, 1.0f })
                drawOpenEye (g, palette, side, 9.0f, 10.5f, 3.5f, {});
            drawBrow (g, brow, 1.0f, 20.0f, 22.0f, 2.0f);   // one brow raised over the glasses
            drawBeak (g, palette, 0.0f);
            break;

        case Face::grinning:
            for (float side : { -1.0f, 1.0f })
                drawOpenEye (g, palette, side, 9.0f, 10.5f, 3.5f, {});
            drawGrin (g, palette, state.index >= 28 ? 19.0f : 16.0f);
            break;
    }
}

void drawNerves (juce::Graphics& g, const RoastFrameState& state)
{
    // Sweat drops fly off the sides of the head.
    const juce::Point<float> drops[] = { { 166.0f, 62.0f }, { 90.0f, 66.0f }, { 172.0f, 88.0f } };
    for (int i = 0; i < juce::jmin (state.sweatDrops, 3); ++i)
    {
        const auto p = drops[i];
        const float s = i == 0 ? 1.15f : 0.95f;
        juce::Path drop;
        drop.startNewSubPath (0.0f, -9.0f);
        drop.cubicTo (3.0f, -4.0f, 6.0f, 0.0f, 6.0f, 3.0f);
        drop.cubicTo (6.0f, 7.0f, 3.0f, 9.0f, 0.0f, 9.0f);
        drop.cubicTo (-3.0f, 9.0f, -6.0f, 7.0f, -6.0f, 3.0f);
        drop.cubicTo (-6.0f, 0.0f, -3.0f, -4.0f, 0.0f, -9.0f);
        drop.closeSubPath();
        const float tilt = p.x > geometry::centreX ? 0.5f : -0.5f;
        drop.applyTransform (juce::AffineTransform::scale (s).rotated (tilt).translated (p));
        const auto b = drop.getBounds();
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe8f8ff), b.getTopLeft(),
                                                 juce::Colour (0xff5ab0e8), b.getBottomRight(), false));
        g.fillPath (drop);
        g.setColour (juce::Colour (0xff2a6ea0));
        g.strokePath (drop, juce::PathStrokeType (1.5f));
        g.setColour (juce::Colours::white);
        g.fillEllipse (b.getX() + b.getWidth() * 0.3f, b.getCentreY() - 1.0f, 2.5f, 3.5f);
    }

    if (state.shivering)
    {
        // Short tremble arcs beside the body and the head.
        juce::Path marks;
        for (float side : { -1.0f, 1.0f })
        {
            for (int i = 0; i < 3; ++i)
            {
                const float x = geometry::centreX + side * (74.0f + 6.0f * (float) i);
                const float y = 150.0f + (float) i * 2.0f;
                marks.startNewSubPath (x, y - 12.0f);
                marks.quadraticTo (x + side * 5.0f, y, x, y + 12.0f);
            }
            const float hx = geometry::centreX + side * 42.0f;
            marks.startNewSubPath (hx, 64.0f);
            marks.quadraticTo (hx + side * 4.0f, 72.0f, hx, 80.0f);
        }
        g.setColour (juce::Colour (0xffeef4ff));
        g.strokePath (marks, roundStroke (2.2f));
    }
}
} // namespace gribb::sprites
