#include "processor/GribbTazoAudioProcessor.h"

#include <cmath>

#include "processor/SavedStateText.h"

namespace
{
const juce::Identifier currentProgramProperty ("currentProgram");
const juce::Identifier valueProperty ("value");

/** Drops every child whose value does not read as a number (for example "nan"): restoring it would
    put NaN into the parameter and from there into the audio. The parameter state then treats the
    parameter as it treats one whose child is missing: it goes back to its default. */
void dropUnreadableValues (juce::ValueTree& tree)
{
    for (int i = tree.getNumChildren(); --i >= 0;)
    {
        const auto child = tree.getChild (i);

        if (const auto* value = child.getPropertyPointer (valueProperty))
            if (std::isnan ((float) *value))
                tree.removeChild (i, nullptr);
    }
}
} // namespace

void GribbTazoAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    auto state = parameters.copyState();
    state.setProperty (currentProgramProperty, currentProgram.load(), nullptr);
    midiLearn.addToState (state);
    pitchSettings.addToState (state);

    if (auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

void GribbTazoAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const auto text = gribb::readSavedStateText (data, sizeInBytes);

    if (! text.has_value())
        return;

    const auto xml = juce::parseXML (*text);

    if (xml == nullptr || xml->getTagName() != parameters.state.getType().toString())
        return;

    // Read the tree back once the way the next save will write it. Hand-made or damaged XML can
    // read one way now and another way after a save (a repeated attribute is read first-wins
    // but written last-wins); settling it here keeps a restored project identical when it is
    // saved and opened again.
    auto tree = juce::ValueTree::fromXml (juce::ValueTree::fromXml (*xml).toXmlString (juce::XmlElement::TextFormat().singleLine()));

    if (! tree.isValid())
        return;

    dropUnreadableValues (tree);

    // No program is applied: the parameter values come from the tree, so edits made after
    // selecting the program survive. The index is clamped to the programs that exist: JUCE's VST3
    // wrapper, right after a restore, hands the host's program parameter our index and applies
    // the program that parameter lands on whenever the two differ, so an index beyond the list
    // would replace every restored value with the last program's.
    if (const auto* storedProgram = tree.getPropertyPointer (currentProgramProperty))
        currentProgram = juce::jlimit (0, getNumPrograms() - 1, (int) *storedProgram);

    forgetLoadedUserPreset();
    midiLearn.restoreFromState (tree);
    pitchSettings.restoreFromState (tree);
    parameters.replaceState (tree);
}
