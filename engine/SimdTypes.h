#pragma once

/** For the helpers that take or return a vector: always inlined, so that each is built for the
    instruction set of the kernel that calls it (engine/VectorClones.h). An eight-float vector
    passes between functions in a different way with AVX than without, so an out-of-line copy
    built without AVX, called from a kernel built with it, would read garbage. */
#define GRIBB_VECTOR_INLINE inline __attribute__ ((always_inline))

namespace gribb
{
/** Small float vectors for the stereo stages. Each lane is computed with the same IEEE operations
    as the scalar code would use, so a lane's result equals the scalar result bit for bit. */
typedef float Float2 __attribute__ ((vector_size (8)));
typedef float Float4 __attribute__ ((vector_size (16)));
typedef int Int4 __attribute__ ((vector_size (16)));
typedef int Int2 __attribute__ ((vector_size (8)));
typedef float Float8 __attribute__ ((vector_size (32)));
typedef int Int8 __attribute__ ((vector_size (32)));

/** The same value in every lane of V, or the value itself when V is float: lets one formula serve
    scalars and vectors. */
template <typename V>
GRIBB_VECTOR_INLINE V broadcast (float value) noexcept
{
    if constexpr (sizeof (V) == sizeof (float))
        return value;
    else
    {
        V v {};
        for (unsigned i = 0; i < sizeof (V) / sizeof (float); ++i)
            v[i] = value;
        return v;
    }
}

/** Sets to 0 every lane within +-1e-8 (and any NaN), as the filters do with their states after
    each block so that decaying states reach exactly zero. */
inline Float4 snapToZero (Float4 v) noexcept
{
    const Float4 limit = { 1.0e-8f, 1.0e-8f, 1.0e-8f, 1.0e-8f };
    const Int4 keep = (v < -limit) | (v > limit);
    return keep ? v : Float4 {};
}

inline Float2 snapToZero (Float2 v) noexcept
{
    const Float2 limit = { 1.0e-8f, 1.0e-8f };
    const Int2 keep = (v < -limit) | (v > limit);
    return keep ? v : Float2 {};
}

/** True when every lane is +0 or -0. */
inline bool allZero (Float4 v) noexcept
{
    const Int4 nonZero = (v < Float4 {}) | (v > Float4 {});
    return (nonZero[0] | nonZero[1] | nonZero[2] | nonZero[3]) == 0;
}

inline bool allZero (Float2 v) noexcept
{
    const Int2 nonZero = (v < Float2 {}) | (v > Float2 {});
    return (nonZero[0] | nonZero[1]) == 0;
}
} // namespace gribb
