#pragma once

namespace gribb
{
/** The oscillator shapes over arrays of phases: one output per phase, no state, no branches that
    depend on the sample, so each loop vectorises. Built for several x86-64 generations and picked
    at run time by what the processor supports. */
namespace OscillatorKernels
{
    /** Pulse with band-limited edges at 0 and at the pulse width. */
    void pulse (const float* phases, float phaseIncrement, float pulseWidth, float* out, int numSamples) noexcept;

    /** Triangle from -1 at phase 0 up to +1 at 0.5 and back. */
    void triangle (const float* phases, float* out, int numSamples) noexcept;

    /** Phase-modulated sine: sin (sin (2 pi m) * index + 2 pi t). */
    void fm (const float* phases, const float* modulatorPhases, float index, float* out, int numSamples) noexcept;

    /** out[i] = (a[i] + out[i]) * 0.5: the average of the unison pair. */
    void average (const float* a, float* out, int numSamples) noexcept;
} // namespace OscillatorKernels
} // namespace gribb
