#include "RoastFrameState.h"

#include <algorithm>

namespace gribb::sprites
{
RoastFrameState roastFrameState (int index)
{
    RoastFrameState s;
    s.index = std::clamp (index, 0, numRoastFrames - 1);
    s.seed = 0x6a3d1u + 7919u * (uint32_t) s.index;

    switch (s.index)
    {
        // Raw, pale and worried.
        case 0:  s.doneness = Doneness::raw; s.face = Face::worried; s.shivering = true; break;
        case 1:  s.doneness = Doneness::raw; s.face = Face::worried; s.shivering = true; s.sweatDrops = 1; break;

        // Browning, more and more nervous.
        case 2:  s.doneness = Doneness::golden; s.face = Face::worried; s.sweatDrops = 1; break;
        case 3:  s.doneness = Doneness::amber; s.face = Face::worried; s.sweatDrops = 2; break;
        case 4:  s.doneness = Doneness::brown; s.face = Face::worried; s.sweatDrops = 3; break;
        case 5:  s.doneness = Doneness::darkBrown; s.face = Face::pained; s.sweatDrops = 2;
                 s.cracks = 2; s.crackGlow = 0.8f; break;

        // Scorched, with embers.
        case 6:  s.doneness = Doneness::scorched; s.face = Face::pained;
                 s.cracks = 4; s.crackGlow = 1.0f; s.embers = 7; s.emberGlow = 1.0f; s.smokeWisps = 0.3f; break;
        case 7:  s.doneness = Doneness::scorched; s.face = Face::dazed;
                 s.cracks = 6; s.crackGlow = 1.0f; s.embers = 12; s.emberGlow = 1.0f; s.smokeWisps = 0.6f; break;

        // Blackened in smoke.
        case 8:  s.doneness = Doneness::blackened; s.face = Face::sooty; s.smokeCloud = true; s.smokeWisps = 0.8f;
                 s.cracks = 6; s.crackGlow = 0.45f; break;

        // Charred, faint embers.
        case 9:  s.doneness = Doneness::charred; s.face = Face::sooty;
                 s.cracks = 6; s.crackGlow = 0.25f; s.embers = 6; s.emberGlow = 0.5f; s.smokeWisps = 0.4f; break;
        case 10: s.doneness = Doneness::charred; s.face = Face::dazed;
                 s.cracks = 6; s.crackGlow = 0.18f; s.embers = 5; s.emberGlow = 0.4f; s.smokeWisps = 0.25f; break;
        case 11: s.doneness = Doneness::charred; s.face = Face::sooty;
                 s.cracks = 6; s.crackGlow = 0.12f; s.embers = 4; s.emberGlow = 0.3f; s.smokeWisps = 0.15f; break;

        // The flash, the burst and the glossy roast that comes out of it.
        case 12: s.doneness = Doneness::charred; s.face = Face::stunned; s.flash = 1.0f;
                 s.cracks = 6; s.crackGlow = 0.6f; break;
        case 13: s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true;
                 s.burst = 1.0f; s.charFlakes = true; break;
        case 14: s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true; s.sparkles = 5; break;
        case 15: case 16: case 17: case 18:
                 s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true; break;
        case 19: s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true; s.burst = 0.85f; break;
        case 20: s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true; s.sparkles = 7; break;

        // Flames at its feet, then the sunglasses.
        case 21: s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true; s.flames = 0.4f; break;
        case 22: s.doneness = Doneness::roast; s.face = Face::startled; s.gloss = true; s.flames = 0.65f; break;
        case 23: s.doneness = Doneness::roast; s.face = Face::lookingUp; s.gloss = true; s.flames = 0.8f;
                 s.sunglasses = Sunglasses::hovering; break;
        case 24: case 25:
                 s.doneness = Doneness::roast; s.face = Face::cool; s.gloss = true;
                 s.flames = s.index == 24 ? 0.85f : 0.9f; s.sunglasses = Sunglasses::worn; break;
        default: s.doneness = Doneness::roast; s.face = Face::grinning; s.gloss = true; s.flames = 1.0f;
                 s.sunglasses = Sunglasses::worn; s.pointing = true; s.glint = s.index >= 28; break;
    }
    return s;
}
} // namespace gribb::sprites
