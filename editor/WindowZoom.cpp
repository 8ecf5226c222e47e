#include "editor/WindowZoom.h"

#include <cmath>

namespace gribb::zoom
{
int nearestPercent (double scale) noexcept
{
    if (! std::isfinite (scale))
        return percents.front();

    const auto wanted = scale * 100.0;
    auto best = percents.front();

    for (const auto p : percents)
        if (std::abs ((double) p - wanted) < std::abs ((double) best - wanted))
            best = p;

    return best;
}

int stepFrom (int percent, int step) noexcept
{
    const auto current = nearestPercent (percent / 100.0);
    int index = 0;

    for (int i = 0; i < (int) percents.size(); ++i)
        if (percents[(size_t) i] == current)
            index = i;

    index = std::max (0, std::min ((int) percents.size() - 1, index + step));
    return percents[(size_t) index];
}

bool isOffered (int percent) noexcept
{
    for (const auto p : percents)
        if (p == percent)
            return true;

    return false;
}

double choose (std::optional<int> chosenPercent, float hostScale, double desktopScale) noexcept
{
    if (chosenPercent.has_value() && isOffered (*chosenPercent))
        return *chosenPercent / 100.0;

    // The comparisons also turn NaN away.
    if (hostScale >= 0.5f && hostScale <= (float) largestHostScale && std::abs (hostScale - 1.0f) > 1.0e-3f)
        return (double) hostScale;

    return nearestPercent (desktopScale) / 100.0;
}
} // namespace gribb::zoom
