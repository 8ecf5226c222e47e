// The steps a host can take with a running plug-in, as the soak fuzzer makes them and as a saved
// sequence holds them: one text line per step, so that a failing sequence can be replayed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gribb::test
{
struct SoakStep
{
    enum class Kind
    {
        prepare,   // releaseResources, the layout's channel count, prepareToPlay
        release,   // releaseResources alone
        parameter, // one parameter written at a normalised value, between blocks
        block,     // one processBlock with MIDI
        quiesce    // every note and pedal released, then the chain's tail rendered and checked
    };

    struct Event
    {
        int position = 0;
        std::vector<std::uint8_t> bytes;
    };

    Kind kind = Kind::block;
    double sampleRate = 48000.0; // prepare
    int blockSize = 512;         // prepare
    int channels = 2;            // prepare
    int parameterIndex = 0;      // parameter
    float normalised = 0.0f;     // parameter
    int numSamples = 0;          // block
    std::vector<Event> events;   // block
};

/** The sequence as text, one line per step (a block's events follow it, one line each). */
std::string writeSoakSteps (const std::vector<SoakStep>& steps);

/** Reads what writeSoakSteps wrote; nothing when a line cannot be read. */
std::optional<std::vector<SoakStep>> readSoakSteps (const std::string& text);
} // namespace gribb::test
