#pragma once

namespace gribb
{
/** Clamps v to lo..hi: lo if v < lo, otherwise the smaller of hi and v. Every range limit in the
    sound engine is applied this way. */
template <typename T>
constexpr T clampTo (T v, T lo, T hi) noexcept
{
    return v < lo ? lo : (hi < v ? hi : v);
}
} // namespace gribb
