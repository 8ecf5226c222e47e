#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/StateBlocks.h"

#include "processor/SavedStateText.h"

using gribb::test::makeStateBlock;
using gribb::test::ProcessorSnapshot;
using gribb::test::savedState;
using gribb::test::savedXmlText;

namespace
{
float plain (GribbTazoAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

void setPlain (GribbTazoAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

/** Moves every parameter by hand to a legal value away from its default. */
void setEveryParameterByHand (GribbTazoAudioProcessor& processor)
{
    for (const auto& spec : gribb::parameterTable)
    {
        auto* parameter = processor.parameters.getParameter (spec.id);
        const auto value = spec.kind == gribb::ParameterSpec::Kind::choice
                               ? (float) (spec.numChoices() - 1)
                               : spec.start + spec.interval * std::round ((spec.end - spec.start) * 0.377f / spec.interval);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }
}

juce::String withAttribute (juce::String xml, const juce::String& from, const juce::String& to)
{
    EXPECT_TRUE (xml.contains (from)) << from;
    return xml.replace (from, to);
}

void restore (GribbTazoAudioProcessor& processor, const juce::MemoryBlock& block)
{
    processor.setStateInformation (block.getData(), (int) block.getSize());
}
} // namespace

TEST (StatePersistence, TheBlockIsJucesXmlEnvelopeAroundTheParameterTree)
{
    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (11);

    juce::MemoryBlock block;
    block.fillWith (0xee);
    block.setSize (5000, false); // whatever the host's block held is replaced, not appended to
    processor.getStateInformation (block);

    const auto* bytes = static_cast<const juce::uint8*> (block.getData());
    ASSERT_GT (block.getSize(), 9u);
    EXPECT_EQ (bytes[0], 0x56);
    EXPECT_EQ (bytes[1], 0x43);
    EXPECT_EQ (bytes[2], 0x32);
    EXPECT_EQ (bytes[3], 0x21);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (bytes + 4), (juce::uint32) block.getSize() - 9);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);

    const auto text = savedXmlText (processor);
    EXPECT_TRUE (text.startsWith ("<?xml"));
    EXPECT_FALSE (text.containsChar ('\n'));

    const auto xml = juce::parseXML (text);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PARAMETERS");
    EXPECT_EQ (xml->getStringAttribute ("currentProgram"), "11");
    EXPECT_EQ (xml->getNumChildElements(), 22);

    for (const auto& spec : gribb::parameterTable)
    {
        const auto* param = xml->getChildByAttribute ("id", spec.id);
        ASSERT_NE (param, nullptr) << spec.id;
        EXPECT_EQ (param->getTagName(), "PARAM");
        EXPECT_NEAR (param->getDoubleAttribute ("value"), plain (processor, spec.id), 1.0e-3 * spec.interval) << spec.id;
    }

    // Saving does not touch the live tree.
    EXPECT_FALSE (processor.parameters.state.hasProperty ("currentProgram"));
}

TEST (StatePersistence, ARoundTripReproducesEveryValueAndTheProgramIndex)
{
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (7);
    setEveryParameterByHand (source);
    const auto saved = ProcessorSnapshot::of (source);

    GribbTazoAudioProcessor target;
    restore (target, savedState (source));

    const auto restored = ProcessorSnapshot::of (target);
    EXPECT_EQ (restored.program, 7);

    for (size_t i = 0; i < saved.values.size(); ++i)
        EXPECT_FLOAT_EQ (restored.values[i], saved.values[i]) << gribb::parameterTable[i].id;

    // ... and saving the restored processor gives the same block again.
    EXPECT_EQ (savedState (target), savedState (source));
}

TEST (StatePersistence, HandSetValuesSurviveAndTheProgramIsNotReapplied)
{
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (5);
    setPlain (source, "cutoff", 777.0f);

    GribbTazoAudioProcessor target;
    restore (target, savedState (source));
    EXPECT_EQ (target.getCurrentProgram(), 5);
    EXPECT_NEAR (plain (target, "cutoff"), 777.0f, 0.05f);
}

TEST (StatePersistence, AStoredIndexIsRestoredWithoutApplyingThatProgram)
{
    // Indices outside the program list (only hand-edited or damaged data holds them) are clamped;
    // the host test shows what an unclamped index would do inside a VST3 host.
    struct Case { const char* stored; int expected; };
    const Case cases[] = { { "7", 7 }, { "19", 19 }, { "42", 19 }, { "-5", 0 }, { "99999999999", 19 } };

    for (const auto& c : cases)
    {
        GribbTazoAudioProcessor source; // defaults, which differ from every program's values
        const auto text = withAttribute (savedXmlText (source), "currentProgram=\"0\"",
                                         "currentProgram=\"" + juce::String (c.stored) + "\"");

        GribbTazoAudioProcessor target;
        target.setCurrentProgram (3);
        restore (target, makeStateBlock (text));

        EXPECT_EQ (target.getCurrentProgram(), c.expected) << c.stored;
        EXPECT_FALSE (target.getProgramName (target.getCurrentProgram()).isEmpty()) << c.stored;
        EXPECT_TRUE (ProcessorSnapshot::of (target).valuesMatch (ProcessorSnapshot::of (source))) << c.stored;
    }
}

