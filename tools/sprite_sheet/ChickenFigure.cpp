#include "ChickenFigure.h"

#include "ChickenShapes.h"

namespace gribb::sprites
{
namespace
{
/** How strongly the light side of the skin is lifted: more on the black chicken so its shape
    still reads, less on the scorched one so it stays darker than the dark-brown frame before. */
float skinHighlight (Doneness d)
{
    if (d == Doneness::blackened) return 0.55f;
    if (d == Doneness::charred)   return 0.45f;
    if (d == Doneness::scorched)  return 0.25f;
    return 0.4f;
}

/** Small marks in the skin: goose bumps on the raw chicken, ash on the charred one, roasted
    spots on the browned ones. Their places are fixed so they do not jump between frames. */
void drawSkinTexture (juce::Graphics& g, const juce::Path& body, const RoastFrameState& state,
                      const ChickenPalette& palette)
{
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (body);
    juce::Random random (1234);
    const auto bounds = body.getBounds();

    for (int i = 0; i < 70; ++i)
    {
        const juce::Point<float> p (bounds.getX() + random.nextFloat() * bounds.getWidth(),
                                    bounds.getY() + random.nextFloat() * bounds.getHeight());
        const float size = 1.6f + random.nextFloat() * 1.6f;

        switch (state.doneness)
        {
            case Doneness::raw:
                g.setColour (palette.outline.withAlpha (0.35f));
                g.fillEllipse (p.x - size * 0.5f, p.y - size * 0.5f, size, size);
                g.setColour (juce::Colours::white.withAlpha (0.6f));
                g.fillEllipse (p.x - size * 0.5f - 0.6f, p.y - size * 0.5f - 0.6f, size * 0.5f, size * 0.5f);
                break;
            case Doneness::blackened:
            case Doneness::charred:
                g.setColour (juce::Colour (0xff8a8480).withAlpha (0.35f));
                g.fillEllipse (p.x, p.y, size * 1.4f, size * 0.8f);
                break;
            case Doneness::amber:
            case Doneness::brown:
            case Doneness::darkBrown:
            case Doneness::scorched:
            case Doneness::roast:
                if (i % 3 == 0)
                {
                    const float blot = 6.0f + random.nextFloat() * 8.0f;
                    g.setGradientFill (juce::ColourGradient (palette.outline.withAlpha (0.35f), p,
                                                             palette.outline.withAlpha (0.0f),
                                                             p.translated (blot, 0.0f), true));
                    g.fillEllipse (p.x - blot, p.y - blot, blot * 2.0f, blot * 2.0f);
                }
                break;
            case Doneness::golden:
                break;
        }
    }
}
} // namespace

void drawGroundShadow (juce::Graphics& g, const RoastFrameState&)
{
    const juce::Point<float> c (geometry::centreX, geometry::groundY);
    g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.35f), c,
                                             juce::Colours::black.withAlpha (0.0f), c.translated (62.0f, 0.0f), true));
    g.fillEllipse (c.x - 62.0f, c.y - 9.0f, 124.0f, 18.0f);
}

