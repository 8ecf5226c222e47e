#pragma once

namespace gribb
{
/** The processor's per-block copy of the synthesis parameters, pushed into every voice. */
struct VoiceParameters
{
    int oscType = 0;          // applied at note start
    float pulseWidth = 0.5f;  // applied at note start
    float fmRatio = 2.0f;     // applied at note start
    float fmIndex = 0.0f;     // every render call
    float attack = 0.005f;    // seconds
    float decay = 0.1f;       // seconds
    float sustain = 0.8f;     // level 0..1
    float release = 0.2f;     // seconds
    float unisonDetune = 0.0f; // cents; 0.0001 or less switches the unison oscillator off
};
} // namespace gribb
