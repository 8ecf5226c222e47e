#include "processor/MidiLearn.h"

#include "processor/WritePlainValue.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace gribb
{
namespace
{
const juce::Identifier bindingType ("BINDING");
const juce::Identifier targetProperty ("target");
const juce::Identifier controllerProperty ("controller");
const juce::Identifier channelProperty ("channel");

const char* const macroTargetIds[numMacros] = { "crushMacro", "warpMacro" };

/** The target named in a saved binding: a parameter ID or a macro's name; -1 for none. */
int targetOfId (const juce::String& id)
{
    for (int m = 0; m < numMacros; ++m)
        if (id == macroTargetIds[m])
            return numParameters + m;
    return parameterIndexOf (id.toStdString());
}

const char* idOfTarget (int target)
{
    return target < numParameters ? parameterTable[(size_t) target].id : macroTargetIds[target - numParameters];
}

// The audio thread shares only these with the message thread, and must never wait on them.
static_assert (std::atomic<int>::is_always_lock_free && std::atomic<float>::is_always_lock_free
               && std::atomic<bool>::is_always_lock_free && std::atomic<juce::uint32>::is_always_lock_free);

static_assert (std::atomic<juce::uint64>::is_always_lock_free && std::atomic<void*>::is_always_lock_free);

/** Removes, in place and without the heap, the events of a MIDI buffer for which
    `take (const juce::uint8* bytes, int numBytes)` returns true; `take` sees every event once, in
    the buffer's order, and the events that stay keep their order and sample positions.

    JUCE's MidiBuffer offers no removal of single events, so this edits its public byte array
    `data` directly and relies on JUCE's layout of it (MidiBufferHelpers in juce_MidiBuffer.cpp):
    the events lie back to back in time order, each as its sample position (int32), the number of
    its bytes (uint16) and its bytes, unaligned, with nothing else in the array. The MIDI learn
    tests compare the events that stay, byte for byte, with the buffer's own iterator. */
template <typename Take>
void removeEventsInPlace (juce::MidiBuffer& midi, Take&& take) noexcept
{
    static_assert (std::is_same_v<decltype (midi.data), juce::Array<juce::uint8>>,
                   "a MidiBuffer keeps its events in one array of bytes");
    constexpr int eventHeaderBytes = (int) (sizeof (juce::int32) + sizeof (juce::uint16));

    auto& bytes = midi.data;
    const int size = bytes.size();
    auto* const base = bytes.getRawDataPointer();

    // One pass: the events that stay are moved up over the ones taken out.
    int read = 0, write = 0;
    while (read + eventHeaderBytes <= size)
    {
        juce::uint16 dataSize = 0;
        std::memcpy (&dataSize, base + read + sizeof (juce::int32), sizeof (dataSize));
        const int eventBytes = eventHeaderBytes + dataSize;

        if (! take (static_cast<const juce::uint8*> (base + read + eventHeaderBytes), (int) dataSize))
        {
            if (write != read)
                std::memmove (base + write, base + read, (size_t) eventBytes);
            write += eventBytes;
        }

        read += eventBytes;
    }

    if (write == read)
        return;

    // Shortening a juce::Array may give its storage back to the heap, so the kept bytes are put
    // back instead: cleared without freeing, then added again in small pieces through the stack.
    // The storage holds at least the old size, so adding never reallocates.
    bytes.clearQuick();
    juce::uint8 piece[256];
    for (int done = 0; done < write;)
    {
        const int n = juce::jmin ((int) sizeof (piece), write - done);
        std::memcpy (piece, base + done, (size_t) n);
        bytes.addArray (static_cast<const juce::uint8*> (piece), n);
        done += n;
    }
}

juce::uint32 serialOf (juce::uint64 move) noexcept { return (juce::uint32) (move >> 32); }

float valueOf (juce::uint64 move) noexcept
{
    const auto bits = (juce::uint32) (move & 0xffffffffu);
    float value;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

/** Serial numbers wrap around; a is before b when it is less than half the range behind. */
bool isBefore (juce::uint32 a, juce::uint32 b) noexcept { return (juce::int32) (a - b) < 0; }
} // namespace

const juce::Identifier MidiLearn::stateType ("MIDI_LEARN");

//==============================================================================
void MidiLearn::WriteCounter::parameterValueChanged (int, float newValue)
{
    if (ownWriter->load() == juce::Thread::getCurrentThreadId())
    {
        const auto slot = slotOf (ownCount.load());
        ownValues[slot].store (newValue);
        ownStepValues[slot].store (parameter != nullptr ? parameter->getValue() : newValue);
        ownBlocks[slot].store (blocks->load());
        ownCount.fetch_add (1);
        stale.store (false);
        return;
    }

    if (repeatsAnOwnWrite (newValue))
    {
        stale.store (! isWrite (slotOf (ownCount.load() - 1), newValue));
        return;
    }

    stale.store (false);
    otherWrites.fetch_add (1);
}

bool MidiLearn::WriteCounter::isWrite (size_t slot, float value) const noexcept
{
    return juce::exactlyEqual (ownValues[slot].load(), value) || juce::exactlyEqual (ownStepValues[slot].load(), value);
}

bool MidiLearn::WriteCounter::repeatsAnOwnWrite (float value) const noexcept
{
    const auto count = ownCount.load();
    const auto now = blocks->load();

    for (juce::uint32 back = 1; back <= juce::jmin (count, (juce::uint32) recentOwnWrites); ++back)
    {
        const auto slot = slotOf (count - back);
        if (isWrite (slot, value) && now - ownBlocks[slot].load() <= repeatWithinBlocks)
            return true;
    }

    return false;
}

float MidiLearn::WriteCounter::lastOwnWrite() const noexcept
{
    return ownValues[slotOf (ownCount.load() - 1)].load();
}

void MidiLearn::WriteCounter::forgetOwnWrites() noexcept
{
    ownCount.store (0);
    stale.store (false);
}

MidiLearn::MidiLearn (juce::AudioProcessorValueTreeState& state)
    : parameters (state)
{
    for (size_t i = 0; i < parameterTable.size(); ++i)
        parameterOf[i] = parameters.getParameter (parameterTable[i].id);

    for (auto& binding : bindings)
        binding.store (-1);
    for (auto& move : pending)
        move.store (0);
    for (auto& serial : landed)
        serial.store (0);
    for (auto& count : othersAtMove)
        count.store (0);

    for (size_t i = 0; i < parameterOf.size(); ++i)
    {
        writeCounters[i].ownWriter = &ownWriter;
        writeCounters[i].blocks = &blocks;
        writeCounters[i].parameter = parameterOf[i];
        if (parameterOf[i] != nullptr)
            parameterOf[i]->addListener (&writeCounters[i]);
    }

    startTimer (applyIntervalMs);
}

MidiLearn::~MidiLearn()
{
    // A gesture still open is left to the host: while the plug-in is being destroyed, nothing is
    // reported to it any more.
    stopTimer();

    for (size_t i = 0; i < parameterOf.size(); ++i)
        if (parameterOf[i] != nullptr)
            parameterOf[i]->removeListener (&writeCounters[i]);
}

juce::uint64 MidiLearn::packMove (float value, juce::uint32 serial) noexcept
{
    juce::uint32 bits;
    std::memcpy (&bits, &value, sizeof (bits));
    return ((juce::uint64) serial << 32) | bits;
}

const char* MidiLearn::whyNotLearnable (int controller) noexcept
{
    switch (controller)
    {
        case 6: case 38:     return "data entry of RPN messages (MPE set-up, pitch-bend range)";
        case 64:             return "the sustain pedal, which holds the notes";
        case 66:             return "the sostenuto pedal, which holds the notes";
        case 70: case 102:   return "MPE pressure, which sets the notes' level and FM depth";
        case 74: case 106:   return "MPE timbre, which sets the notes' pulse width";
        case 98: case 99:
        case 100: case 101:  return "it selects RPN messages (MPE set-up, pitch-bend range)";
        default:             break;
    }

    if (controller < 0 || controller > 127)
        return "not a MIDI controller";
    if (controller > highestLearnableController)
        return "a channel mode message (all notes off, reset)";
    return nullptr;
}

std::array<int, 12> MidiLearn::refusedControllers() noexcept
{
    return { 6, 38, 64, 66, 70, 74, 98, 99, 100, 101, 102, 106 };
}

juce::String MidiLearn::describe (ControllerBinding binding)
{
    if (! binding.isBound())
        return {};
    return "CC " + juce::String (binding.controller) + " (ch "
         + (binding.channel == 0 ? juce::String ("any") : juce::String (binding.channel)) + ")";
}

juce::String MidiLearn::targetName (int target)
{
    if (target == crushLearnTarget)
        return "CRUSH";
    if (target == warpLearnTarget)
        return "WARP";
    return target >= 0 && target < numParameters ? parameterTable[(size_t) target].name : "";
}

ControllerBinding MidiLearn::unpack (int packed) noexcept
{
    if (packed < 0)
        return {};
    return { packed % 128, packed / 128 };
}

ControllerBinding MidiLearn::bindingOf (int target) const noexcept
{
    if (target < 0 || target >= numLearnTargets)
        return {};
    return unpack (bindings[(size_t) target].load());
}

//==============================================================================
float MidiLearn::normalisedFor (int target, int value) noexcept
{
    if (target >= numParameters)
    {
        // A macro knob's position, in the knob's own steps.
        const auto steps = std::round ((double) value / 127.0 / macroKnobInterval);
        return (float) (steps * macroKnobInterval);
    }

    const auto& spec = parameterTable[(size_t) target];

    if (spec.kind == ParameterSpec::Kind::choice)
    {
        // The 128 values fall into equal bands, one per item.
        const int items = spec.numChoices();
        const int item = value * items / 128;
        return items > 1 ? (float) item / (float) (items - 1) : 0.0f;
    }

    return (float) value / 127.0f;
}

void MidiLearn::bindLearned (int target, int controller) noexcept
{
    for (auto& binding : bindings)
    {
        int packed = binding.load();
        if (unpack (packed).controller == controller)
            binding.compare_exchange_strong (packed, -1);
    }

    bindings[(size_t) target].store (pack ({ controller, 0 }));
    refused.store (-1);
    changes.fetch_add (1);
}

float MidiLearn::writtenPlain (const juce::RangedAudioParameter& p, float normalised) noexcept
{
    // A host-notifying write of `normalised` sets the parameter to its value on the parameter's
    // step, and the parameter state then reads that value back from the parameter's normalised
    // value, keeping its own when the two are approximately equal (AudioParameterFloat::setValue,
    // getValue and the state's ParameterAdapter). The same arithmetic here gives the same float.
    return p.convertFrom0to1 (p.convertTo0to1 (p.convertFrom0to1 (normalised)));
}

void MidiLearn::hold (int parameter, float normalised, juce::uint32 serial, BlockValues& values) noexcept
{
    auto* p = parameterOf[(size_t) parameter];
    if (p == nullptr)
        return;

    auto plain = writtenPlain (*p, normalised);
    auto& value = values[(size_t) parameter];
    if (juce::approximatelyEqual (plain, value))
        plain = value;

    value = plain;
    const auto others = writeCounters[(size_t) parameter].otherWrites.load();
    overrides[(size_t) parameter] = { true, plain, serial, others };
    othersAtMove[(size_t) parameter].store (others);
}

bool MidiLearn::handleController (int channel, int controller, int value, BlockValues& values) noexcept
{
    if (learning.load() >= 0 && controller <= highestLearnableController)
    {
        if (whyNotLearnable (controller) != nullptr)
        {
            refused.store (controller);
        }
        else
        {
            const int target = learning.exchange (-1);
            if (target >= 0)
                bindLearned (target, controller);
        }
    }

    bool bound = false;

    for (int target = 0; target < numLearnTargets; ++target)
    {
        const auto binding = unpack (bindings[(size_t) target].load());

        if (binding.controller != controller || (binding.channel != 0 && binding.channel != channel))
            continue;

        if (++lastSerial == 0)
            ++lastSerial;

        const float normalised = normalisedFor (target, value);
        bound = true;

        // Held first, then handed on: the message thread must see what other writes the move
        // came after (othersAtMove) once it sees the move.
        if (target < numParameters)
        {
            hold (target, normalised, lastSerial, values);
        }
        else
        {
            // Each target's plain value, normalised with its range as writePlainValue does.
            forEachMacroTarget ((Macro) (target - numParameters), normalised, [&] (ParamIndex parameter, float plain)
            {
                if (auto* p = parameterOf[(size_t) parameter])
                    hold (parameter, p->getNormalisableRange().convertTo0to1 (plain), lastSerial, values);
            });
        }

        pending[(size_t) target].store (packMove (normalised, lastSerial));
    }

    return bound;
}

void MidiLearn::process (juce::MidiBuffer& midi, BlockValues& values) noexcept
{
    blocks.fetch_add (1);

    // A host's late repeat of an older write sounds as the last value written, which the
    // parameter holds again once the host's repeat of that one arrives or it is written again.
    for (size_t i = 0; i < writeCounters.size(); ++i)
        if (auto* p = parameterOf[i]; p != nullptr && writeCounters[i].stale.load())
            values[i] = writtenPlain (*p, writeCounters[i].lastOwnWrite());

    // Then the overrides: each ends once its own move has landed in the parameter state, or when
    // anyone else has written the parameter since it was set (that writer is the latest).
    for (size_t i = 0; i < overrides.size(); ++i)
    {
        auto& held = overrides[i];
        if (! held.active)
            continue;

        if (landed[i].load() == held.serial || writeCounters[i].otherWrites.load() != held.othersSeen)
            held.active = false;
        else
            values[i] = held.value;
    }

    // Then the block's controllers, in order.
    removeEventsInPlace (midi, [&] (const juce::uint8* message, int numBytes) noexcept
    {
        return numBytes >= 3 && (message[0] & 0xf0) == 0xb0
            && handleController ((message[0] & 0x0f) + 1, message[1] & 0x7f, message[2] & 0x7f, values);
    });
}

//==============================================================================
void MidiLearn::startLearning (int target) noexcept
{
    if (target < 0 || target >= numLearnTargets)
        return;
    refused.store (-1);
    learning.store (target);
}

void MidiLearn::stopLearning() noexcept
{
    learning.store (-1);
}

bool MidiLearn::bind (int target, ControllerBinding binding) noexcept
{
    if (target < 0 || target >= numLearnTargets || ! binding.isBound()
        || whyNotLearnable (binding.controller) != nullptr || binding.channel < 0 || binding.channel > 16)
        return false;

    for (int other = 0; other < numLearnTargets; ++other)
        if (other != target && bindingOf (other).controller == binding.controller)
            bindings[(size_t) other].store (-1);

    bindings[(size_t) target].store (pack (binding));
    changes.fetch_add (1);
    return true;
}

void MidiLearn::forget (int target) noexcept
{
    if (target < 0 || target >= numLearnTargets)
        return;
    bindings[(size_t) target].store (-1);
    changes.fetch_add (1);
}

void MidiLearn::forgetAll() noexcept
{
    for (int target = 0; target < numLearnTargets; ++target)
        forget (target);
}

bool MidiLearn::overtaken (int parameter) const noexcept
{
    return writeCounters[(size_t) parameter].otherWrites.load() != othersAtMove[(size_t) parameter].load();
}

void MidiLearn::write (int target, float value, double now)
{
    if (target >= numParameters)
    {
        // Through the macro's map, as a drag of its knob writes (applyMacro), target by target.
        const auto macro = (Macro) (target - numParameters);
        forEachMacroTarget (macro, value, [this] (ParamIndex index, float plain)
        {
            if (! overtaken (index))
                writePlainValue (parameters, parameterTable[(size_t) index].id, plain);
        });
        macros[(size_t) macro].position.store (value);
        macros[(size_t) macro].moves.fetch_add (1);
        return;
    }

    auto* parameter = parameterOf[(size_t) target];
    if (parameter == nullptr || overtaken (target))
        return;

    if (! gestureOpen[(size_t) target])
    {
        parameter->beginChangeGesture();
        gestureOpen[(size_t) target] = true;
    }

    // A value that lands on the parameter's current step is not written again.
    lastMoveMs[(size_t) target] = now;
    if (! juce::exactlyEqual (parameter->getValue(), parameter->convertTo0to1 (parameter->convertFrom0to1 (value))))
        parameter->setValueNotifyingHost (value);
}

void MidiLearn::applyPendingMoves()
{
    const auto now = juce::Time::getMillisecondCounterHiRes();

    // The moves not yet written, in the order the controllers made them: a parameter that two
    // targets move (directly and through a macro) ends at the later move, as it sounds.
    struct Move
    {
        int target;
        float value;
        juce::uint32 serial;
    };
    std::array<Move, numLearnTargets> moves;
    size_t count = 0;

    for (int target = 0; target < numLearnTargets; ++target)
    {
        const auto move = pending[(size_t) target].load();
        const auto serial = serialOf (move);
        if (serial == written[(size_t) target])
            continue;
        written[(size_t) target] = serial;
        moves[count++] = { target, valueOf (move), serial };
    }

    std::sort (moves.begin(), moves.begin() + (std::ptrdiff_t) count,
               [] (const Move& a, const Move& b) { return isBefore (a.serial, b.serial); });

    // Writes of moves are told apart from anyone else's, which end the overrides at once.
    ownWriter.store (juce::Thread::getCurrentThreadId());

    for (size_t i = 0; i < count; ++i)
    {
        const auto& move = moves[i];
        write (move.target, move.value, now);

        // The parameter state now holds the move's value: the audio thread's override can go.
        if (move.target < numParameters)
            landed[(size_t) move.target].store (move.serial);
        else
            forEachMacroTarget ((Macro) (move.target - numParameters), move.value,
                                [&] (ParamIndex parameter, float) { landed[(size_t) parameter].store (move.serial); });
    }

    // A parameter that a host's late repeat left at an older value is written its last value
    // again, so that the host and the parameter state agree with what sounds.
    for (size_t i = 0; i < writeCounters.size(); ++i)
        if (writeCounters[i].stale.load())
            write ((int) i, writeCounters[i].lastOwnWrite(), now);

    ownWriter.store (nullptr);

    for (size_t i = 0; i < gestureOpen.size(); ++i)
    {
        if (gestureOpen[i] && now - lastMoveMs[i] >= gestureRestMs)
        {
            gestureOpen[i] = false;
            if (parameterOf[i] != nullptr)
                parameterOf[i]->endChangeGesture();
        }
    }
}

//==============================================================================
void MidiLearn::addToState (juce::ValueTree& state) const
{
    juce::ValueTree element (stateType);

    for (int target = 0; target < numLearnTargets; ++target)
    {
        const auto binding = bindingOf (target);
        if (! binding.isBound())
            continue;

        juce::ValueTree child (bindingType);
        child.setProperty (targetProperty, idOfTarget (target), nullptr);
        child.setProperty (controllerProperty, binding.controller, nullptr);
        child.setProperty (channelProperty, binding.channel, nullptr);
        element.appendChild (child, nullptr);
    }

    if (element.getNumChildren() > 0)
        state.appendChild (element, nullptr);
}

void MidiLearn::restoreFromState (juce::ValueTree& state)
{
    std::array<ControllerBinding, numLearnTargets> restored {};
    std::array<bool, 128> taken {};

    // The first element counts; every one is taken out of the tree.
    const auto element = state.getChildWithName (stateType);
    for (int i = state.getNumChildren(); --i >= 0;)
        if (state.getChild (i).hasType (stateType))
            state.removeChild (i, nullptr);

    // Within it, the first binding of a target and the first of a controller count.
    for (const auto& child : element)
    {
        if (! child.hasType (bindingType))
            continue;

        const int target = targetOfId (child.getProperty (targetProperty).toString());
        const auto* controller = child.getPropertyPointer (controllerProperty);
        const auto* channel = child.getPropertyPointer (channelProperty);

        if (target < 0 || controller == nullptr || restored[(size_t) target].isBound())
            continue;

        const auto controllerText = controller->toString().trim();
        const auto channelText = channel != nullptr ? channel->toString().trim() : juce::String ("0");
        if (controllerText.isEmpty() || controllerText.length() > 3 || ! controllerText.containsOnly ("0123456789")
            || channelText.isEmpty() || channelText.length() > 2 || ! channelText.containsOnly ("0123456789"))
            continue;

        const ControllerBinding binding { controllerText.getIntValue(), channelText.getIntValue() };
        if (whyNotLearnable (binding.controller) != nullptr || binding.channel > 16 || taken[(size_t) binding.controller])
            continue;

        restored[(size_t) target] = binding;
        taken[(size_t) binding.controller] = true;
    }

    for (int target = 0; target < numLearnTargets; ++target)
        bindings[(size_t) target].store (pack (restored[(size_t) target]));
    changes.fetch_add (1);

    // The restored state writes every parameter, also those whose value it leaves as it was
    // (the parameter state reports no write for those): what controllers held ends here, and
    // moves not yet written are overtaken.
    for (auto& counter : writeCounters)
    {
        counter.forgetOwnWrites();
        counter.otherWrites.fetch_add (1);
    }
}
} // namespace gribb