TEST (StatePersistence, ATreeWithoutAProgramIndexRestoresValuesAndKeepsTheIndex)
{
    GribbTazoAudioProcessor source;
    setPlain (source, "drive", 20.0f);
    const auto text = withAttribute (savedXmlText (source), " currentProgram=\"0\"", "");

    GribbTazoAudioProcessor target;
    target.setCurrentProgram (12);
    restore (target, makeStateBlock (text));

    EXPECT_EQ (target.getCurrentProgram(), 12);
    EXPECT_TRUE (ProcessorSnapshot::of (target).valuesMatch (ProcessorSnapshot::of (source)));
}

TEST (StatePersistence, TheStoredLengthDecidesHowMuchTextIsRead)
{
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (1);
    setPlain (source, "resonance", 6.5f);
    const auto text = savedXmlText (source);
    const auto textBytes = (juce::uint32) text.getNumBytesAsUTF8();

    // A length beyond the block's end reads what is there: the document is complete.
    GribbTazoAudioProcessor generous;
    restore (generous, makeStateBlock (text, textBytes + 1000));
    EXPECT_TRUE (ProcessorSnapshot::of (generous).matches (ProcessorSnapshot::of (source)));

    // A length that cuts the document short leaves broken XML: nothing changes.
    GribbTazoAudioProcessor cut;
    const auto before = ProcessorSnapshot::of (cut);
    restore (cut, makeStateBlock (text, textBytes / 2));
    EXPECT_TRUE (ProcessorSnapshot::of (cut) == before);
}

TEST (StatePersistence, AnythingThatIsNotASavedParameterTreeChangesNothing)
{
    GribbTazoAudioProcessor reference;
    const auto valid = savedXmlText (reference);
    const auto validBlock = makeStateBlock (valid);
    const auto* validBytes = static_cast<const char*> (validBlock.getData());

    auto otherMagic = validBlock;
    static_cast<char*> (otherMagic.getData())[3] = '?';

    // Entity definitions that refer to themselves; JUCE's parser would recurse until the stack
    // runs out. The document type declaration alone makes the block unreadable.
    const juce::String selfReferencingEntity = "<!DOCTYPE P [<!ENTITY a \"&xa;\">]><PARAMETERS currentProgram=\"&a;\"/>";
    const juce::String harmlessDoctype = "<!DOCTYPE PARAMETERS>" + valid.fromFirstOccurrenceOf ("?>", false, false);

    juce::String deepNesting;
    for (int i = 0; i < 100000; ++i)
        deepNesting << "<a>";

    juce::String manyElements = "<PARAMETERS>";
    for (int i = 0; i < gribb::maxSavedStateElements; ++i)
        manyElements << "<x/>";
    manyElements << "</PARAMETERS>";

    struct Case { const char* what; juce::MemoryBlock block; };
    const Case cases[] = {
        { "empty block", {} },
        { "the first 8 bytes of a valid block", juce::MemoryBlock (validBytes, 8) },
        { "4 bytes", juce::MemoryBlock (validBytes, 4) },
        { "another magic number", otherMagic },
        { "a length of zero", makeStateBlock (valid, 0u) },
        { "a negative length", makeStateBlock (valid, 0x80000000u) },
        { "a length of -1", makeStateBlock (valid, 0xffffffffu) },
        { "another root tag", makeStateBlock (withAttribute (valid, "<PARAMETERS ", "<PARAMETERZ ").replace ("</PARAMETERS>", "</PARAMETERZ>")) },
        { "root tag in lower case", makeStateBlock (valid.replace ("PARAMETERS", "parameters")) },
        { "a namespaced root tag", makeStateBlock (valid.replace ("PARAMETERS", "x:PARAMETERS")) },
        { "not XML", makeStateBlock ("this is not a saved state") },
        { "unterminated XML", makeStateBlock (valid.dropLastCharacters (20)) },
        { "a self-referencing entity", makeStateBlock (selfReferencingEntity) },
        { "a document type declaration", makeStateBlock (harmlessDoctype) },
        { "a processing instruction followed by text", makeStateBlock ("<A m=\"\"><?\?>\"") },
        { "a processing instruction inside the tree", makeStateBlock (valid.replace ("<PARAM ", "<?x?><PARAM ")) },
        { "a binary attribute asking for 2 GB", makeStateBlock (valid.replace ("<PARAMETERS ", "<PARAMETERS base64:x=\"2000000000.abc\" ")) },
        { "a binary attribute of negative size", makeStateBlock (valid.replace ("<PARAMETERS ", "<PARAMETERS base64:x=\"-1.abc\" ")) },
        { "markup inside an entity", makeStateBlock (valid.replace ("<PARAM id=\"cutoff\"", "&<b>&#x41;<PARAM id=\"cutoff\"")) },
        { "a text ending inside a character reference", makeStateBlock (valid.upToFirstOccurrenceOf ("<PARAM id=\"cutoff\"", false, false) + "&#x4") },
        { "100000 nested elements", makeStateBlock ("<PARAMETERS>" + deepNesting) },
        { "more elements than a state can hold", makeStateBlock (manyElements) },
        { "a text longer than a state can be", makeStateBlock (valid.replace ("<PARAMETERS ", "<PARAMETERS padding=\"" + juce::String::repeatedString ("x", gribb::maxSavedStateTextBytes) + "\" ")) },
    };

    for (const auto& c : cases)
    {
        GribbTazoAudioProcessor processor;
        processor.setCurrentProgram (4);
        setPlain (processor, "cutoff", 555.0f);
        const auto before = ProcessorSnapshot::of (processor);

        restore (processor, c.block);
        EXPECT_TRUE (ProcessorSnapshot::of (processor) == before) << c.what;
    }

    GribbTazoAudioProcessor processor;
    const auto before = ProcessorSnapshot::of (processor);
    processor.setStateInformation (nullptr, 100);
    EXPECT_TRUE (ProcessorSnapshot::of (processor) == before);
}

