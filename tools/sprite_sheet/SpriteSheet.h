#pragma once

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** All frames stacked from the top: 256 wide, 256 x 30 high, opaque RGB. */
juce::Image renderSpriteSheet();

/** The sheet as PNG bytes: 8-bit RGB (colour type 2), no alpha, not interlaced. JUCE's PNG
    writer picks RGB for an image without an alpha channel. Returns an empty block on failure. */
juce::MemoryBlock encodeSpriteSheet (const juce::Image& sheet);

/** All frames side by side in a labelled grid, for looking at the whole sequence at once. */
juce::Image renderContactSheet (const juce::Image& sheet);
} // namespace gribb::sprites
