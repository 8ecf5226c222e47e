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

/** MIDI learn: a fixed table that binds MIDI controllers (CC 0..119) to parameters and to the
    macro knobs, the one target waiting to learn the next controller, and the moves of bound
    controllers on their way to the parameters.

    The audio thread (process) binds a learned controller, reads bound controllers and takes them
    out of the block's MIDI, so the voices never see them. It touches only atomics: no lock, no
    allocation. A controller's move reaches the message thread through a per-target slot (the
    latest value and a flag); there a timer writes it through the host-notifying path, so the
    host records it as automation: a parameter inside a change gesture that stays open while the
    controller keeps moving, a macro through its map exactly as a drag of its knob does.

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
    /** Audio thread. Reads the block's controller messages: the target waiting to learn takes the
        first learnable one; every bound one is handed to its target and removed from the block.
        Other messages stay, in their order. */
    void process (juce::MidiBuffer& midi) noexcept;

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

    /** Message thread: writes what the controllers moved since the last call, and ends the
        gestures of controllers that have rested for gestureRestMs. The timer calls it every
        applyIntervalMs. */
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
        stays with its first target. */
    void restoreFromState (juce::ValueTree& state);

private:
    void timerCallback() override { applyPendingMoves(); }

    /** -1, or channel * 128 + controller. */
    static int pack (ControllerBinding binding) noexcept { return binding.isBound() ? binding.channel * 128 + binding.controller : -1; }
    static ControllerBinding unpack (int packed) noexcept;

    void handleController (int channel, int controller, int value, bool& bound) noexcept;
    void bindLearned (int target, int controller) noexcept;
    static float normalisedFor (int target, int value) noexcept;

    juce::AudioProcessorValueTreeState& parameters;
    std::array<juce::RangedAudioParameter*, numParameters> parameterOf {};

    std::array<std::atomic<int>, numLearnTargets> bindings;
    std::atomic<int> learning { -1 };
    std::atomic<int> refused { -1 };
    std::atomic<juce::uint32> changes { 0 };

    /** A target's latest move, from the audio thread to the message thread. */
    struct PendingMove
    {
        std::atomic<float> value { 0.0f };
        std::atomic<bool> waiting { false };
    };
    std::array<PendingMove, numLearnTargets> pending;

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
