#pragma once

#include <juce_graphics/juce_graphics.h>

namespace gribb::test
{
constexpr int spriteFrameSize = 256;
constexpr int spriteFrameCount = 30;

/** resources/gribb_roast_sprites.png in the source tree. */
juce::File committedSheetFile();

/** The committed file decoded with JUCE's PNG reader (loaded once). */
const juce::Image& committedSheet();

/** The pixel at (x, y) inside frame `frame` of a sheet. */
juce::Colour framePixel (const juce::Image& sheet, int frame, int x, int y);
} // namespace gribb::test
