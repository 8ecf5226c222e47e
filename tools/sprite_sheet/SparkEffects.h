#pragma once

#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** The transformation: the cyan-white flash at the chest, the bursts of cyan sparks with the
    charred crust flying off, and the sparkles that linger afterwards. */
void drawFlash (juce::Graphics& g, const RoastFrameState& state);
void drawBurstBehind (juce::Graphics& g, const RoastFrameState& state);
void drawBurstInFront (juce::Graphics& g, const RoastFrameState& state);
void drawCharFlakes (juce::Graphics& g, const RoastFrameState& state);
void drawSparkles (juce::Graphics& g, const RoastFrameState& state);
} // namespace gribb::sprites
