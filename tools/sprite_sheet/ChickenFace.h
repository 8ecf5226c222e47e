#pragma once

#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** Eyes, brows and beak in the frame's expression. */
void drawFace (juce::Graphics& g, const RoastFrameState& state);

/** Sweat drops beside the head and tremble marks beside the body. */
void drawNerves (juce::Graphics& g, const RoastFrameState& state);
} // namespace gribb::sprites
