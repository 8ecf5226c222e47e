#include "FireAndSmoke.h"

#include "ChickenShapes.h"

#include <cmath>
#include <vector>

namespace gribb::sprites
{
namespace
{
/** The cracks that open in the skin, in the order they appear. Each is a jagged line with a
    short branch; they are built from a fixed seed so a crack stays in place as more open. */
juce::Array<juce::Path> crackPaths()
{
    const juce::Point<float> starts[] = { { 108.0f, 150.0f }, { 150.0f, 136.0f }, { 140.0f, 184.0f },
                                          { 104.0f, 190.0f }, { 170.0f, 168.0f }, { 136.0f, 60.0f } };
    const float headings[] = { 1.9f, 0.9f, 1.4f, 2.6f, 1.8f, 1.2f };
    juce::Random random (777);
    juce::Array<juce::Path> cracks;

    for (int i = 0; i < 6; ++i)
    {
        juce::Path crack;
        auto p = starts[i];
        float heading = headings[i];
        crack.startNewSubPath (p);
        juce::Point<float> branchFrom;

        for (int segment = 0; segment < 5; ++segment)
        {
            heading += (random.nextFloat() - 0.5f) * 1.4f;
            const float length = 6.0f + random.nextFloat() * 5.0f;
            p += juce::Point<float> (std::cos (heading), std::sin (heading)) * length;
            crack.lineTo (p);
            if (segment == 1)
                branchFrom = p;
        }

        crack.startNewSubPath (branchFrom);
        float branchHeading = heading + 1.2f;
        auto q = branchFrom;
        for (int segment = 0; segment < 2; ++segment)
        {
            branchHeading += (random.nextFloat() - 0.5f) * 0.8f;
            q += juce::Point<float> (std::cos (branchHeading), std::sin (branchHeading)) * (5.0f + random.nextFloat() * 3.0f);
            crack.lineTo (q);
        }
        cracks.add (crack);
    }
    return cracks;
}

struct Ember
{
    juce::Point<float> position;
    float size;
};

/** Embers on the skin and a few drifting up from it, in the order they appear. */
juce::Array<Ember> emberPlaces()
{
    juce::Random random (4242);
    juce::Array<Ember> embers;
    for (int i = 0; i < 14; ++i)
    {
        const bool drifting = i % 3 == 2;
        const juce::Point<float> p = drifting
            ? juce::Point<float> (70.0f + random.nextFloat() * 116.0f, 30.0f + random.nextFloat() * 70.0f)
            : juce::Point<float> (84.0f + random.nextFloat() * 88.0f, 118.0f + random.nextFloat() * 86.0f);
        embers.add ({ p, drifting ? 2.2f + random.nextFloat() * 1.5f : 2.8f + random.nextFloat() * 2.2f });
    }
    return embers;
}

/** A soft round puff of smoke. */
void drawPuff (juce::Graphics& g, juce::Point<float> centre, float radius, juce::Colour colour, float alpha)
{
    juce::ColourGradient gradient (colour.brighter (0.25f).withMultipliedAlpha (alpha), centre.translated (-radius * 0.3f, -radius * 0.35f),
                                   colour.withAlpha (0.0f), centre.translated (radius, 0.0f), true);
    gradient.addColour (0.6, colour.withMultipliedAlpha (alpha));
    g.setGradientFill (gradient);
    g.fillEllipse (centre.x - radius, centre.y - radius, radius * 2.0f, radius * 2.0f);
}

/** A cartoon cloud: overlapping round puffs, lit from above, with a dark contour around the
    whole cloud (stroked before the fill, so only its outer half stays visible). */
void drawCloud (juce::Graphics& g, const std::vector<juce::Point<float>>& centres, const std::vector<float>& radii,
                float opacity)
{
    juce::Path cloud;
    for (size_t i = 0; i < centres.size(); ++i)
        cloud.addEllipse (centres[i].x - radii[i], centres[i].y - radii[i], radii[i] * 2.0f, radii[i] * 2.0f);

    g.setColour (juce::Colour (0xff161413).withMultipliedAlpha (opacity));
    g.strokePath (cloud, juce::PathStrokeType (3.0f));

    const auto b = cloud.getBounds();
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff5a5654).withMultipliedAlpha (opacity), b.getTopLeft(),
                                             juce::Colour (0xff1e1c1b).withMultipliedAlpha (opacity), b.getBottomLeft(), false));
    g.fillPath (cloud);

    // The lit upper side of each puff.
    juce::Graphics::ScopedSaveState save (g);
    g.reduceClipRegion (cloud);
    for (size_t i = 0; i < centres.size(); ++i)
    {
        const auto c = centres[i].translated (-radii[i] * 0.25f, -radii[i] * 0.3f);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0x38ffffff), c, juce::Colour (0x00ffffff),
                                                 c.translated (radii[i] * 0.7f, 0.0f), true));
        g.fillEllipse (c.x - radii[i] * 0.7f, c.y - radii[i] * 0.7f, radii[i] * 1.4f, radii[i] * 1.4f);
    }
}

