#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "processor/GribbTazoAudioProcessor.h"
#include "support/NotesAndAudioChecks.h"
#include "support/ProcessorTestHelpers.h"

namespace gribb::test
{
/** Every stage doing something: FM voices with unison, the LFO on cutoff and FM, drive and clip
    oversampled, rate reduction and bit crushing (the engine's tests have the same settings as
    engine values, tests/engine/GribbEngineTest.cpp). */
inline void setEveryStageActive (GribbTazoAudioProcessor& processor)
{
    const std::pair<const char*, float> settings[] = {
        { "oscType", 2.0f },     { "fmIndex", 6.0f },    { "unison", 15.0f },    { "lfoRate", 7.0f },
        { "lfoShape", 3.0f },    { "lfoToCutoff", 1.0f }, { "lfoToFm", 1.0f },   { "drive", 20.0f },
        { "hardClip", 0.5f },    { "oversample", 2.0f }, { "bitDepth", 4.5f },   { "srReduce", 0.6f },
        { "resonance", 5.0f },   { "outputGain", 0.0f },
    };
    for (const auto& [id, value] : settings)
        setPlain (processor, id, value);
}
} // namespace gribb::test
