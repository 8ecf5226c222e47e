#pragma once

#include <array>
#include <atomic>

#include <juce_audio_processors/juce_audio_processors.h>

#include "processor/MacroMaps.h"
#include "engine/ParameterTable.h"

namespace gribb
{
/** What a MIDI controller can be learned to: the 22 parameters (by their table index), then the
    CRUSH and WARP macro knobs. */
inline constexpr int crushLearnTarget = numParameters;
inline constexpr int warpLearnTarget = numParameters + 1;
inline constexpr int numLearnTargets = numParameters + numMacros;

/** A controller bound to a target: its number (0..119) and its MIDI channel (1..16, or 0 for any
    channel), or nothing (controller -1). */
struct ControllerBinding
{
    int controller = -1;
    int channel = 0;

    bool isBound() const noexcept { return controller >= 0; }
    bool operator== (const ControllerBinding& other) const noexcept
    {
        return controller == other.controller && channel == other.channel;
    }
};

/** The block's plain parameter values, in the parameter table's order. */
using BlockValues = std::array<float, numParameters>;

/** MIDI learn: a fixed table that binds MIDI controllers (CC 0..119) to parameters and to the
    macro knobs, the one target waiting to learn the next controller, and the moves of bound
    controllers on their way to the parameters.

    The audio thread (process) binds a learned controller, reads bound controllers and takes them
    out of the block's MIDI, so the voices never see them. A bound controller's value sounds in
    the block where it arrives: process puts it, through the macro's map for a macro, into the
    values the engine reads for the block, and holds it there (an override per parameter) in the
    blocks after. The move also reaches the message thread through a per-target slot (the latest
    value and a serial number); there a timer writes it through the host-notifying path, so the
    host records it as automation: a parameter inside a change gesture that stays open while the
    controller keeps moving, a macro through its map exactly as a drag of its knob does.

    An override ends when the message thread's write of its own move has landed in the parameter
    state (which then reads the same value, so nothing jumps back), or as soon as anyone else
    writes the parameter: host automation, the window, a program, a preset or a restored state.
    So the latest writer wins: a move that such a write has overtaken is not written at all. Without a message thread (an offline render), an override lasts
    until another writer comes. The audio thread touches only atomics and its own fields: no lock,
    no allocation, no listener call.

    Controllers that the voices or JUCE's MPE handling read are refused (whyNotLearnable), so
    learning can never take pressure, timbre, the pedals or the RPN messages away from them. */
class MidiLearn : private juce::Timer
{
public:
    explicit MidiLearn (juce::AudioProcessorValueTreeState& parameters);
    ~MidiLearn() override;

    static constexpr int highestLearnableController = 119;

    /** Why a controller cannot be learned (a short phrase), or nullptr when it can. */
    static const char* whyNotLearnable (int controller) noexcept;
    /** The controllers that whyNotLearnable refuses below 120, in order. */
    static std::array<int, 12> refusedControllers() noexcept;

    /** A binding as the window shows it: "CC 21 (ch any)", "CC 7 (ch 3)"; empty for none. */
    static juce::String describe (ControllerBinding binding);

    /** The name of a target: the parameter's name, "CRUSH" or "WARP". */
    static juce::String targetName (int target);

    //==============================================================================
    /** Audio thread. `values` holds the block's parameter values as the parameter state holds
        them (its raw values); held overrides and the block's bound controllers replace them.

        Reads the block's controller messages in order: the target waiting to learn takes the
        first learnable one; every bound one sets its target (a macro: each parameter of its map)
        in `values`, the last one of a target winning, and is removed from the block. Other
        messages stay, in their order. */
    void process (juce::MidiBuffer& midi, BlockValues& values) noexcept;

