// Learned controllers in the saved state: an element of their own that the loader of the version
// before MIDI learn passes over. A state without it is that version's state, byte for byte, and
// loads as it did; a state with it loads in that version's loader exactly as without it. The
// fixtures: state-before-midi-learn.bin was saved by the version before MIDI learn (program 8,
// four values set by hand); state-with-midi-learn.bin is the same sound saved with two bindings.
#include <gtest/gtest.h>

#include <cmath>

#include "processor/SavedStateText.h"
#include "support/ProcessorTestHelpers.h"
#include "support/StateBlocks.h"
#include "support/StateFixtures.h"

using gribb::ControllerBinding;
using gribb::test::ProcessorSnapshot;

namespace
{
using gribb::test::stateFixture;

using gribb::test::restoreState;

juce::String xmlTextOf (const juce::MemoryBlock& block)
{
    return *gribb::readSavedStateText (block.getData(), (int) block.getSize());
}

/** The loader of the version before MIDI learn, step for step: the checked text, its root, the
    tree settled once, unreadable values dropped, the program index read, and the whole tree handed
    to the parameter state, which reads its PARAM children and leaves any other child alone.
    Returns the program index that loader sets (-1 when it keeps the current one). */
int loadAsBeforeMidiLearn (GribbTazoAudioProcessor& processor, const juce::MemoryBlock& block)
{
    const auto text = gribb::readSavedStateText (block.getData(), (int) block.getSize());
    if (! text.has_value())
        return -1;
    const auto xml = juce::parseXML (*text);
    if (xml == nullptr || xml->getTagName() != processor.parameters.state.getType().toString())
        return -1;
    auto tree = juce::ValueTree::fromXml (juce::ValueTree::fromXml (*xml).toXmlString (juce::XmlElement::TextFormat().singleLine()));
    for (int i = tree.getNumChildren(); --i >= 0;)
        if (const auto* value = tree.getChild (i).getPropertyPointer ("value"))
            if (std::isnan ((float) *value))
                tree.removeChild (i, nullptr);
    int program = -1;
    if (const auto* stored = tree.getPropertyPointer ("currentProgram"))
        program = juce::jlimit (0, processor.getNumPrograms() - 1, (int) *stored);
    processor.parameters.replaceState (tree);
    return program;
}

ProcessorSnapshot loadedAsBeforeMidiLearn (const juce::MemoryBlock& block)
{
    GribbTazoAudioProcessor processor;
    const int program = loadAsBeforeMidiLearn (processor, block);
    auto snapshot = ProcessorSnapshot::of (processor);
    snapshot.program = program;
    return snapshot;
}

/** The fixture's sound with CC 21 on cutoff and CC 1 on channel 5 on the CRUSH knob. */
void bindTwo (GribbTazoAudioProcessor& processor)
{
    ASSERT_TRUE (processor.midiLearn.bind (gribb::cutoff, { 21, 0 }));
    ASSERT_TRUE (processor.midiLearn.bind (gribb::crushLearnTarget, { 1, 5 }));
}

const char* const withBindingsXml = "<MIDI_LEARN><BINDING target=\"cutoff\" controller=\"21\" channel=\"0\"/>"
                                    "<BINDING target=\"crushMacro\" controller=\"1\" channel=\"5\"/></MIDI_LEARN>";
} // namespace

TEST (MidiLearnState, BindingsRoundTripIntoANewInstance)
{
    GribbTazoAudioProcessor saved;
    bindTwo (saved);
    const auto text = gribb::test::savedXmlText (saved);
    EXPECT_TRUE (text.contains (juce::String (withBindingsXml) + "</PARAMETERS>")) << text;

    GribbTazoAudioProcessor restored;
    restoreState (restored, gribb::test::savedState (saved));
    EXPECT_EQ (restored.midiLearn.bindingOf (gribb::cutoff), (ControllerBinding { 21, 0 }));
    EXPECT_EQ (restored.midiLearn.bindingOf (gribb::crushLearnTarget), (ControllerBinding { 1, 5 }));
    for (int target = 0; target < gribb::numLearnTargets; ++target)
    {
        const bool bound = target == gribb::cutoff || target == gribb::crushLearnTarget;
        EXPECT_EQ (restored.midiLearn.bindingOf (target).isBound(), bound) << target;
    }

    // The parameter state never holds the element: its own copies (user presets) stay as before.
    EXPECT_FALSE (restored.parameters.copyState().getChildWithName (gribb::MidiLearn::stateType).isValid());
}

