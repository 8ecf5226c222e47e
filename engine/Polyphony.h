#pragma once

namespace gribb
{
/** Voices the instrument plays at once. The engine makes this many voices, and the synthesiser
    and its phase bank are sized for them: every block of up to this many sounding voices steps
    their phases together, eight phases to a vector and four vectors at a time, so polyphony times
    phasesPerVoice must be a multiple of 32 (engine/PhaseBank.h checks it when it is compiled). */
constexpr int polyphony = 16;

/** Oscillator phases per voice: a carrier and a modulator for each of the two oscillators. */
constexpr int phasesPerVoice = 4;
} // namespace gribb
