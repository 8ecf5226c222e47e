#include "FrameLayers.h"

#include "ChickenFace.h"
#include "ChickenFigure.h"
#include "ChickenPalette.h"
#include "ChickenShapes.h"
#include "FireAndSmoke.h"
#include "SparkEffects.h"
#include "Sunglasses.h"

namespace gribb::sprites
{
std::vector<Layer> layersFor (const RoastFrameState& s)
{
    std::vector<Layer> layers;
    auto add = [&layers] (const char* name, auto draw) { layers.push_back ({ name, draw }); };

    add ("background", [] (juce::Graphics& g, const RoastFrameState& state) { g.fillAll (backgroundColour (state)); });

    if (s.smokeCloud)            add ("smoke cloud behind", drawSmokeCloudBehind);
    if (s.burst > 0.0f)          add ("burst behind", drawBurstBehind);
    if (! s.smokeCloud)          add ("ground shadow", drawGroundShadow);
    if (s.flames > 0.0f)         add ("flames behind", drawFlamesBehind);

    add ("legs", drawLegs);
    add ("body", drawBody);
    if (s.cracks > 0)            add ("cracks", drawCracks);
    add ("wings", drawWings);
    add ("head", drawHead);
    if (s.gloss)                 add ("gloss", drawGloss);
    add ("face", drawFace);
    if (s.sweatDrops > 0 || s.shivering) add ("nerves", drawNerves);

    if (s.embers > 0)            add ("embers", drawEmbers);
    if (s.smokeWisps > 0.0f)     add ("smoke wisps", drawSmokeWisps);
    if (s.smokeCloud)            add ("smoke cloud in front", drawSmokeCloudInFront);
    if (s.flash > 0.0f)          add ("flash", drawFlash);
    if (s.burst > 0.0f)          add ("burst in front", drawBurstInFront);
    if (s.charFlakes)            add ("char flakes", drawCharFlakes);
    if (s.sparkles > 0)          add ("sparkles", drawSparkles);
    if (s.flames > 0.0f)         add ("flames in front", drawFlamesInFront);
    if (s.sunglasses != Sunglasses::none) add ("sunglasses", drawSunglasses);
    if (s.pointing)              add ("pointing wing", drawPointingWing);

    return layers;
}

juce::Image renderFrame (const RoastFrameState& state)
{
    const int size = (int) geometry::frameSize;
    juce::Image frame (juce::Image::RGB, size, size, true, juce::SoftwareImageType());
    juce::Graphics g (frame);
    for (const auto& layer : layersFor (state))
    {
        juce::Graphics::ScopedSaveState save (g);
        layer.draw (g, state);
    }
    return frame;
}
} // namespace gribb::sprites
