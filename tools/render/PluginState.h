#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb::render
{
/** The plug-in's own saved block (what its getStateInformation writes), read out of the format's
    host state: JUCE's VST3 host keeps the component's state in base 64 inside an XML envelope
    (<VST3PluginState><IComponent>), its LV2 host keeps the plug-in's state property (the block in
    JUCE's base 64) in a Turtle text. Empty when the host state holds none. */
juce::MemoryBlock readPluginState (juce::AudioPluginInstance& plugin);

/** Restores the plug-in's own saved block through the format's host state, between blocks of a
    prepared plug-in (JUCE's LV2 host applies a state between two blocks). False with a reason
    when the host state has no place for it. */
bool restorePluginState (juce::AudioPluginInstance& plugin, const juce::MemoryBlock& block, juce::String& error);

/** Reads a state file as --state takes it: a block the plug-in saved (JUCE's binary XML, as
    --save-state writes it). False with a reason for a missing, unreadable or oversized file or
    one that holds no such block. */
bool readStateFile (const juce::File& file, juce::MemoryBlock& block, juce::String& error);

/** Writes the plug-in's own saved block to a file, whole or not at all. */
bool writeStateFile (const juce::File& file, const juce::MemoryBlock& block, juce::String& error);

/** The XML of a saved block (JUCE's binary XML, as copyXmlToBinary writes it), or nullptr. */
std::unique_ptr<juce::XmlElement> xmlOfPluginState (const juce::MemoryBlock& block);
} // namespace gribb::render
