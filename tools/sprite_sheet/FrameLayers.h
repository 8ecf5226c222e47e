#pragma once

#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <vector>

namespace gribb::sprites
{
/** One drawing step of a frame, in frame coordinates (0..256 in both directions). */
struct Layer
{
    const char* name;
    std::function<void (juce::Graphics&, const RoastFrameState&)> draw;
};

/** The layers that make up a frame with this state, back to front. */
std::vector<Layer> layersFor (const RoastFrameState& state);

/** Draws one 256 x 256 frame into an opaque RGB image. */
juce::Image renderFrame (const RoastFrameState& state);
} // namespace gribb::sprites
