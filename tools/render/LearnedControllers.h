#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace gribb::render
{
/** --learn CC=TARGET: a controller (0..127) and what it is learned to, as written. */
struct LearnRequest
{
    int controller = -1;
    juce::String target;
};

/** Binds controllers to Gribb Tazo's parameters and macro knobs through its saved state, as a
    state it saved after MIDI learn would: each request's target (a parameter's ID or name in any
    case, or "crush"/"warp") gets the controller on any channel in the state's <MIDI_LEARN>
    element, which takes the controller from any other target. The state is restored and read
    back; false with a reason for an unknown target or a controller the plug-in refuses. Call it
    between blocks of a prepared plug-in. */
bool learnControllers (juce::AudioPluginInstance& plugin, const std::vector<LearnRequest>& requests, juce::String& error);
} // namespace gribb::render
