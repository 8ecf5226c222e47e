#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "engine/MidiChannelSetup.h"
#include "engine/NotePitch.h"
#include "engine/PhaseBank.h"

#include <array>

namespace gribb
{
class GribbVoice;

/** The MPE synthesiser, rendering up to `polyphony` GribbVoices together (with more voices, or a
    voice of another kind, a sub-block renders voice by voice, as JUCE's own does): chunk by chunk, the phases of every
    sounding voice are stepped at once in a PhaseBank, then each voice renders the chunk from its
    recorded phases and adds it into the output, in the synthesiser's voice order. Each voice
    computes exactly what its own renderNextBlock would, and each output sample receives the
    voices' values in the same order, so the samples are the same. */
class GribbSynthesiser : public juce::MPESynthesiser
{
public:
    /** With fewer sounding voices, each voice steps its own phases. */
    static constexpr int fewestForTheBank = 3;

    /** Most voices the steal search looks through without the heap; with more it leaves the
        choice to JUCE's own search. */
    static constexpr int maxStealCandidates = 64;

    /** The channels' bend ranges and MPE zones, from the controller's RPNs. */
    MidiChannelSetup channels;
    /** What the voices play with; the engine sets the tuning before each block. */
    NotePitch notePitch { &channels, false, nullptr };

    /** The engine has two synthesisers: one plays every channel on its own (JUCE's legacy mode),
        the other the MPE zones the controller announces (JUCE's zone mode). Only one plays notes
        at a time: the zone player while the player follows the controller's MPE set-up and a
        zone exists, the other otherwise. Both read every message, so both know the set-up. */
    enum class Role { channels, zones };
    void setRole (Role newRole);
    Role getRole() const noexcept { return role; }

    /** Whether the player follows the controller's MPE set-up. A change that stops this
        synthesiser playing releases its notes. */
    void setFollowMpe (bool shouldFollow) noexcept;

    /** True when this synthesiser plays the notes it receives. */
    bool playsNotes() const noexcept
    {
        const bool zonesPlay = followMpe && channels.hasZones();
        return role == Role::zones ? zonesPlay : ! zonesPlay;
    }

    /** Takes over another synthesiser's channel set-up (ranges, zones, RPN selection) and, for
        the zone player, tells JUCE's instrument the zones. Releases this one's notes. */
    void takeChannelSetup (const MidiChannelSetup& setup);

    /** Reads RPN 0 and RPN 6 into `channels`, leaves out note-ons that this synthesiser does not
        play (keys the tuning leaves unmapped, or all while it stands aside), and hands the
        message to JUCE's instrument. A change of zones releases the notes of the synthesiser
        that stops playing, and all of the zone player's (their channels may have left the zone). */
    void handleMidiEvent (const juce::MidiMessage& message) override;

protected:
    void renderNextSubBlock (juce::AudioBuffer<float>& outputAudio, int startSample, int numSamples) override;
    using juce::MPESynthesiser::renderNextSubBlock;

    /** JUCE's steal rule (the oldest voice playing the same note number; else the oldest released
        one; else the oldest without a finger on it; else the oldest, sparing the lowest and the
        highest held notes; else the highest, then the lowest), chosen in a list on the stack: JUCE's
        own search empties and refills a list of its own on the heap at every steal. The list is
        ordered by the same sorts as JUCE's, so equal start times resolve the same way. */
    juce::MPESynthesiserVoice* findVoiceToSteal (juce::MPENote noteToStealVoiceFor = juce::MPENote()) const override;

private:
    PhaseBank bank;
    Role role = Role::channels;
    bool followMpe = false;

    /** Tells JUCE's instrument the zones in `channels`, through the MPE configuration messages
        its own zone layout reads (setting a layout object would allocate). */
    void sendZonesToInstrument();

    /** Releases every note (with its tail), as a note-off would. */
    void releaseAllNotes() noexcept;
};

/** Sets a synthesiser up as the instrument plays: JUCE's legacy MPE mode on channels 1 to 16 (each
    channel bends its own notes) with a 48-semitone bend range, and voice stealing on. The engine's
    synthesiser and the tests' synthesisers are set up by this one function. */
void setUpSynthesiser (juce::MPESynthesiser& synth);
} // namespace gribb
