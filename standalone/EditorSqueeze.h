#pragma once

#include <cmath>

#include <juce_graphics/juce_graphics.h>

/** Tells a squeezed editor from a resized one. A window manager may answer a new window size
    late, first with an older or smaller size; JUCE's Standalone window then fits the editor, at
    its fixed aspect ratio, into that size and keeps it there. Such a squeeze leaves the editor
    smaller in both directions at the same aspect ratio. A page switch changes the aspect ratio,
    and a larger size is no squeeze. */
namespace EditorSqueeze
{
/** How far the aspect ratio may drift, relative, for the rounding of a squeezed size to whole
    pixels (about 0.5 % for the smallest size the editor takes). */
inline constexpr double ratioTolerance = 0.02;

/** Whether `size` is `kept` made smaller, in both directions, at the same aspect ratio. */
inline bool isSqueezed (juce::Rectangle<int> size, juce::Rectangle<int> kept)
{
    if (kept.isEmpty() || size.isEmpty() || size.getWidth() >= kept.getWidth() || size.getHeight() >= kept.getHeight())
        return false;

    const auto keptRatio = (double) kept.getWidth() / kept.getHeight();
    const auto ratio = (double) size.getWidth() / size.getHeight();
    return std::abs (ratio - keptRatio) <= ratioTolerance * keptRatio;
}
} // namespace EditorSqueeze