/** One tongue of flame standing on the ground, leaning to one side at its tip. */
juce::Path flameTongue (float x, float baseY, float halfWidth, float height, float lean)
{
    juce::Path p;
    p.startNewSubPath (x - halfWidth, baseY);
    p.cubicTo (x - halfWidth * 1.1f, baseY - height * 0.45f, x + lean * 0.2f - halfWidth * 0.3f, baseY - height * 0.7f,
               x + lean, baseY - height);
    p.cubicTo (x + lean * 0.3f + halfWidth * 0.6f, baseY - height * 0.6f, x + halfWidth * 1.1f, baseY - height * 0.4f,
               x + halfWidth, baseY);
    p.quadraticTo (x, baseY + halfWidth * 0.5f, x - halfWidth, baseY);
    p.closeSubPath();
    return p;
}

void drawFlameRow (juce::Graphics& g, const RoastFrameState& state, int count, float spread, float maxHeight,
                   float halfWidth, juce::Colour tip, juce::Colour base, uint32_t salt)
{
    juce::Random random ((juce::int64) (state.seed ^ salt));
    const float baseY = geometry::groundY + 2.0f;

    for (int i = 0; i < count; ++i)
    {
        const float t = count > 1 ? (float) i / (float) (count - 1) : 0.5f;
        const float x = geometry::centreX - spread + 2.0f * spread * t + (random.nextFloat() - 0.5f) * 6.0f;
        // Taller in the middle, shorter at the ends; each frame flickers a little.
        const float middle = 1.0f - 0.45f * std::abs (2.0f * t - 1.0f);
        const float height = maxHeight * state.flames * middle * (0.8f + 0.35f * random.nextFloat());
        const float lean = (random.nextFloat() - 0.5f) * height * 0.35f;
        const auto tongue = flameTongue (x, baseY, halfWidth * (0.7f + 0.3f * state.flames), height, lean);
        g.setGradientFill (juce::ColourGradient (tip, x, baseY - height, base, x, baseY, false));
        g.fillPath (tongue);
    }
}
} // namespace

