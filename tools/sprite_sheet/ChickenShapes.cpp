#include "ChickenShapes.h"

namespace gribb::sprites
{
juce::Path bodyShape()
{
    // An egg, wider towards the bottom, from the neck down to the legs.
    juce::Path p;
    p.startNewSubPath (128.0f, 100.0f);
    p.cubicTo (168.0f, 100.0f, 194.0f, 136.0f, 193.0f, 170.0f);
    p.cubicTo (192.0f, 200.0f, 164.0f, 216.0f, 128.0f, 216.0f);
    p.cubicTo (92.0f, 216.0f, 64.0f, 200.0f, 63.0f, 170.0f);
    p.cubicTo (62.0f, 136.0f, 88.0f, 100.0f, 128.0f, 100.0f);
    p.closeSubPath();
    return p;
}

juce::Path headShape()
{
    // A round head, slightly wider at the cheeks.
    const auto c = geometry::headCentre;
    const auto r = geometry::headRadius;
    juce::Path p;
    p.addEllipse (c.x - r - 1.0f, c.y - r, 2.0f * r + 2.0f, 2.0f * r);
    return p;
}

juce::Path combShape()
{
    // Three rounded lobes on top of the head, the middle one tallest.
    juce::Path p;
    p.startNewSubPath (106.0f, 58.0f);
    p.cubicTo (98.0f, 48.0f, 106.0f, 36.0f, 116.0f, 42.0f);
    p.cubicTo (116.0f, 30.0f, 134.0f, 26.0f, 138.0f, 38.0f);
    p.cubicTo (146.0f, 32.0f, 158.0f, 42.0f, 150.0f, 58.0f);
    p.closeSubPath();
    return p;
}

juce::Path wattleShape()
{
    // Two red lobes hanging under the beak.
    juce::Path p;
    p.startNewSubPath (128.0f, 100.0f);
    p.cubicTo (136.0f, 102.0f, 138.0f, 116.0f, 132.0f, 122.0f);
    p.cubicTo (130.0f, 124.0f, 129.0f, 121.0f, 128.0f, 118.0f);
    p.cubicTo (127.0f, 121.0f, 126.0f, 124.0f, 124.0f, 122.0f);
    p.cubicTo (118.0f, 116.0f, 120.0f, 102.0f, 128.0f, 100.0f);
    p.closeSubPath();
    return p;
}

juce::Path wingShape()
{
    // Hangs from the shoulder along the side of the body, the tip pointing down and out.
    juce::Path p;
    p.startNewSubPath (84.0f, 124.0f);
    p.cubicTo (62.0f, 124.0f, 48.0f, 158.0f, 54.0f, 194.0f);
    p.cubicTo (60.0f, 188.0f, 66.0f, 190.0f, 70.0f, 184.0f);
    p.cubicTo (74.0f, 186.0f, 80.0f, 180.0f, 82.0f, 174.0f);
    p.cubicTo (92.0f, 164.0f, 96.0f, 136.0f, 84.0f, 124.0f);
    p.closeSubPath();
    return p;
}

juce::Path legShape()
{
    // Shin from under the body to the ground, then three toes spread forward.
    juce::Path p;
    p.startNewSubPath (112.0f, 206.0f);
    p.lineTo (110.0f, 233.0f);
    p.startNewSubPath (110.0f, 233.0f);
    p.lineTo (95.0f, 239.0f);
    p.startNewSubPath (110.0f, 233.0f);
    p.lineTo (107.0f, 242.0f);
    p.startNewSubPath (110.0f, 233.0f);
    p.lineTo (121.0f, 240.0f);
    return p;
}

juce::Path mirrored (const juce::Path& path)
{
    juce::Path p (path);
    p.applyTransform (juce::AffineTransform::scale (-1.0f, 1.0f, geometry::centreX, 0.0f));
    return p;
}

void fillShaded (juce::Graphics& g, const juce::Path& path, juce::Colour base, juce::Colour outline,
                 float outlineWidth, float highlight, float shadow)
{
    const auto b = path.getBounds();
    const juce::Point<float> light (b.getX() + b.getWidth() * 0.35f, b.getY() + b.getHeight() * 0.28f);
    const float radius = juce::jmax (b.getWidth(), b.getHeight()) * 0.85f;

    juce::ColourGradient gradient (base.brighter (highlight), light,
                                   base.darker (shadow), light.translated (radius, radius * 0.7f), true);
    gradient.addColour (0.45, base);
    g.setGradientFill (gradient);
    g.fillPath (path);

    if (outlineWidth > 0.0f)
    {
        g.setColour (outline);
        g.strokePath (path, juce::PathStrokeType (outlineWidth, juce::PathStrokeType::curved,
                                                  juce::PathStrokeType::rounded));
    }
}

void drawRimLight (juce::Graphics& g, const juce::Path& path, juce::Colour colour, float width)
{
    if (colour.getAlpha() == 0)
        return;

    // The inner half of a wide stroke, fading out from the upper-left towards the middle.
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (path);
    const auto b = path.getBounds();
    g.setGradientFill (juce::ColourGradient (colour, b.getTopLeft(),
                                             colour.withAlpha (0.0f), b.getCentre(), false));
    g.strokePath (path, juce::PathStrokeType (width * 2.0f));
}
} // namespace gribb::sprites
