#pragma once

#include <array>
#include <optional>

/** The window's zoom: how many screen pixels one unit of the window's own layout takes. The
    pages are laid out in window units (620 x 560 and 980 x 640, limits 480 x 430 to 1600 x 1050);
    the zoom scales all of it, text, knobs, the chicken, menus and the technical page alike. */
namespace gribb::zoom
{
/** The zooms offered in the window's menu, in per cent. */
inline constexpr std::array<int, 7> percents { 100, 125, 150, 175, 200, 250, 300 };

/** The offered zoom nearest to a scale (1.0 is 100 %); a scale outside the list takes its end. */
int nearestPercent (double scale) noexcept;

/** The offered zoom after (step +1) or before (step -1) the given one, or that one at an end. */
int stepFrom (int percent, int step) noexcept;

bool isOffered (int percent) noexcept;

/** The scale a window shows at (1.0 is 100 %): a zoom the user chose wins; otherwise the scale
    the host passed, as it passed it, where it passed one (JUCE hands the window 1.0 when a host
    passes none, so 1.0 counts as none); otherwise the desktop's scale, taken to the nearest
    offered zoom. */
double choose (std::optional<int> chosenPercent, float hostScale, double desktopScale) noexcept;

/** The highest host scale taken as it is; a larger one (or one below 0.5) is no scale. */
inline constexpr double largestHostScale = 4.0;
} // namespace gribb::zoom
