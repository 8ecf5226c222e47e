#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/MidiChannelSetup.h"
#include "engine/Tuning.h"

namespace gribb
{
/** Where a voice's pitch comes from: the bend ranges its synthesiser's channels have, whether the
    synthesiser plays MPE zones, and the tuning (none: standard tuning, A4 = 440 Hz). */
struct NotePitch
{
    const MidiChannelSetup* channels = nullptr;
    bool zones = false;
    const Tuning* tuning = nullptr;

    float bendInSemitones (const juce::MPENote& note) const noexcept
    {
        return zones ? channels->zoneBendInSemitones (note) : channels->legacyBendInSemitones (note);
    }
};
} // namespace gribb
