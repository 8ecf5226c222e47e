#pragma once

#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** Burning: glowing cracks in the skin, embers, smoke and flames. */
void drawCracks (juce::Graphics& g, const RoastFrameState& state);
void drawEmbers (juce::Graphics& g, const RoastFrameState& state);
void drawSmokeWisps (juce::Graphics& g, const RoastFrameState& state);
void drawSmokeCloudBehind (juce::Graphics& g, const RoastFrameState& state);
void drawSmokeCloudInFront (juce::Graphics& g, const RoastFrameState& state);
void drawFlamesBehind (juce::Graphics& g, const RoastFrameState& state);
void drawFlamesInFront (juce::Graphics& g, const RoastFrameState& state);
} // namespace gribb::sprites
