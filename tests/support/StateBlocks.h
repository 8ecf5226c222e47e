#pragma once

#include <array>
#include <optional>

#include "processor/GribbTazoAudioProcessor.h"

namespace gribb::test
{
/** A saved block around an XML text, laid out as copyXmlToBinary lays it out: magic, length,
    text, zero byte. `storedLength` replaces the length field when given. */
juce::MemoryBlock makeStateBlock (const juce::String& xmlText, std::optional<juce::uint32> storedLength = {});

/** Hands a saved block to the processor as a host restores a project. */
inline void restoreState (GribbTazoAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), (int) block.getSize());
}

/** The processor's saved block and its XML text. */
juce::MemoryBlock savedState (GribbTazoAudioProcessor& processor);
juce::String savedXmlText (GribbTazoAudioProcessor& processor);

/** Everything a restore can change: the 22 plain values and the program index. */
struct ProcessorSnapshot
{
    std::array<float, numParameters> values {};
    int program = 0;

    static ProcessorSnapshot of (GribbTazoAudioProcessor& processor);
    bool operator== (const ProcessorSnapshot& other) const { return values == other.values && program == other.program; }

    /** Equal up to the rounding of a trip through normalised values (a restore takes that trip). */
    bool valuesMatch (const ProcessorSnapshot& other) const;
    bool matches (const ProcessorSnapshot& other) const { return program == other.program && valuesMatch (other); }
};

/** Whether a plain value lies on its parameter's grid (start + k * interval), allowing for float
    rounding of both the value and the interval. */
bool isOnGrid (const ParameterSpec& spec, float value);
} // namespace gribb::test
