#include "support/StateBlocks.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace gribb::test
{
juce::MemoryBlock makeStateBlock (const juce::String& xmlText, std::optional<juce::uint32> storedLength)
{
    juce::MemoryOutputStream out;
    const auto utf8 = xmlText.toUTF8();
    const auto textBytes = (juce::uint32) xmlText.getNumBytesAsUTF8();

    out.writeInt (0x21324356);
    out.writeInt ((int) storedLength.value_or (textBytes));
    out.write (utf8.getAddress(), textBytes);
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::MemoryBlock savedState (GribbTazoAudioProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

juce::String savedXmlText (GribbTazoAudioProcessor& processor)
{
    const auto block = savedState (processor);
    return block.getSize() > 9 ? juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int) block.getSize() - 9)
                               : juce::String();
}

ProcessorSnapshot ProcessorSnapshot::of (GribbTazoAudioProcessor& processor)
{
    ProcessorSnapshot snapshot;

    for (size_t i = 0; i < parameterTable.size(); ++i)
        snapshot.values[i] = processor.parameters.getRawParameterValue (parameterTable[i].id)->load();

    snapshot.program = processor.getCurrentProgram();
    return snapshot;
}

bool ProcessorSnapshot::valuesMatch (const ProcessorSnapshot& other) const
{
    for (size_t i = 0; i < values.size(); ++i)
        if (std::abs (values[i] - other.values[i]) > 1.0e-6f * std::max (1.0f, std::abs (values[i])))
            return false;
    return true;
}

bool isOnGrid (const ParameterSpec& spec, float value)
{
    const auto steps = (double (value) - double (spec.start)) / double (spec.interval);
    const auto roundingInSteps = 4.0 * FLT_EPSILON * (std::abs (double (value)) + std::abs (double (spec.start))) / double (spec.interval);
    return std::abs (steps - std::round (steps)) <= 1.0e-3 + roundingInSteps;
}
} // namespace gribb::test