void drawCracks (juce::Graphics& g, const RoastFrameState& state)
{
    const auto cracks = crackPaths();
    const float glow = state.crackGlow;
    const auto body = bodyShape();
    const auto head = headShape();

    for (int i = 0; i < juce::jmin (state.cracks, cracks.size()); ++i)
    {
        juce::Graphics::ScopedSaveState save (g);
        g.reduceClipRegion (i == 5 ? head : body);
        const auto& crack = cracks.getReference (i);
        g.setColour (juce::Colour (0xffff6a10).withAlpha (0.35f * glow));
        g.strokePath (crack, juce::PathStrokeType (8.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
        g.setColour (juce::Colour (0xff1a0a04));
        g.strokePath (crack, juce::PathStrokeType (3.6f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
        g.setColour (juce::Colour (0xffff7a18).withAlpha (glow));
        g.strokePath (crack, juce::PathStrokeType (2.6f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
        g.setColour (juce::Colour (0xffffe070).withAlpha (glow));
        g.strokePath (crack, juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded));
    }
}

void drawEmbers (juce::Graphics& g, const RoastFrameState& state)
{
    const auto embers = emberPlaces();
    juce::Random flicker ((juce::int64) state.seed);

    for (int i = 0; i < juce::jmin (state.embers, embers.size()); ++i)
    {
        const auto& e = embers.getReference (i);
        const float glow = state.emberGlow * (0.75f + 0.25f * flicker.nextFloat());
        const float halo = e.size * 3.2f;
        juce::ColourGradient gradient (juce::Colour (0xffffd060).withAlpha (glow), e.position,
                                       juce::Colour (0xffff4a00).withAlpha (0.0f), e.position.translated (halo, 0.0f), true);
        gradient.addColour (0.35, juce::Colour (0xffff7a10).withAlpha (0.7f * glow));
        g.setGradientFill (gradient);
        g.fillEllipse (e.position.x - halo, e.position.y - halo, halo * 2.0f, halo * 2.0f);
        g.setColour (juce::Colour (0xfffff4c0).withAlpha (glow));
        g.fillEllipse (e.position.x - e.size * 0.5f, e.position.y - e.size * 0.5f, e.size, e.size);
    }
}

void drawSmokeWisps (juce::Graphics& g, const RoastFrameState& state)
{
    // Columns of small puffs curling up from the shoulders and the head, growing and fading.
    const juce::Point<float> sources[] = { { 100.0f, 112.0f }, { 156.0f, 108.0f }, { 132.0f, 48.0f } };
    juce::Random random (99);
    for (int s = 0; s < 3; ++s)
    {
        auto p = sources[s];
        const float drift = s == 0 ? -1.0f : 1.0f;
        for (int i = 0; i < 7; ++i)
        {
            const float t = (float) i / 6.0f;
            p += juce::Point<float> (drift * (2.0f + 3.0f * std::sin ((float) i * 1.3f + (float) s)), -7.0f);
            const float radius = 5.0f + 7.0f * t + random.nextFloat() * 2.0f;
            drawPuff (g, p, radius, juce::Colour (0xff3a3634), state.smokeWisps * (1.0f - 0.75f * t));
        }
    }
}

void drawSmokeCloudBehind (juce::Graphics& g, const RoastFrameState&)
{
    std::vector<juce::Point<float>> centres;
    std::vector<float> radii;
    juce::Random random (31);
    for (int i = 0; i < 13; ++i)
    {
        const float angle = juce::MathConstants<float>::twoPi * (float) i / 13.0f;
        centres.push_back ({ 128.0f + std::cos (angle) * 84.0f, 136.0f + std::sin (angle) * 86.0f });
        radii.push_back (28.0f + random.nextFloat() * 10.0f);
    }
    centres.push_back ({ 128.0f, 136.0f }); radii.push_back (80.0f);
    drawCloud (g, centres, radii, 1.0f);
}

void drawSmokeCloudInFront (juce::Graphics& g, const RoastFrameState&)
{
    // A veil of soft smoke over the body, low puffs hiding the legs, two more over the shoulders.
    const juce::Point<float> veil[] = { { 104.0f, 158.0f }, { 152.0f, 150.0f }, { 128.0f, 188.0f }, { 120.0f, 118.0f } };
    for (auto p : veil)
        drawPuff (g, p, 30.0f, juce::Colour (0xff2c2a28), 0.55f);

    std::vector<juce::Point<float>> centres { { 80.0f, 214.0f }, { 108.0f, 224.0f }, { 140.0f, 226.0f },
                                              { 172.0f, 214.0f }, { 58.0f, 188.0f }, { 196.0f, 186.0f } };
    std::vector<float> radii { 22.0f, 20.0f, 22.0f, 22.0f, 18.0f, 18.0f };
    drawCloud (g, centres, radii, 0.92f);

    std::vector<juce::Point<float>> shoulders { { 62.0f, 120.0f }, { 194.0f, 118.0f } };
    std::vector<float> shoulderRadii { 16.0f, 15.0f };
    drawCloud (g, shoulders, shoulderRadii, 0.85f);
}

void drawFlamesBehind (juce::Graphics& g, const RoastFrameState& state)
{
    // A warm glow on the ground, then the tall outer flames.
    const juce::Point<float> c (geometry::centreX, geometry::groundY - 8.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffff8a20).withAlpha (0.55f * state.flames), c,
                                             juce::Colour (0x00ff6010), c.translated (90.0f, 0.0f), true));
    g.fillEllipse (c.x - 90.0f, c.y - 40.0f * state.flames - 10.0f, 180.0f, 80.0f * state.flames + 20.0f);

    drawFlameRow (g, state, 7, 56.0f, 62.0f, 13.0f, juce::Colour (0xffc8241a), juce::Colour (0xffff8a1a), 0x1111u);
}

void drawFlamesInFront (juce::Graphics& g, const RoastFrameState& state)
{
    drawFlameRow (g, state, 6, 50.0f, 44.0f, 10.0f, juce::Colour (0xffff5a12), juce::Colour (0xffffc030), 0x2222u);
    drawFlameRow (g, state, 5, 42.0f, 26.0f, 6.5f, juce::Colour (0xffffb020), juce::Colour (0xfffff6c0), 0x3333u);
}
} // namespace gribb::sprites
