#pragma once

#include <array>

#include <juce_audio_processors/juce_audio_processors.h>

#include "engine/ParameterTable.h"

namespace gribb
{
/** The main page's two macro knobs. Each knob position x (0..1) sets its targets, in order, to
    start + x * (end - start): fixed linear maps in plain parameter values. The window's knobs and
    a MIDI controller learned to a macro write through the same maps. */
enum class Macro : int { crush, warp };
inline constexpr int numMacros = 2;

struct MacroTarget
{
    ParamIndex parameter;
    float start, end;
};

inline constexpr std::array<MacroTarget, 3> crushTargets {{
    { bitDepth, 16.0f, 3.0f },
    { drive, 1.0f, 40.0f },
    { hardClip, 0.0f, 0.85f },
}};

inline constexpr std::array<MacroTarget, 4> warpTargets {{
    { lfoRate, 0.5f, 18.0f },
    { lfoToFm, 0.0f, 1.0f },
    { fmIndex, 0.0f, 14.0f },
    { lfoToCutoff, 0.0f, 0.8f },
}};

/** The knobs' step: a position is a multiple of it, whether dragged or set by a controller. */
inline constexpr double macroKnobInterval = 0.001;

/** start + x * (end - start), in float. */
inline float macroValue (const MacroTarget& target, float x) noexcept
{
    return target.start + x * (target.end - target.start);
}

/** Writes a macro's targets for position x through the host-notifying path, without a change
    gesture, in the map's order. A target the parameter state does not hold is skipped. Message
    thread. */
void applyMacro (juce::AudioProcessorValueTreeState& parameters, Macro macro, float x);
} // namespace gribb
