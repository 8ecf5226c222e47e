#pragma once

#include <array>

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb
{
/** What the controller has said about its channels: each channel's pitch-bend range (RPN 0,
    pitch-bend sensitivity) and the MPE zones it announced (RPN 6, the MPE configuration message),
    with the last bend of each zone's master channel. It reads the control changes of RPNs as the
    MIDI standard describes: RPN selection with CC 101/100 (which stays selected for further data
    entry), data entry MSB (CC 6, semitones) and LSB (CC 38, cents), the RPN null message
    (127/127) that ends the selection. NRPNs and other RPNs change nothing.

    Audio thread only; it allocates nothing and locks nothing. */
class MidiChannelSetup
{
public:
    static constexpr float defaultBendRange = 48.0f;
    /** The widest range a channel takes; RPN 0 beyond it gives this. */
    static constexpr float maxBendRange = 96.0f;
    /** The ranges a new MPE zone starts with, as the MPE standard gives them. */
    static constexpr float defaultMemberBendRange = 48.0f;
    static constexpr float defaultMasterBendRange = 2.0f;

    struct Zone
    {
        int members = 0; // 0: no zone
        float memberRange = defaultMemberBendRange;
        float masterRange = defaultMasterBendRange;

        bool operator== (const Zone& other) const noexcept
        {
            return members == other.members && juce::exactlyEqual (memberRange, other.memberRange)
                && juce::exactlyEqual (masterRange, other.masterRange);
        }
    };

    /** What one message changed. */
    enum class Change { nothing, bendRange, zones };

    MidiChannelSetup() noexcept { channelRanges.fill (defaultBendRange); }

    /** Reads one MIDI message (any kind; only control changes and the master channels' pitch
        bends matter here). */
    Change handle (const juce::MidiMessage& message) noexcept;

    /** Every channel's range, for the player's setting: forgets ranges that RPN 0 set. */
    void setAllChannelRanges (float semitones) noexcept;
    void setChannelRange (int midiChannel, float semitones) noexcept;
    float channelRange (int midiChannel) const noexcept { return channelRanges[(size_t) (midiChannel - 1)]; }

    /** The zones, lower (master channel 1) and upper (master channel 16). */
    const Zone& lowerZone() const noexcept { return lower; }
    const Zone& upperZone() const noexcept { return upper; }
    bool hasZones() const noexcept { return lower.members > 0 || upper.members > 0; }
    /** Sets the zones as saved; member counts are limited as an MPE configuration message's are. */
    void setZones (const Zone& newLower, const Zone& newUpper) noexcept;

    /** The bend of a note in semitones, each channel bending by its own range (the instrument
        outside MPE zones: every channel carries notes). */
    float legacyBendInSemitones (const juce::MPENote& note) const noexcept
    {
        return note.pitchbend.asSignedFloat() * channelRange (note.midiChannel);
    }

    /** The bend of a note in an MPE zone: its own bend by the zone's member range (notes on the
        master channel have none), plus the master channel's bend by the master range. */
    float zoneBendInSemitones (const juce::MPENote& note) const noexcept;

    /** Which zone a channel belongs to (as a member or its master): nullptr for none. */
    const Zone* zoneOf (int midiChannel) const noexcept;
    static bool isMemberOf (const Zone& zone, bool isLower, int midiChannel) noexcept;

    /** Forgets a half-sent RPN on every channel. */
    void resetParser() noexcept { rpn.reset(); }

private:
    juce::MidiRPNDetector rpn;
    std::array<float, 16> channelRanges {};
    Zone lower, upper;
    juce::MPEValue lowerMasterBend = juce::MPEValue::centreValue();
    juce::MPEValue upperMasterBend = juce::MPEValue::centreValue();

    Change setZone (bool isLower, int members) noexcept;
    Change setBendRange (int midiChannel, float semitones) noexcept;
};
} // namespace gribb
