#pragma once

#include "ChickenPalette.h"
#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** The parts of the chicken itself, each drawn in the colours of the frame's doneness. */
void drawGroundShadow (juce::Graphics& g, const RoastFrameState& state);
void drawLegs (juce::Graphics& g, const RoastFrameState& state);
void drawBody (juce::Graphics& g, const RoastFrameState& state);
void drawWings (juce::Graphics& g, const RoastFrameState& state);
void drawHead (juce::Graphics& g, const RoastFrameState& state);
void drawGloss (juce::Graphics& g, const RoastFrameState& state);
void drawPointingWing (juce::Graphics& g, const RoastFrameState& state);
} // namespace gribb::sprites
