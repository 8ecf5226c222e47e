#include "engine/MidiChannelSetup.h"

namespace gribb
{
namespace
{
constexpr int pitchBendSensitivityRpn = 0;
constexpr int mpeConfigurationRpn = 6;

float clampedRange (float semitones) noexcept
{
    return juce::jlimit (0.0f, MidiChannelSetup::maxBendRange, semitones);
}
} // namespace

MidiChannelSetup::Change MidiChannelSetup::handle (const juce::MidiMessage& message) noexcept
{
    const int channel = message.getChannel();

    if (channel < 1 || channel > 16)
        return Change::nothing;

    if (message.isPitchWheel())
    {
        if (channel == 1)
            lowerMasterBend = juce::MPEValue::from14BitInt (message.getPitchWheelValue());
        else if (channel == 16)
            upperMasterBend = juce::MPEValue::from14BitInt (message.getPitchWheelValue());
        return Change::nothing;
    }

    if (! message.isController())
        return Change::nothing;

    const auto parsed = rpn.tryParse (channel, message.getControllerNumber(), message.getControllerValue());

    if (! parsed.has_value() || parsed->isNRPN)
        return Change::nothing;

    if (parsed->parameterNumber == pitchBendSensitivityRpn)
    {
        // Data entry MSB is the semitones, LSB the cents; an MSB alone means whole semitones.
        const int semitones = parsed->is14BitValue ? (parsed->value >> 7) : parsed->value;
        const int cents = parsed->is14BitValue ? (parsed->value & 0x7f) : 0;
        return setBendRange (channel, (float) semitones + (float) cents / 100.0f);
    }

    if (parsed->parameterNumber == mpeConfigurationRpn && (channel == 1 || channel == 16))
    {
        // Read exactly as JUCE's zone layout reads it (the value as parsed, below 16), since the
        // instrument that plays the zones follows its own reading of the same message.
        if (parsed->value < 16)
            return setZone (channel == 1, parsed->value);
    }

    return Change::nothing;
}

MidiChannelSetup::Change MidiChannelSetup::setBendRange (int channel, float semitones) noexcept
{
    const auto range = clampedRange (semitones);

    // Within a zone, RPN 0 on the master channel sets the master range, and on any member
    // channel the range of every member channel.
    if (hasZones())
    {
        for (const bool isLower : { true, false })
        {
            auto& zone = isLower ? lower : upper;
            if (zone.members <= 0)
                continue;
            if (channel == (isLower ? 1 : 16))
            {
                zone.masterRange = range;
                return Change::bendRange;
            }
            if (isMemberOf (zone, isLower, channel))
            {
                zone.memberRange = range;
                return Change::bendRange;
            }
        }
    }

    channelRanges[(size_t) (channel - 1)] = range;
    return Change::bendRange;
}

MidiChannelSetup::Change MidiChannelSetup::setZone (bool isLower, int members) noexcept
{
    auto& zone = isLower ? lower : upper;
    auto& other = isLower ? upper : lower;

    // A new configuration starts with the standard ranges; the zones share the 14 channels
    // between the two masters, so a zone that grows into the other shrinks it.
    zone = Zone { members };
    if (members > 0 && members + other.members >= 15)
        other.members = juce::jmax (0, 14 - members);
    if (other.members <= 0)
        other = Zone {};
    return Change::zones;
}

void MidiChannelSetup::setZones (const Zone& newLower, const Zone& newUpper) noexcept
{
    lower = Zone {};
    upper = Zone {};
    setZone (true, juce::jlimit (0, 15, newLower.members));
    lower.memberRange = clampedRange (newLower.memberRange);
    lower.masterRange = clampedRange (newLower.masterRange);
    setZone (false, juce::jlimit (0, 15, newUpper.members));
    upper.memberRange = clampedRange (newUpper.memberRange);
    upper.masterRange = clampedRange (newUpper.masterRange);
    if (lower.members <= 0)
        lower = Zone {};
}

void MidiChannelSetup::setAllChannelRanges (float semitones) noexcept
{
    channelRanges.fill (clampedRange (semitones));
}

void MidiChannelSetup::setChannelRange (int midiChannel, float semitones) noexcept
{
    if (midiChannel >= 1 && midiChannel <= 16)
        channelRanges[(size_t) (midiChannel - 1)] = clampedRange (semitones);
}

bool MidiChannelSetup::isMemberOf (const Zone& zone, bool isLower, int channel) noexcept
{
    return isLower ? (channel > 1 && channel <= 1 + zone.members)
                   : (channel < 16 && channel >= 16 - zone.members);
}

const MidiChannelSetup::Zone* MidiChannelSetup::zoneOf (int channel) const noexcept
{
    if (lower.members > 0 && (channel == 1 || isMemberOf (lower, true, channel)))
        return &lower;
    if (upper.members > 0 && (channel == 16 || isMemberOf (upper, false, channel)))
        return &upper;
    return nullptr;
}

float MidiChannelSetup::zoneBendInSemitones (const juce::MPENote& note) const noexcept
{
    const auto* zone = zoneOf (note.midiChannel);
    if (zone == nullptr)
        return 0.0f;

    const bool isLower = zone == &lower;
    const float own = isMemberOf (*zone, isLower, note.midiChannel) ? note.pitchbend.asSignedFloat() * zone->memberRange : 0.0f;
    const float master = (isLower ? lowerMasterBend : upperMasterBend).asSignedFloat() * zone->masterRange;
    return own + master;
}
} // namespace gribb
