#include "engine/PhaseBank.h"

#include <cstring>

#include "engine/PhaseStep.h"
#include "engine/VectorClones.h"

namespace gribb
{
namespace
{
    // The helpers are always inlined, so that they are built for each instruction set the
    // stepping function is built for.
    GRIBB_VECTOR_INLINE Float8 load8 (const float* p) noexcept
    {
        Float8 v;
        std::memcpy (&v, p, sizeof (v));
        return v;
    }

    // Rows of eight samples of eight lanes become eight lanes of eight samples.
    GRIBB_VECTOR_INLINE void transpose8 (const Float8* rows, float* const* lanes, int at) noexcept
    {
        const Float8 t0 = __builtin_shufflevector (rows[0], rows[1], 0, 8, 1, 9, 4, 12, 5, 13);
        const Float8 t1 = __builtin_shufflevector (rows[0], rows[1], 2, 10, 3, 11, 6, 14, 7, 15);
        const Float8 t2 = __builtin_shufflevector (rows[2], rows[3], 0, 8, 1, 9, 4, 12, 5, 13);
        const Float8 t3 = __builtin_shufflevector (rows[2], rows[3], 2, 10, 3, 11, 6, 14, 7, 15);
        const Float8 t4 = __builtin_shufflevector (rows[4], rows[5], 0, 8, 1, 9, 4, 12, 5, 13);
        const Float8 t5 = __builtin_shufflevector (rows[4], rows[5], 2, 10, 3, 11, 6, 14, 7, 15);
        const Float8 t6 = __builtin_shufflevector (rows[6], rows[7], 0, 8, 1, 9, 4, 12, 5, 13);
        const Float8 t7 = __builtin_shufflevector (rows[6], rows[7], 2, 10, 3, 11, 6, 14, 7, 15);

        const Float8 u0 = __builtin_shufflevector (t0, t2, 0, 1, 8, 9, 4, 5, 12, 13);
        const Float8 u1 = __builtin_shufflevector (t0, t2, 2, 3, 10, 11, 6, 7, 14, 15);
        const Float8 u2 = __builtin_shufflevector (t1, t3, 0, 1, 8, 9, 4, 5, 12, 13);
        const Float8 u3 = __builtin_shufflevector (t1, t3, 2, 3, 10, 11, 6, 7, 14, 15);
        const Float8 u4 = __builtin_shufflevector (t4, t6, 0, 1, 8, 9, 4, 5, 12, 13);
        const Float8 u5 = __builtin_shufflevector (t4, t6, 2, 3, 10, 11, 6, 7, 14, 15);
        const Float8 u6 = __builtin_shufflevector (t5, t7, 0, 1, 8, 9, 4, 5, 12, 13);
        const Float8 u7 = __builtin_shufflevector (t5, t7, 2, 3, 10, 11, 6, 7, 14, 15);

        const Float8 out[8] = {
            __builtin_shufflevector (u0, u4, 0, 1, 2, 3, 8, 9, 10, 11),
            __builtin_shufflevector (u1, u5, 0, 1, 2, 3, 8, 9, 10, 11),
            __builtin_shufflevector (u2, u6, 0, 1, 2, 3, 8, 9, 10, 11),
            __builtin_shufflevector (u3, u7, 0, 1, 2, 3, 8, 9, 10, 11),
            __builtin_shufflevector (u0, u4, 4, 5, 6, 7, 12, 13, 14, 15),
            __builtin_shufflevector (u1, u5, 4, 5, 6, 7, 12, 13, 14, 15),
            __builtin_shufflevector (u2, u6, 4, 5, 6, 7, 12, 13, 14, 15),
            __builtin_shufflevector (u3, u7, 4, 5, 6, 7, 12, 13, 14, 15),
        };
        for (int lane = 0; lane < 8; ++lane)
            std::memcpy (lanes[lane] + at, &out[lane], sizeof (Float8));
    }
} // namespace

int PhaseBank::addLane (float phase, float increment) noexcept
{
    if (numLanes == maxLanes)
        return -1;
    phases[numLanes] = phase;
    increments[numLanes] = increment;
    return numLanes++;
}

GRIBB_VECTOR_CLONES
void PhaseBank::step (int length) noexcept
{
    if (numLanes <= 0 || length <= 0)
        return;
    length = length < maxLength ? length : maxLength;
    const int groups = (numLanes + 7) / 8;

    // Four groups at a time, sample by sample, their phases and increments in registers. The lanes
    // that fill up the last four groups stand still.
    const int stepped = ((groups + groupsAtOnce - 1) / groupsAtOnce) * groupsAtOnce * 8;
    for (int lane = numLanes; lane < stepped; ++lane)
    {
        phases[lane] = 0.0f;
        increments[lane] = 0.0f;
    }

    bool wrapsOnce = true;
    for (int g = 0; g < groups; ++g)
        wrapsOnce = wrapsOnce && ! anyAtLeastOne (load8 (increments + 8 * g));

    for (int first = 0; first < groups; first += groupsAtOnce)
    {
        Float8 p[groupsAtOnce], increment[groupsAtOnce];
        for (int g = 0; g < groupsAtOnce; ++g)
        {
            p[g] = load8 (phases + 8 * (first + g));
            increment[g] = load8 (increments + 8 * (first + g));
        }

        for (int i = 0; i < length; ++i)
        {
            #pragma GCC unroll 4
            for (int g = 0; g < groupsAtOnce; ++g)
            {
                bySample[first + g][i] = p[g];
                p[g] = stepPhase (p[g], increment[g], wrapsOnce);
            }
        }

        for (int g = 0; g < groupsAtOnce; ++g)
            std::memcpy (phases + 8 * (first + g), &p[g], sizeof (Float8));
    }

    for (int g = 0; g < groups; ++g)
    {
        float* const lanes[8] = { records[8 * g], records[8 * g + 1], records[8 * g + 2], records[8 * g + 3],
                                  records[8 * g + 4], records[8 * g + 5], records[8 * g + 6], records[8 * g + 7] };
        for (int at = 0; at < length; at += 8)
            transpose8 (bySample[g] + at, lanes, at);
    }
}
} // namespace gribb