    //==============================================================================
    /** The target learns the next learnable controller; replaces any other target waiting. */
    void startLearning (int target) noexcept;
    void stopLearning() noexcept;
    /** The target waiting to learn, or -1. */
    int learningTarget() const noexcept { return learning.load(); }
    /** The controller last refused while a target was waiting to learn, or -1 (cleared when
        learning starts). */
    int lastRefusedController() const noexcept { return refused.load(); }

    ControllerBinding bindingOf (int target) const noexcept;
    /** Binds a learnable controller to a target, taking it from any other target; false (and no
        change) for a target or controller outside the table or a refused controller. */
    bool bind (int target, ControllerBinding binding) noexcept;
    void forget (int target) noexcept;
    void forgetAll() noexcept;

    /** Counts every binding made or forgotten, so that a window can notice a learned controller. */
    juce::uint32 bindingChanges() const noexcept { return changes.load(); }

    /** Where a controller last put a macro knob (0..1 in the knob's steps), and how many times it
        did, so that an open window can move the knob along. */
    float macroPosition (Macro macro) const noexcept { return macros[(size_t) macro].position.load(); }
    juce::uint32 macroMoves (Macro macro) const noexcept { return macros[(size_t) macro].moves.load(); }

    /** Message thread: writes what the controllers moved since the last call, in the order they
        moved, and ends the gestures of controllers that have rested for gestureRestMs. The timer
        calls it every applyIntervalMs. */
    void applyPendingMoves();

    static constexpr int applyIntervalMs = 10;
    static constexpr double gestureRestMs = 300.0;

    //==============================================================================
    /** The saved state's element: <MIDI_LEARN> with one <BINDING target="cutoff" controller="21"
        channel="0"/> per bound target (channel 0 is any channel). */
    static const juce::Identifier stateType;

    /** Adds the element to a state tree, only when something is bound: a state without bindings
        is exactly the state of a version without MIDI learn. */
    void addToState (juce::ValueTree& state) const;
    /** Takes the element out of a restored tree (so the parameter state never holds it) and sets
        the bindings from it; a tree without it leaves nothing bound. Bindings that name no target,
        or a refused or out-of-range controller or channel, are skipped; a controller named twice
        stays with its first target. Values that controllers hold end: the state's values count. */
    void restoreFromState (juce::ValueTree& state);

private:
    void timerCallback() override { applyPendingMoves(); }

    /** -1, or channel * 128 + controller. */
    static int pack (ControllerBinding binding) noexcept { return binding.isBound() ? binding.channel * 128 + binding.controller : -1; }
    static ControllerBinding unpack (int packed) noexcept;

    bool handleController (int channel, int controller, int value, BlockValues& values) noexcept;
    void bindLearned (int target, int controller) noexcept;
    static float normalisedFor (int target, int value) noexcept;
    /** The plain value the parameter state holds after a host-notifying write of `normalised`. */
    static float writtenPlain (const juce::RangedAudioParameter& p, float normalised) noexcept;
    /** Audio thread: the parameter sounds, from this block on, as the parameter state will read
        it once the message thread has written `normalised` for the move `serial`. */
    void hold (int parameter, float normalised, juce::uint32 serial, BlockValues& values) noexcept;
    /** Message thread: writes one move through the host-notifying path: a parameter inside a
        gesture, a macro's targets through its map. A parameter that anyone else has written
        since the move is left alone: that writer came later. */
    void write (int target, float value, double now);
    bool overtaken (int parameter) const noexcept;

    juce::AudioProcessorValueTreeState& parameters;
    std::array<juce::RangedAudioParameter*, numParameters> parameterOf {};

    std::array<std::atomic<int>, numLearnTargets> bindings;
    std::atomic<int> learning { -1 };
    std::atomic<int> refused { -1 };
    std::atomic<juce::uint32> changes { 0 };

    /** A target's latest move, from the audio thread to the message thread, as one word: its
        serial number (upper half; 0 for none yet) and its value (the float's bits, lower half). */
    static juce::uint64 packMove (float value, juce::uint32 serial) noexcept;
    std::array<std::atomic<juce::uint64>, numLearnTargets> pending;

