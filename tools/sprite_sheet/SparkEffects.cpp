#include "SparkEffects.h"

#include "ChickenShapes.h"

#include <cmath>

namespace gribb::sprites
{
namespace
{
const juce::Colour cyan (0xff4ef2ff);
const juce::Colour paleCyan (0xffc8fcff);

juce::Point<float> polar (juce::Point<float> centre, float radius, float angle)
{
    return centre + juce::Point<float> (std::cos (angle), std::sin (angle)) * radius;
}

/** A slim ray from `from` to `to`, widest near its inner end. */
juce::Path ray (juce::Point<float> from, juce::Point<float> to, float width)
{
    const auto along = to - from;
    const float length = along.getDistanceFromOrigin();
    const juce::Point<float> normal (-along.y / length, along.x / length);
    const auto shoulder = from + along * 0.25f;
    juce::Path p;
    p.startNewSubPath (from);
    p.lineTo (shoulder + normal * width * 0.5f);
    p.lineTo (to);
    p.lineTo (shoulder - normal * width * 0.5f);
    p.closeSubPath();
    return p;
}

/** A four-pointed star: a sparkle. */
juce::Path sparkle (juce::Point<float> centre, float size)
{
    juce::Path p;
    p.addStar (centre, 4, size * 0.22f, size);
    return p;
}

void drawSparkle (juce::Graphics& g, juce::Point<float> c, float size, float alpha)
{
    g.setGradientFill (juce::ColourGradient (cyan.withAlpha (0.5f * alpha), c, cyan.withAlpha (0.0f),
                                             c.translated (size * 1.3f, 0.0f), true));
    g.fillEllipse (c.x - size * 1.3f, c.y - size * 1.3f, size * 2.6f, size * 2.6f);
    g.setColour (cyan.withAlpha (alpha));
    g.fillPath (sparkle (c, size));
    g.setColour (juce::Colours::white.withAlpha (alpha));
    g.fillPath (sparkle (c, size * 0.55f));
}
} // namespace

void drawFlash (juce::Graphics& g, const RoastFrameState& state)
{
    const auto c = geometry::chest;
    const float r = 78.0f * state.flash;

    juce::ColourGradient glow (juce::Colours::white, c, cyan.withAlpha (0.0f), c.translated (r, 0.0f), true);
    glow.addColour (0.18, juce::Colours::white);
    glow.addColour (0.35, paleCyan.withAlpha (0.9f));
    glow.addColour (0.6, cyan.withAlpha (0.45f));
    g.setGradientFill (glow);
    g.fillEllipse (c.x - r, c.y - r, r * 2.0f, r * 2.0f);

    // Short rays and a bright star at the middle.
    for (int i = 0; i < 12; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * (float) i / 12.0f + 0.13f;
        const float length = (i % 2 == 0 ? 62.0f : 44.0f) * state.flash;
        const auto shape = ray (polar (c, 8.0f, angle), polar (c, length, angle), i % 2 == 0 ? 6.0f : 4.0f);
        g.setColour (paleCyan.withAlpha (0.9f));
        g.fillPath (shape);
    }
    g.setColour (juce::Colours::white);
    g.fillPath (sparkle (c, 26.0f));
}

void drawBurstBehind (juce::Graphics& g, const RoastFrameState& state)
{
    const auto c = geometry::chest.translated (0.0f, -12.0f);
    const float reach = 112.0f * state.burst;

    juce::ColourGradient glow (paleCyan.withAlpha (0.95f), c, cyan.withAlpha (0.0f), c.translated (reach, 0.0f), true);
    glow.addColour (0.45, cyan.withAlpha (0.5f));
    g.setGradientFill (glow);
    g.fillEllipse (c.x - reach, c.y - reach, reach * 2.0f, reach * 2.0f);

    juce::Random random ((juce::int64) state.seed);
    for (int i = 0; i < 28; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * ((float) i + random.nextFloat() * 0.6f) / 28.0f;
        const float length = reach * (0.7f + 0.3f * random.nextFloat());
        const auto shape = ray (polar (c, 20.0f, angle), polar (c, length, angle), 7.0f + 5.0f * random.nextFloat());
        g.setGradientFill (juce::ColourGradient (juce::Colours::white, c, cyan, polar (c, length, angle), true));
        g.fillPath (shape);
    }
}

void drawBurstInFront (juce::Graphics& g, const RoastFrameState& state)
{
    // Sparks flying out over the chicken: short bright streaks with a dot at their head.
    const auto c = geometry::chest.translated (0.0f, -12.0f);
    const float reach = 112.0f * state.burst;
    juce::Random random ((juce::int64) (state.seed * 3u + 1u));

    for (int i = 0; i < 22; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * ((float) i + random.nextFloat()) / 22.0f;
        const float outer = reach * (0.55f + 0.45f * random.nextFloat());
        const float inner = outer - (14.0f + 12.0f * random.nextFloat());
        const auto head = polar (c, outer, angle);
        const auto shape = ray (polar (c, inner, angle), head, 3.5f);
        g.setColour (cyan);
        g.fillPath (shape);
        g.setColour (juce::Colours::white);
        g.fillEllipse (head.x - 2.0f, head.y - 2.0f, 4.0f, 4.0f);
    }

    for (int i = 0; i < 6; ++i)
    {
        const float angle = random.nextFloat() * juce::MathConstants<float>::twoPi;
        drawSparkle (g, polar (c, reach * (0.45f + 0.4f * random.nextFloat()), angle), 7.0f + 4.0f * random.nextFloat(), 1.0f);
    }
}

void drawCharFlakes (juce::Graphics& g, const RoastFrameState& state)
{
    // Shards of the black crust blown outwards, spinning.
    const auto c = geometry::chest.translated (0.0f, -12.0f);
    juce::Random random ((juce::int64) (state.seed + 17u));
    for (int i = 0; i < 14; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * ((float) i + random.nextFloat() * 0.5f) / 14.0f;
        const auto p = polar (c, 76.0f + 30.0f * random.nextFloat(), angle);
        const float size = 5.0f + 5.0f * random.nextFloat();
        juce::Path shard;
        shard.startNewSubPath (-size, -size * 0.4f);
        shard.lineTo (size * 0.8f, -size * 0.7f);
        shard.lineTo (size, size * 0.5f);
        shard.lineTo (-size * 0.3f, size * 0.6f);
        shard.closeSubPath();
        shard.applyTransform (juce::AffineTransform::rotation (random.nextFloat() * 6.0f).translated (p));
        g.setColour (juce::Colour (0xff1c1816));
        g.fillPath (shard);
        g.setColour (juce::Colour (0xffff8a30));
        g.strokePath (shard, juce::PathStrokeType (1.0f));
    }
}

void drawSparkles (juce::Graphics& g, const RoastFrameState& state)
{
    juce::Random random ((juce::int64) state.seed);
    const juce::Point<float> centre (128.0f, 128.0f);
    for (int i = 0; i < state.sparkles; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * ((float) i + 0.5f * random.nextFloat()) / (float) state.sparkles;
        const auto p = polar (centre, 78.0f + 26.0f * random.nextFloat(), angle);
        drawSparkle (g, p, 6.0f + 5.0f * random.nextFloat(), 1.0f);
    }
}
} // namespace gribb::sprites
