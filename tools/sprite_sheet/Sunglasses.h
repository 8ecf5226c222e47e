#pragma once

#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** Black sunglasses: worn over the eyes, or hovering above the head on their way down. */
void drawSunglasses (juce::Graphics& g, const RoastFrameState& state);
} // namespace gribb::sprites