    /** Audio thread only: the serial number of the last move read, and each parameter's override. */
    juce::uint32 lastSerial = 0;
    struct Override
    {
        bool active = false;
        float value = 0.0f;
        juce::uint32 serial = 0;      // the move that set it
        juce::uint32 othersSeen = 0;  // otherWrites when it was set
    };
    std::array<Override, numParameters> overrides {};

    /** Per parameter: the serial number of the last move the message thread has written (stored
        once the parameter state holds it), and how many times anyone else wrote it. */
    std::array<std::atomic<juce::uint32>, numParameters> landed;
    /** Per parameter: how many times anyone else had written it when a controller last moved it. */
    std::array<std::atomic<juce::uint32>, numParameters> othersAtMove;

    /** Counts the writes of one parameter that are not the message thread's writes of moves. It
        is called on whichever thread writes (the host's audio thread for its automation) and
        touches only atomics.

        A host may hand each of those writes back to the plug-in some blocks later, as a write of
        its own: a VST3 host passes every edit the plug-in reports on to the plug-in's processing
        (Ardour does, while it plays). By then the controller may have moved on, so such a repeat
        can carry an older move's value. A write that repeats one of the parameter's own writes
        of the last few blocks is told apart as a repeat: it is no other writer, and where it
        brought back an older value than the last one written, the parameter is marked `stale`
        and the blocks sound the last one written until the parameter holds it again. */
    struct WriteCounter final : juce::AudioProcessorParameter::Listener
    {
        static constexpr int recentOwnWrites = 16;
        /** How many blocks after an own write a host's repeat of it is recognised. */
        static constexpr juce::uint32 repeatWithinBlocks = 32;

        std::atomic<juce::uint32> otherWrites { 0 };
        const std::atomic<void*>* ownWriter = nullptr;
        const std::atomic<juce::uint32>* blocks = nullptr;
        const juce::AudioProcessorParameter* parameter = nullptr;

        /** The own writes' normalised values (as reported to the host, and as the parameter reads
            it back on its step) and the block count when each was made, newest last. */
        std::array<std::atomic<float>, recentOwnWrites> ownValues {};
        std::array<std::atomic<float>, recentOwnWrites> ownStepValues {};
        std::array<std::atomic<juce::uint32>, recentOwnWrites> ownBlocks {};
        std::atomic<juce::uint32> ownCount { 0 };
        std::atomic<bool> stale { false };

        void parameterValueChanged (int, float newValue) override;
        void parameterGestureChanged (int, bool) override {}
        /** Forgets the own writes: what the parameter holds now came from elsewhere. */
        void forgetOwnWrites() noexcept;
        /** The last own write's normalised value, as reported to the host. */
        float lastOwnWrite() const noexcept;

    private:
        static size_t slotOf (juce::uint32 count) noexcept { return (size_t) (count % (juce::uint32) recentOwnWrites); }
        bool isWrite (size_t slot, float value) const noexcept;
        bool repeatsAnOwnWrite (float value) const noexcept;
    };
    std::array<WriteCounter, numParameters> writeCounters;
    /** The thread writing moves in applyPendingMoves, or nullptr. */
    std::atomic<void*> ownWriter { nullptr };
    /** Blocks processed, for telling a host's repeat of an own write from a later write. */
    std::atomic<juce::uint32> blocks { 0 };

    // Message thread only: the serial number of each target's move last written.
    std::array<juce::uint32, numLearnTargets> written {};

    struct MacroKnob
    {
        std::atomic<float> position { 0.0f };
        std::atomic<juce::uint32> moves { 0 };
    };
    std::array<MacroKnob, numMacros> macros;

    // Message thread only: the parameters whose gesture is open, and when they last moved.
    std::array<double, numParameters> lastMoveMs {};
    std::array<bool, numParameters> gestureOpen {};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiLearn)
};
} // namespace gribb