TEST (MidiLearnState, AStateOfTheVersionBeforeLoadsAsItDidAndSavesAgainByteForByte)
{
    const auto before = stateFixture ("state-before-midi-learn.bin");

    GribbTazoAudioProcessor processor;
    bindTwo (processor); // a state without bindings leaves nothing bound
    restoreState (processor, before);

    EXPECT_TRUE (ProcessorSnapshot::of (processor).matches (loadedAsBeforeMidiLearn (before)));
    EXPECT_EQ (processor.getCurrentProgram(), 7);
    EXPECT_FLOAT_EQ (gribb::test::plainValue (processor, "cutoff"), 3456.0f);
    for (int target = 0; target < gribb::numLearnTargets; ++target)
    {
        EXPECT_FALSE (processor.midiLearn.bindingOf (target).isBound()) << target;
    }

    const auto again = gribb::test::savedState (processor);
    EXPECT_EQ (again, before) << xmlTextOf (again);
}

TEST (MidiLearnState, AStateWithBindingsLoadsInTheLoaderBeforeExactlyAsWithoutThem)
{
    const auto before = stateFixture ("state-before-midi-learn.bin");
    const auto with = stateFixture ("state-with-midi-learn.bin");

    // The fixture is what this version saves for the sound with two bindings: the state of the
    // version before, with the element added and nothing else changed.
    GribbTazoAudioProcessor processor;
    restoreState (processor, before);
    bindTwo (processor);
    EXPECT_EQ (gribb::test::savedState (processor), with) << xmlTextOf (gribb::test::savedState (processor));
    EXPECT_EQ (xmlTextOf (with).replace (withBindingsXml, ""), xmlTextOf (before));

    // That loader reads the same values and program from both.
    const auto fromWith = loadedAsBeforeMidiLearn (with);
    EXPECT_TRUE (fromWith.matches (loadedAsBeforeMidiLearn (before)));
    EXPECT_EQ (fromWith.program, 7);

    // And this version reads the same sound, with the bindings.
    GribbTazoAudioProcessor current;
    restoreState (current, with);
    EXPECT_TRUE (ProcessorSnapshot::of (current).matches (fromWith));
    EXPECT_EQ (current.midiLearn.bindingOf (gribb::cutoff), (ControllerBinding { 21, 0 }));
}

TEST (MidiLearnState, BindingsThatCannotBeUsedAreSkippedAndTheRestLoads)
{
    struct Case
    {
        const char* what;
        const char* binding;
        bool kept;
    };
    const Case cases[] = {
        { "a plain binding", R"(<BINDING target="drive" controller="30" channel="16"/>)", true },
        { "no channel: any", R"(<BINDING target="drive" controller="30"/>)", true },
        { "a target that does not exist", R"(<BINDING target="volume" controller="30" channel="0"/>)", false },
        { "a refused controller", R"(<BINDING target="drive" controller="74" channel="0"/>)", false },
        { "a channel mode message", R"(<BINDING target="drive" controller="123" channel="0"/>)", false },
        { "beyond MIDI", R"(<BINDING target="drive" controller="300" channel="0"/>)", false },
        { "a negative controller", R"(<BINDING target="drive" controller="-3" channel="0"/>)", false },
        { "a channel beyond 16", R"(<BINDING target="drive" controller="30" channel="17"/>)", false },
        { "text for a number", R"(<BINDING target="drive" controller="thirty" channel="0"/>)", false },
        { "no controller", R"(<BINDING target="drive" channel="0"/>)", false },
    };

    const auto before = xmlTextOf (stateFixture ("state-before-midi-learn.bin"));
    const auto expectedValues = loadedAsBeforeMidiLearn (stateFixture ("state-before-midi-learn.bin"));

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto text = before.replace ("</PARAMETERS>", juce::String ("<MIDI_LEARN>") + c.binding + "</MIDI_LEARN></PARAMETERS>");
        GribbTazoAudioProcessor processor;
        restoreState (processor, gribb::test::makeStateBlock (text));
        EXPECT_EQ (processor.midiLearn.bindingOf (gribb::drive).isBound(), c.kept);
        EXPECT_TRUE (ProcessorSnapshot::of (processor).matches (expectedValues));
    }

    // A controller or a target named twice keeps its first binding.
    const auto twice = before.replace ("</PARAMETERS>",
                                       "<MIDI_LEARN><BINDING target=\"drive\" controller=\"30\" channel=\"0\"/>"
                                       "<BINDING target=\"cutoff\" controller=\"30\" channel=\"0\"/>"
                                       "<BINDING target=\"drive\" controller=\"31\" channel=\"0\"/></MIDI_LEARN></PARAMETERS>");
    GribbTazoAudioProcessor processor;
    restoreState (processor, gribb::test::makeStateBlock (twice));
    EXPECT_EQ (processor.midiLearn.bindingOf (gribb::drive), (ControllerBinding { 30, 0 }));
    EXPECT_FALSE (processor.midiLearn.bindingOf (gribb::cutoff).isBound());
}

TEST (MidiLearnState, ADataBlockThatIsNoStateKeepsTheBindings)
{
    GribbTazoAudioProcessor processor;
    bindTwo (processor);
    const char junk[] = "not a state at all";
    processor.setStateInformation (junk, (int) sizeof (junk));
    EXPECT_EQ (processor.midiLearn.bindingOf (gribb::cutoff), (ControllerBinding { 21, 0 }));
}
