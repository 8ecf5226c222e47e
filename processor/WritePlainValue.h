#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb
{
/** Sets a parameter to a plain value (in its own unit: seconds, Hz, dB, a choice index) through
    the host-notifying path, without a change gesture: the host, the window's attachments and the
    engine all follow. The value is converted with the parameter's range, which clamps it and
    snaps it to the range's interval. A parameter ID the state does not hold is skipped. Message
    thread (a host may also choose a program from its audio thread). Programs, user presets and
    the macro knobs all write their values through this one function. */
void writePlainValue (juce::AudioProcessorValueTreeState& parameters, const char* parameterID, float plainValue);
} // namespace gribb
