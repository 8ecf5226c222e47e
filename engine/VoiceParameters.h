#pragma once

#include "engine/ParameterTable.h"

namespace gribb
{
/** The engine's per-block copy of the synthesis parameters, pushed into every voice. A
    default-made set holds the parameter table's defaults. */
struct VoiceParameters
{
    int oscType = (int) defaultOf (ParamIndex::oscType);     // applied at note start
    float pulseWidth = defaultOf (ParamIndex::pulseWidth);   // applied at note start
    float fmRatio = defaultOf (ParamIndex::fmRatio);         // applied at note start
    float fmIndex = defaultOf (ParamIndex::fmIndex);         // every render call
    float attack = defaultOf (ParamIndex::attack);           // seconds
    float decay = defaultOf (ParamIndex::decay);             // seconds
    float sustain = defaultOf (ParamIndex::sustain);         // level 0..1
    float release = defaultOf (ParamIndex::release);         // seconds
    float unisonDetune = defaultOf (ParamIndex::unison);     // cents; 0.0001 or less switches the unison oscillator off
};
} // namespace gribb
