// The vectorisable sine and exponential stand in for sinf and expf in the hot loops; they must
// stay within a few units in the last place over every argument the engine gives them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/FastExp.h"
#include "engine/FastSine.h"

namespace
{
double ulpsFrom (float value, double exact)
{
    const double ulp = std::ldexp (1.0, std::ilogb ((float) exact) - 23);
    return std::abs ((double) value - exact) / ulp;
}
} // namespace

TEST (FastMath, SineWithinTwoAndAHalfUlpsForVoiceArguments)
{
    double worstUlps = 0.0, worstAbsolute = 0.0;
    for (int i = 0; i <= 2000000; ++i)
    {
        const float x = -64.0f + 128.0f * (float) i / 2000000.0f;
        const double exact = std::sin ((double) x);
        const float approx = gribb::fastSine (x);
        worstAbsolute = std::max (worstAbsolute, std::abs ((double) approx - exact));
        if (std::abs (exact) > 1.0e-6)
            worstUlps = std::max (worstUlps, ulpsFrom (approx, exact));
    }
    EXPECT_LT (worstUlps, 2.5);
    EXPECT_LT (worstAbsolute, 1.5e-7);
    EXPECT_EQ (gribb::fastSine (0.0f), 0.0f);
    EXPECT_TRUE (std::isnan (gribb::fastSine (std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE (std::isnan (gribb::fastSine (std::numeric_limits<float>::infinity())));
}

TEST (FastMath, ExponentialWithinOneUlpForNonPositiveArguments)
{
    double worstUlps = 0.0;
    for (int i = 0; i <= 2000000; ++i)
    {
        const float x = -87.0f * (float) i / 2000000.0f;
        worstUlps = std::max (worstUlps, ulpsFrom (gribb::fastExpNonPositive (x), std::exp ((double) x)));
    }
    EXPECT_LT (worstUlps, 1.0);
    EXPECT_EQ (gribb::fastExpNonPositive (0.0f), 1.0f);
    EXPECT_LT (gribb::fastExpNonPositive (-1000.0f), 1.0e-37f); // far below: next to nothing, never NaN
    EXPECT_LT (gribb::fastExpNonPositive (-std::numeric_limits<float>::infinity()), 1.0e-37f);
}
