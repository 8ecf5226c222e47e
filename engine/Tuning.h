#pragma once

#include <array>
#include <cmath>

namespace gribb
{
/** A microtuning: the frequency of every MIDI key, and which keys play at all (a keyboard
    mapping can leave keys unmapped). Built on the message thread, read by the voices. */
struct Tuning
{
    static constexpr int numKeys = 128;

    std::array<double, numKeys> frequencies {};
    std::array<bool, numKeys> mapped {};

    bool isMapped (int key) const noexcept { return key >= 0 && key < numKeys && mapped[(size_t) key]; }
    double frequencyOf (int key) const noexcept { return frequencies[(size_t) (key < 0 ? 0 : key >= numKeys ? numKeys - 1 : key)]; }
};
} // namespace gribb
