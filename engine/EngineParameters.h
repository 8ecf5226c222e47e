#pragma once

#include "engine/VoiceParameters.h"

namespace gribb
{
/** One block's parameter values, read once at the block's start, in the parameters' own units
    (seconds, Hz, dB, cents, choice indices). */
struct EngineParameters
{
    VoiceParameters voice;

    float lfoRate = 2.0f;      // Hz
    float lfoShape = 0.0f;     // an Lfo shape index
    float lfoToCutoff = 0.0f;  // 0..1
    float lfoToFm = 0.0f;      // 0..1

    float cutoff = 8000.0f;    // Hz
    float resonance = 0.7071f;
    float drive = 1.0f;        // linear gain into the curve
    float hardClip = 0.0f;     // 0..1
    bool oversample = false;   // drive and clip at four times the host rate

    float srReduce = 0.0f;     // 0..1
    float bitDepth = 16.0f;    // bits
    float outputGain = 0.0f;   // dB
    float reactiveRoast = 1.0f; // 0..1
};
} // namespace gribb