TEST (StatePersistence, TheLimitsLeaveRoomForEveryStateThePlugInWrites)
{
    // A tree with the maximum number of elements and a long but legal text still restores.
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (16);
    auto text = savedXmlText (source);

    juce::String extra;
    const int spare = gribb::maxSavedStateElements - 1 /* declaration */ - 1 /* root */ - 22;
    for (int i = 0; i < spare; ++i)
        extra << "<unused/>";

    text = text.replace ("</PARAMETERS>", extra + "</PARAMETERS>");
    ASSERT_LT (text.getNumBytesAsUTF8(), (size_t) gribb::maxSavedStateTextBytes);

    GribbTazoAudioProcessor target;
    restore (target, makeStateBlock (text));
    EXPECT_TRUE (ProcessorSnapshot::of (target).matches (ProcessorSnapshot::of (source)));
}

TEST (StatePersistence, AValueThatIsNotANumberRestoresItsParameterAsIfItWereMissing)
{
    GribbTazoAudioProcessor source;
    setPlain (source, "cutoff", 900.0f);
    setPlain (source, "oscType", 2.0f);
    setPlain (source, "drive", 30.0f);
    auto text = savedXmlText (source);
    text = withAttribute (text, "id=\"cutoff\" value=\"900", "id=\"cutoff\" value=\"nan\" was=\"");
    text = withAttribute (text, "id=\"oscType\" value=\"2", "id=\"oscType\" value=\"-NaN\" was=\"");

    GribbTazoAudioProcessor target;
    setPlain (target, "cutoff", 4321.0f);
    setPlain (target, "oscType", 1.0f);
    restore (target, makeStateBlock (text));

    // A missing entry sends the parameter back to its default (JUCE's parameter state does that);
    // an unreadable one is treated the same.
    EXPECT_NEAR (plain (target, "cutoff"), 12000.0f, 0.05f);
    EXPECT_EQ (plain (target, "oscType"), 0.0f);
    EXPECT_NEAR (plain (target, "drive"), 30.0f, 0.005f);

    auto withoutCutoff = savedXmlText (source);
    withoutCutoff = withoutCutoff.replace (withoutCutoff.fromFirstOccurrenceOf ("<PARAM id=\"cutoff\"", true, false)
                                                        .upToFirstOccurrenceOf ("/>", true, false), "");
    setPlain (target, "cutoff", 4321.0f);
    restore (target, makeStateBlock (withoutCutoff));
    EXPECT_NEAR (plain (target, "cutoff"), 12000.0f, 0.05f);

    // Infinite values are clamped into the range by the parameter itself.
    text = withAttribute (savedXmlText (source), "id=\"drive\" value=\"30", "id=\"drive\" value=\"inf\" was=\"");
    restore (target, makeStateBlock (text));
    EXPECT_EQ (plain (target, "drive"), 50.0f);

    for (const auto& spec : gribb::parameterTable)
        EXPECT_TRUE (std::isfinite (plain (target, spec.id))) << spec.id;
}
