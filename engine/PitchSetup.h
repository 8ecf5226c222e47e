#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "engine/MidiChannelSetup.h"

#include <juce_core/juce_core.h>

namespace gribb
{
/** The player's pitch settings and what the controller has set up: the bend range chosen for
    every channel, whether MPE configuration messages are followed, each channel's range in
    effect (RPN 0 may have changed it) and the MPE zones. */
struct PitchSetup
{
    float bendRange = MidiChannelSetup::defaultBendRange;
    bool followMpe = false;
    std::array<float, 16> channelRanges = filled (MidiChannelSetup::defaultBendRange);
    MidiChannelSetup::Zone lower, upper;

    static std::array<float, 16> filled (float range) noexcept
    {
        std::array<float, 16> ranges {};
        ranges.fill (range);
        return ranges;
    }

    /** The setup of a new instance: nothing chosen, nothing received. */
    bool isDefault() const noexcept { return *this == PitchSetup {}; }

    bool operator== (const PitchSetup& other) const noexcept
    {
        if (! juce::exactlyEqual (bendRange, other.bendRange) || followMpe != other.followMpe || ! (lower == other.lower) || ! (upper == other.upper))
            return false;
        for (size_t i = 0; i < channelRanges.size(); ++i)
            if (! juce::exactlyEqual (channelRanges[i], other.channelRanges[i]))
                return false;
        return true;
    }
    bool operator!= (const PitchSetup& other) const noexcept { return ! (*this == other); }
};

/** Hands a PitchSetup from the message thread to the audio thread and back, without a lock: each
    value is an atomic of its own. The message thread posts a setup, which the audio thread takes
    at the start of its next block; the audio thread publishes what it plays with, for the state.
    A setup posted while the audio thread takes the previous one can be read half old, half new;
    the audio thread then takes it again, whole, in the next block. */
class PitchSetupExchange
{
public:
    PitchSetupExchange() { write (pending, PitchSetup {}); write (current, PitchSetup {}); }

    /** Message thread. */
    void post (const PitchSetup& setup) noexcept
    {
        write (pending, setup);
        write (current, setup);
        posts.fetch_add (1, std::memory_order_release);
    }

    /** Audio thread: the setup posted since the last take, if any. */
    bool take (PitchSetup& setup) noexcept
    {
        const auto count = posts.load (std::memory_order_acquire);
        if (count == taken)
            return false;
        taken = count;
        setup = read (pending);
        return true;
    }

    /** Audio thread: the setup it plays with now. */
    void publish (const PitchSetup& setup) noexcept { write (current, setup); }

    /** Message thread: the setup last published or posted. */
    PitchSetup published() const noexcept { return read (current); }

private:
    struct Slots
    {
        std::atomic<float> bendRange { 0.0f };
        std::atomic<bool> followMpe { false };
        std::array<std::atomic<float>, 16> channelRanges {};
        std::atomic<int> lowerMembers { 0 }, upperMembers { 0 };
        std::atomic<float> lowerMemberRange { 0.0f }, lowerMasterRange { 0.0f }, upperMemberRange { 0.0f }, upperMasterRange { 0.0f };
    };

    static void write (Slots& slots, const PitchSetup& setup) noexcept
    {
        slots.bendRange.store (setup.bendRange);
        slots.followMpe.store (setup.followMpe);
        for (size_t i = 0; i < 16; ++i)
            slots.channelRanges[i].store (setup.channelRanges[i]);
        slots.lowerMembers.store (setup.lower.members);
        slots.lowerMemberRange.store (setup.lower.memberRange);
        slots.lowerMasterRange.store (setup.lower.masterRange);
        slots.upperMembers.store (setup.upper.members);
        slots.upperMemberRange.store (setup.upper.memberRange);
        slots.upperMasterRange.store (setup.upper.masterRange);
    }

    static PitchSetup read (const Slots& slots) noexcept
    {
        PitchSetup setup;
        setup.bendRange = slots.bendRange.load();
        setup.followMpe = slots.followMpe.load();
        for (size_t i = 0; i < 16; ++i)
            setup.channelRanges[i] = slots.channelRanges[i].load();
        setup.lower = { slots.lowerMembers.load(), slots.lowerMemberRange.load(), slots.lowerMasterRange.load() };
        setup.upper = { slots.upperMembers.load(), slots.upperMemberRange.load(), slots.upperMasterRange.load() };
        return setup;
    }

    Slots pending, current;
    std::atomic<std::uint32_t> posts { 0 };
    std::uint32_t taken = 0; // audio thread only
};
} // namespace gribb
