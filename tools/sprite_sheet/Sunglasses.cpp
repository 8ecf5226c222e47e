#include "Sunglasses.h"

#include "ChickenShapes.h"

namespace gribb::sprites
{
namespace
{
/** The glasses as worn, centred on the eyes. */
void drawGlasses (juce::Graphics& g, bool glint)
{
    const float y = geometry::eyeY - 10.0f;
    juce::Path lenses;
    for (float side : { -1.0f, 1.0f })
    {
        const float cx = geometry::centreX + side * 16.0f;
        lenses.addRoundedRectangle (cx - 15.0f, y, 30.0f, 21.0f, 11.0f, 11.0f, false, false, true, true);
    }

    // Temples running back to the sides of the head, and the bridge.
    juce::Path frame;
    frame.startNewSubPath (geometry::centreX - 31.0f, y + 2.0f);
    frame.lineTo (geometry::centreX - 37.0f, y + 5.0f);
    frame.startNewSubPath (geometry::centreX + 31.0f, y + 2.0f);
    frame.lineTo (geometry::centreX + 37.0f, y + 5.0f);
    frame.startNewSubPath (geometry::centreX - 32.0f, y + 1.0f);
    frame.lineTo (geometry::centreX + 32.0f, y + 1.0f);
    g.setColour (juce::Colour (0xff0a0a0c));
    g.strokePath (frame, juce::PathStrokeType (4.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff4a5060), 0.0f, y,
                                             juce::Colour (0xff060608), 0.0f, y + 21.0f, false));
    g.fillPath (lenses);
    g.setColour (juce::Colour (0xff000000));
    g.strokePath (lenses, juce::PathStrokeType (2.2f));

    // A diagonal reflection across each lens.
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (lenses);
        juce::Path glare;
        for (float side : { -1.0f, 1.0f })
        {
            const float cx = geometry::centreX + side * 16.0f;
            glare.startNewSubPath (cx - 8.0f, y + 21.0f);
            glare.lineTo (cx + 4.0f, y);
            glare.lineTo (cx + 10.0f, y);
            glare.lineTo (cx - 2.0f, y + 21.0f);
            glare.closeSubPath();
        }
        g.setColour (juce::Colours::white.withAlpha (0.35f));
        g.fillPath (glare);
    }

    if (glint)
    {
        const juce::Point<float> c (geometry::centreX - 24.0f, y + 4.0f);
        juce::Path star;
        star.addStar (c, 4, 1.8f, 11.0f);
        g.setColour (juce::Colours::white);
        g.fillPath (star);
    }
}
} // namespace

void drawSunglasses (juce::Graphics& g, const RoastFrameState& state)
{
    if (state.sunglasses == Sunglasses::none)
        return;

    if (state.sunglasses == Sunglasses::worn)
    {
        drawGlasses (g, state.glint);
        return;
    }

    // Hovering over the comb, tilted, with speed lines showing they are floating down.
    juce::Graphics::ScopedSaveState save (g);
    g.addTransform (juce::AffineTransform::rotation (-0.12f, geometry::centreX, geometry::eyeY)
                        .translated (0.0f, -50.0f));
    juce::Path trail;
    for (float side : { -1.0f, 1.0f })
    {
        const float x = geometry::centreX + side * 40.0f;
        trail.startNewSubPath (x, geometry::eyeY - 2.0f);
        trail.lineTo (x, geometry::eyeY - 12.0f);
        trail.startNewSubPath (x + side * 6.0f, geometry::eyeY + 6.0f);
        trail.lineTo (x + side * 6.0f, geometry::eyeY - 4.0f);
    }
    g.setColour (juce::Colours::white.withAlpha (0.85f));
    g.strokePath (trail, juce::PathStrokeType (2.2f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    drawGlasses (g, true);
}
} // namespace gribb::sprites
