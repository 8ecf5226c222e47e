#pragma once

// The cases that every format must render to the same samples: every factory program and the
// default patch, mono and stereo, at 44.1 and 96 kHz, each from a fresh instance, with one phrase
// of chords, bends, pressure, timbre and a release tail. Shared by the in-process reference
// program and the test that renders the same cases through the built VST3 and LV2.

#include <juce_audio_basics/juce_audio_basics.h>

#include "processor/FactoryProgramTable.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace gribb::test
{
struct ParityCase
{
    int program;      // -1: the default patch
    int channels;
    double sampleRate;
    int blockSize;

    juce::String name() const
    {
        return (program < 0 ? juce::String ("default") : "program" + juce::String (program).paddedLeft ('0', 2))
             + (channels == 1 ? "-mono-" : "-stereo-") + juce::String ((int) sampleRate);
    }
};

inline std::vector<ParityCase> parityCases()
{
    std::vector<ParityCase> cases;
    for (int program = -1; program < numFactoryPrograms; ++program)
        for (const double rate : { 44100.0, 96000.0 })
            for (const int channels : { 1, 2 })
                cases.push_back ({ program, channels, rate, rate < 50000.0 ? 256 : 512 });
    return cases;
}

/** The random LFO shape draws from a randomly seeded generator, so a program that chooses it
    differs from run to run in any format. Those programs are compared with both LFO depths at 0,
    which leaves the sound independent of the drawn values. */
inline bool usesRandomLfo (int program)
{
    const auto shape = factoryProgramValue (program, lfoShape);
    return shape.has_value() && (int) *shape == 3;
}

/** (parameter ID, plain value) set after the program, in the host's and in-process alike. */
inline std::vector<std::pair<juce::String, juce::String>> parityOverrides (int program)
{
    if (program >= 0 && usesRandomLfo (program))
        return { { "lfoToCutoff", "0" }, { "lfoToFm", "0" } };
    return {};
}

/** Two chords over several channels, bends both ways, channel pressure, timbre, a sustained and a
    staccato note and their releases; timestamps in seconds. */
inline juce::MidiMessageSequence parityPhrase()
{
    juce::MidiMessageSequence seq;
    auto at = [&seq] (double t, const juce::MidiMessage& m) { seq.addEvent (m, t); };

    for (const int note : { 48, 55, 60 })
        at (0.0, juce::MidiMessage::noteOn (1, note, (juce::uint8) 100));
    at (0.0,  juce::MidiMessage::noteOn (2, 64, (juce::uint8) 80));
    at (0.15, juce::MidiMessage::channelPressureChange (2, 90));
    at (0.2,  juce::MidiMessage::pitchWheel (1, 8192 + 2000));
    at (0.35, juce::MidiMessage::noteOn (3, 67, (juce::uint8) 127));
    at (0.36, juce::MidiMessage::controllerEvent (3, 74, 20));
    at (0.5,  juce::MidiMessage::pitchWheel (1, 8192 - 4000));
    at (0.55, juce::MidiMessage::channelPressureChange (3, 60));
    at (0.7,  juce::MidiMessage::noteOff (2, 64));
    at (0.7,  juce::MidiMessage::noteOn (4, 72, (juce::uint8) 60));
    at (0.9,  juce::MidiMessage::controllerEvent (4, 64, 127)); // sustain pedal
    at (1.0,  juce::MidiMessage::noteOff (4, 72));
    for (const int note : { 48, 55, 60 })
        at (1.0, juce::MidiMessage::noteOff (1, note));
    at (1.05, juce::MidiMessage::noteOff (3, 67));
    at (1.1,  juce::MidiMessage::noteOn (5, 36, (juce::uint8) 110));
    at (1.15, juce::MidiMessage::channelPressureChange (5, 127));
    at (1.3,  juce::MidiMessage::controllerEvent (4, 64, 0));
    at (1.4,  juce::MidiMessage::noteOff (5, 36));
    seq.updateMatchedPairs();
    return seq;
}

inline constexpr double parityTailSeconds = 0.8;

/** FNV-1a over the samples' bit patterns, channel after channel: equal only for the same bits. */
inline std::uint64_t sampleHash (const juce::AudioBuffer<float>& audio)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (int ch = 0; ch < audio.getNumChannels(); ++ch)
    {
        const auto* bytes = reinterpret_cast<const unsigned char*> (audio.getReadPointer (ch));
        for (size_t i = 0; i < (size_t) audio.getNumSamples() * sizeof (float); ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}
} // namespace gribb::test
