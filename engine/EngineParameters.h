#pragma once

#include "engine/ParameterTable.h"
#include "engine/VoiceParameters.h"

namespace gribb
{
/** One block's parameter values, read once at the block's start, in the parameters' own units
    (seconds, Hz, dB, cents, choice indices). A default-made set holds the parameter table's
    defaults, so the engine on its own sounds as a new instance of the plug-in does. */
struct EngineParameters
{
    VoiceParameters voice;

    float lfoRate = defaultOf (ParamIndex::lfoRate);         // Hz
    float lfoShape = defaultOf (ParamIndex::lfoShape);       // an Lfo shape index
    float lfoToCutoff = defaultOf (ParamIndex::lfoToCutoff); // 0..1
    float lfoToFm = defaultOf (ParamIndex::lfoToFm);         // 0..1

    float cutoff = defaultOf (ParamIndex::cutoff);           // Hz
    float resonance = defaultOf (ParamIndex::resonance);
    float drive = defaultOf (ParamIndex::drive);             // linear gain into the curve
    float hardClip = defaultOf (ParamIndex::hardClip);       // 0..1
    bool oversample = (int) defaultOf (ParamIndex::oversample) != 0; // drive and clip at four times the host rate

    float srReduce = defaultOf (ParamIndex::srReduce);       // 0..1
    float bitDepth = defaultOf (ParamIndex::bitDepth);       // bits
    float outputGain = defaultOf (ParamIndex::outputGain);   // dB
    float reactiveRoast = defaultOf (ParamIndex::reactiveRoast); // 0..1
};
} // namespace gribb