void drawLegs (juce::Graphics& g, const RoastFrameState& state)
{
    const auto palette = chickenPalette (state.doneness);
    for (const auto& leg : { legShape(), mirrored (legShape()) })
    {
        g.setColour (palette.outline);
        g.strokePath (leg, juce::PathStrokeType (8.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        g.setColour (palette.legs);
        g.strokePath (leg, juce::PathStrokeType (5.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
        g.setColour (palette.legs.brighter (0.5f).withAlpha (0.7f));
        juce::Path shine (leg);
        shine.applyTransform (juce::AffineTransform::translation (-1.2f, -0.5f));
        g.strokePath (shine, juce::PathStrokeType (1.4f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void drawBody (juce::Graphics& g, const RoastFrameState& state)
{
    const auto palette = chickenPalette (state.doneness);
    const auto body = bodyShape();
    fillShaded (g, body, palette.skin, palette.outline, 0.0f, skinHighlight (state.doneness), 0.5f);
    drawSkinTexture (g, body, state, palette);
    drawRimLight (g, body, palette.rimLight, 5.0f);

    // A lighter belly patch in the middle gives the body its roundness.
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (body);
        const juce::Point<float> belly (126.0f, 168.0f);
        g.setGradientFill (juce::ColourGradient (palette.skin.brighter (0.35f).withAlpha (0.55f), belly,
                                                 palette.skin.withAlpha (0.0f), belly.translated (38.0f, 0.0f), true));
        g.fillEllipse (belly.x - 38.0f, belly.y - 34.0f, 76.0f, 68.0f);
    }

    g.setColour (palette.outline);
    g.strokePath (body, juce::PathStrokeType (3.0f));
}

void drawWings (juce::Graphics& g, const RoastFrameState& state)
{
    const auto palette = chickenPalette (state.doneness);
    juce::Array<juce::Path> wings { wingShape() };
    if (! state.pointing)
        wings.add (mirrored (wingShape()));

    for (const auto& wing : wings)
    {
        fillShaded (g, wing, palette.skin.darker (0.08f), palette.outline, 2.5f, skinHighlight (state.doneness), 0.55f);
        drawRimLight (g, wing, palette.rimLight, 3.0f);

        // Two creases towards the tip, where the wing folds.
        const bool left = wing.getBounds().getCentreX() < geometry::centreX;
        juce::Path creases;
        creases.startNewSubPath (76.0f, 160.0f);
        creases.quadraticTo (68.0f, 172.0f, 64.0f, 188.0f);
        creases.startNewSubPath (83.0f, 162.0f);
        creases.quadraticTo (78.0f, 174.0f, 74.0f, 182.0f);
        if (! left)
            creases = mirrored (creases);
        g.setColour (palette.outline.withAlpha (0.7f));
        g.strokePath (creases, juce::PathStrokeType (1.6f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }
}

void drawHead (juce::Graphics& g, const RoastFrameState& state)
{
    const auto palette = chickenPalette (state.doneness);

    const auto comb = combShape();
    fillShaded (g, comb, palette.comb, palette.comb.darker (0.8f), 2.5f, 0.5f, 0.5f);

    const auto head = headShape();
    fillShaded (g, head, palette.skin, palette.outline, 3.0f, skinHighlight (state.doneness) + 0.05f, 0.45f);
    drawRimLight (g, head, palette.rimLight, 4.0f);

    // Cheeks: a soft flush under each eye.
    for (float side : { -1.0f, 1.0f })
    {
        const juce::Point<float> cheek (geometry::centreX + side * 22.0f, 94.0f);
        const auto flush = state.doneness == Doneness::raw ? juce::Colour (0xffff8a8a) : palette.comb;
        g.setGradientFill (juce::ColourGradient (flush.withAlpha (0.35f), cheek, flush.withAlpha (0.0f),
                                                 cheek.translated (8.0f, 0.0f), true));
        g.fillEllipse (cheek.x - 8.0f, cheek.y - 6.0f, 16.0f, 12.0f);
    }

    const auto wattle = wattleShape();
    fillShaded (g, wattle, palette.comb, palette.comb.darker (0.8f), 2.0f, 0.5f, 0.5f);
}

void drawGloss (juce::Graphics& g, const RoastFrameState&)
{
    // Glaze: a broad soft sheen and a sharp highlight on the body, and sparkling points on
    // the head and the wings.
    const auto body = bodyShape();
    juce::Graphics::ScopedSaveState save (g);

    {
        juce::Graphics::ScopedSaveState clip (g);
        g.reduceClipRegion (body);
        const juce::Point<float> sheen (104.0f, 132.0f);
        g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.5f), sheen,
                                                 juce::Colours::white.withAlpha (0.0f), sheen.translated (30.0f, 0.0f), true));
        g.fillEllipse (sheen.x - 30.0f, sheen.y - 20.0f, 60.0f, 40.0f);

        juce::Path streak;
        streak.addEllipse (-16.0f, -5.0f, 32.0f, 10.0f);
        streak.applyTransform (juce::AffineTransform::rotation (-0.75f).translated (100.0f, 128.0f));
        g.setColour (juce::Colours::white.withAlpha (0.85f));
        g.fillPath (streak);

        juce::Path rim;
        rim.startNewSubPath (180.0f, 150.0f);
        rim.quadraticTo (186.0f, 178.0f, 166.0f, 200.0f);
        g.setColour (juce::Colour (0xfffff0b0).withAlpha (0.6f));
        g.strokePath (rim, juce::PathStrokeType (2.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    }

    juce::Path headShine;
    headShine.addEllipse (-9.0f, -4.0f, 18.0f, 8.0f);
    headShine.applyTransform (juce::AffineTransform::rotation (-0.6f).translated (108.0f, 60.0f));
    g.setColour (juce::Colours::white.withAlpha (0.75f));
    g.fillPath (headShine);

    for (auto p : { juce::Point<float> (66.0f, 146.0f), juce::Point<float> (150.0f, 118.0f), juce::Point<float> (118.0f, 190.0f) })
    {
        g.setColour (juce::Colours::white.withAlpha (0.9f));
        g.fillEllipse (p.x - 2.0f, p.y - 2.0f, 4.0f, 4.0f);
    }
}

void drawPointingWing (juce::Graphics& g, const RoastFrameState& state)
{
    // The viewer's right wing raised from the shoulder: the feathers curled into a fist and one
    // long feather stretched out like a finger, pointing out at the viewer.
    const auto palette = chickenPalette (state.doneness);

    juce::Path arm;
    arm.startNewSubPath (170.0f, 124.0f);
    arm.cubicTo (186.0f, 116.0f, 198.0f, 112.0f, 208.0f, 108.0f);
    arm.lineTo (214.0f, 128.0f);
    arm.cubicTo (202.0f, 134.0f, 192.0f, 144.0f, 178.0f, 160.0f);
    arm.cubicTo (172.0f, 150.0f, 168.0f, 136.0f, 170.0f, 124.0f);
    arm.closeSubPath();
    fillShaded (g, arm, palette.skin.darker (0.08f), palette.outline, 2.5f, 0.4f, 0.55f);

    juce::Path finger;
    finger.startNewSubPath (212.0f, 106.0f);
    finger.cubicTo (226.0f, 98.0f, 236.0f, 92.0f, 243.0f, 92.0f);
    finger.cubicTo (248.0f, 93.0f, 247.0f, 99.0f, 242.0f, 101.0f);
    finger.cubicTo (234.0f, 105.0f, 224.0f, 110.0f, 216.0f, 116.0f);
    finger.closeSubPath();
    fillShaded (g, finger, palette.skin.darker (0.05f), palette.outline, 2.5f, 0.5f, 0.4f);

    juce::Path fist;
    fist.addEllipse (200.0f, 104.0f, 22.0f, 26.0f);
    fillShaded (g, fist, palette.skin.darker (0.05f), palette.outline, 2.5f, 0.45f, 0.5f);
    juce::Path knuckles;
    knuckles.startNewSubPath (204.0f, 116.0f);
    knuckles.quadraticTo (212.0f, 114.0f, 219.0f, 118.0f);
    knuckles.startNewSubPath (204.0f, 123.0f);
    knuckles.quadraticTo (211.0f, 121.0f, 217.0f, 125.0f);
    g.setColour (palette.outline);
    g.strokePath (knuckles, juce::PathStrokeType (1.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    if (state.gloss)
    {
        g.setColour (juce::Colours::white.withAlpha (0.75f));
        g.fillEllipse (206.0f, 108.0f, 6.0f, 4.0f);
        g.fillEllipse (228.0f, 96.0f, 7.0f, 3.0f);
    }

    // Emphasis strokes around the fingertip.
    juce::Path ticks;
    ticks.startNewSubPath (240.0f, 80.0f);   ticks.lineTo (243.0f, 72.0f);
    ticks.startNewSubPath (250.0f, 88.0f);   ticks.lineTo (254.0f, 84.0f);
    ticks.startNewSubPath (248.0f, 106.0f);  ticks.lineTo (253.0f, 109.0f);
    g.setColour (juce::Colour (0xfffff4c0));
    g.strokePath (ticks, juce::PathStrokeType (2.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}
} // namespace gribb::sprites
