#pragma once

#include <juce_core/juce_core.h>

#include "engine/Clamp.h"

namespace gribb
{
/** The global block-rate LFO. It is evaluated once per block at the phase where the block starts
    and then advanced by the block's duration, so all samples of a block share one value. */
struct Lfo
{
    static constexpr int sineShape = 0, triangleShape = 1, squareShape = 2, randomShape = 3;

    double sampleRate = 44100.0;
    float rate = 2.0f;         // Hz, 0.01..40
    float phase = 0.0f;        // cycles, 0 <= phase < 1
    float heldRandom = 0.0f;   // value of the stepped random shape, -1 <= value < 1
    int shape = sineShape;          // any other value gives 0
    juce::Random random;       // default-constructed, hence randomly seeded

    /** Starts again at phase 0 with a fresh random value; rate and shape wait for the next step. */
    void prepare (double newSampleRate) noexcept
    {
        sampleRate = newSampleRate;
        phase = 0.0f;
        drawRandom();
    }

    /** The output at phase p for the given shape; the random shape plays `held`. */
    static float valueAt (int shapeIndex, float p, float held) noexcept
    {
        switch (shapeIndex)
        {
            case sineShape:     return std::sin (p * 6.2831855f);
            case triangleShape: return p < 0.5f ? 4.0f * p - 1.0f : 3.0f - 4.0f * p;
            case squareShape:   return p < 0.5f ? 1.0f : -1.0f;
            case randomShape:   return held;
            default:       return 0.0f;
        }
    }

    /** One block: takes the rate and shape (plain parameter values), returns the block's LFO value
        and advances the phase by numSamples. Every completed cycle draws a new random value. */
    float step (float rateParameter, float shapeParameter, int numSamples) noexcept
    {
        rate = clampTo (rateParameter, 0.01f, 40.0f);
        shape = (int) shapeParameter;

        // A rate of 0 (never prepared by a host that reports one) would give Inf; such a host gets
        // a still LFO instead.
        const auto hostRate = (float) sampleRate;
        const float increment = hostRate > 0.0f ? (rate / hostRate) * (float) juce::jmax (0, numSamples) : 0.0f;

        const float value = valueAt (shape, phase, heldRandom);

        phase = increment + phase;
        if (phase >= 1.0f)
        {
            // Taking off the whole cycles at once equals subtracting 1 per cycle (each subtraction
            // is exact), but cannot hang on an increment so large that phase - 1 == phase.
            const float wholeCycles = std::floor (phase);
            phase -= wholeCycles;
            const int draws = wholeCycles < (float) maxDrawsPerBlock ? (int) wholeCycles : maxDrawsPerBlock;
            for (int i = 0; i < draws; ++i)
                drawRandom();
        }
        return value;
    }

    /** Far beyond any real block (40 Hz for a block of over half an hour at 44.1 kHz). */
    static constexpr int maxDrawsPerBlock = 1 << 16;

    void drawRandom() noexcept { heldRandom = 2.0f * random.nextFloat() - 1.0f; }
};

/** The voices' FM-index offset: the LFO made unipolar and scaled so lfoToFm 1 adds up to 12. */
inline float lfoFmOffset (float lfoValue, float lfoToFm) noexcept
{
    return (0.5f * lfoValue + 0.5f) * (12.0f * lfoToFm);
}
} // namespace gribb
