// User presets: the file's form, round trips of every factory program into a fresh instance,
// bad files (which change nothing and name the file and the reason), atomic writes, names, the
// folder and the sorted list.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <functional>
#include <set>

#include "support/ScratchFolder.h"
#include "support/StateBlocks.h"

#include "processor/UserPresets.h"

using gribb::test::ProcessorSnapshot;

namespace
{
using gribb::test::ScopedEnvironment;
using gribb::test::ScratchFolder;

float plain (GribbTazoAudioProcessor& processor, const char* id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

void setPlain (GribbTazoAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

juce::String presetXml (const juce::String& params, const juce::String& rootAttributes = "presetName=\"t\" presetFormat=\"1\"")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PARAMETERS " + rootAttributes + ">" + params + "</PARAMETERS>\n";
}

juce::StringArray namesIn (const gribb::PresetFolder& list)
{
    juce::StringArray names;
    for (const auto& file : list.presets)
        names.add (file.getFileNameWithoutExtension());
    return names;
}
} // namespace

TEST (UserPresets, EveryFactoryProgramSavedAndOpenedInAFreshInstanceGivesTheSameValues)
{
    ScratchFolder scratch;

    for (int program = 0; program < 20; ++program)
    {
        const auto name = GribbTazoAudioProcessor::getProgramNames()[program];
        SCOPED_TRACE (name.toStdString());

        // Hand edits on top of an earlier program, so that every parameter carries a value of its own.
        GribbTazoAudioProcessor original;
        original.setCurrentProgram ((program + 7) % 20);
        original.setCurrentProgram (program);
        ASSERT_EQ (gribb::saveUserPreset (original, scratch.folder, name), "");

        const auto file = scratch.folder.getChildFile (name + ".gribbpreset");
        ASSERT_TRUE (file.existsAsFile());
        EXPECT_EQ (original.getLoadedUserPreset(), file);

        GribbTazoAudioProcessor fresh;
        ASSERT_EQ (gribb::loadUserPresetFile (fresh, file), "");

        const auto expected = ProcessorSnapshot::of (original);
        const auto loaded = ProcessorSnapshot::of (fresh);
        EXPECT_TRUE (loaded.valuesMatch (expected));
        EXPECT_EQ (fresh.getCurrentProgram(), 0) << "a preset is a sound, not a factory program";
        EXPECT_EQ (fresh.getLoadedUserPreset(), file);
    }
}

TEST (UserPresets, TheFileIsTheSavedStatesXmlWithANameAndAFormatVersionAndNothingElse)
{
    ScratchFolder scratch;
    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (4);
    // Whatever else the parameter tree may carry (MIDI bindings, for one) is not part of a sound.
    processor.parameters.state.appendChild (juce::ValueTree ("MIDI_BINDINGS").setProperty ("cc74", "cutoff", nullptr), nullptr);

    ASSERT_EQ (gribb::saveUserPreset (processor, scratch.folder, "Fat Bass"), "");
    const auto text = scratch.folder.getChildFile ("Fat Bass.gribbpreset").loadFileAsString();
    std::cout << text << std::endl;

    EXPECT_TRUE (text.startsWith ("<?xml"));
    const auto xml = juce::parseXML (text);
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getTagName(), "PARAMETERS");
    EXPECT_EQ (xml->getStringAttribute ("presetName"), "Fat Bass");
    EXPECT_EQ (xml->getStringAttribute ("presetFormat"), "1");
    EXPECT_FALSE (xml->hasAttribute ("currentProgram"));
    EXPECT_EQ (xml->getNumChildElements(), 22);
    EXPECT_FALSE (text.contains ("MIDI_BINDINGS"));

    for (const auto& spec : gribb::parameterTable)
    {
        auto* param = xml->getChildByAttribute ("id", spec.id);
        ASSERT_NE (param, nullptr) << spec.id;
        EXPECT_EQ (param->getTagName(), "PARAM");
        EXPECT_NEAR (param->getDoubleAttribute ("value"), plain (processor, spec.id), 1.0e-6 * std::max (1.0f, std::abs (plain (processor, spec.id))));
    }

    // The saved-state reader of an older or newer plug-in takes a preset's XML as it is.
    GribbTazoAudioProcessor other;
    const auto block = gribb::test::makeStateBlock (text.trimEnd());
    other.setStateInformation (block.getData(), (int) block.getSize());
    EXPECT_TRUE (ProcessorSnapshot::of (other).valuesMatch (ProcessorSnapshot::of (processor)));
}

TEST (UserPresets, BadFilesChangeNothingAndAreReportedByNameAndReason)
{
    juce::String deeplyNested;
    for (int i = 0; i < 4000; ++i)
        deeplyNested << "<a>";

    juce::MemoryBlock binary;
    juce::Random random (7);
    for (int i = 0; i < 1500; ++i)
        binary.append (std::array<juce::uint8, 1> { (juce::uint8) random.nextInt (256) }.data(), 1);

    juce::MemoryBlock huge;
    huge.setSize (200 * 1024, true);

    const auto goodParams = juce::String ("<PARAM id=\"cutoff\" value=\"500\"/><PARAM id=\"drive\" value=\"30\"/>");
    const auto good = presetXml (goodParams);

    struct Case { const char* name; juce::MemoryBlock bytes; const char* reason; };
    const auto text = [] (const juce::String& s) { return juce::MemoryBlock (s.toRawUTF8(), s.getNumBytesAsUTF8()); };
    const Case cases[] = {
        { "empty", {}, "the file is empty" },
        { "truncated in the root's attributes", text (good.substring (0, good.indexOf ("presetFormat") + 5)), "the file is damaged" },
        { "truncated in the values", text (good.substring (0, good.indexOf ("<PARAM id=\"drive\"") + 12)), "the file is damaged" },
        { "truncated before the closing tag", text (good.upToLastOccurrenceOf ("</", false, false)), "the file is damaged" },
        { "binary", binary, "binary data" },
        { "invalid UTF-8, no zero byte", text ("\xff\xfe\xc0<PARAMETERS"), "the file is damaged" },
        { "another plug-in's saved state", text ("<?xml version=\"1.0\"?><PLUGIN_STATE><PARAM id=\"cutoff\" value=\"500\"/></PLUGIN_STATE>"), "not a Gribb Tazo preset" },
        { "a saved state, not a preset", text (presetXml (goodParams, "currentProgram=\"3\"")), "not a Gribb Tazo preset" },
        { "deeply nested XML", text (presetXml (deeplyNested)), "XML that a preset never contains" },
        { "entity expansion", text ("<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaa\">]><PARAMETERS presetFormat=\"1\"/>"), "XML that a preset never contains" },
        { "larger than any preset", huge, "too large" },
        { "a newer format", text (presetXml (goodParams, "presetFormat=\"2\"")), "newer Gribb Tazo" },
        { "a format that is no number", text (presetXml (goodParams, "presetFormat=\"one\"")), "unknown preset format" },
        { "a format with a line break", text (presetXml (goodParams, "presetFormat=\"1\n</PARA\x01METERS and a long tail of text after it\"")),
          "unknown preset format (1\\n</PARA\\x01METE...)" },
        { "only NaN text", text (presetXml ("<PARAM id=\"cutoff\" value=\"nan\"/><PARAM id=\"drive\" value=\"NaN\"/>")), "no Gribb Tazo values" },
        { "only unknown IDs", text (presetXml ("<PARAM id=\"wobble\" value=\"1\"/>")), "no Gribb Tazo values" },
    };

    ScratchFolder scratch;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = scratch.folder.getChildFile (juce::String (c.name) + ".gribbpreset");
        ASSERT_TRUE (c.bytes.isEmpty() ? file.create().wasOk() : file.replaceWithData (c.bytes.getData(), c.bytes.getSize()));

        GribbTazoAudioProcessor processor;
        processor.setCurrentProgram (9);
        setPlain (processor, "cutoff", 777.0f);
        const auto before = ProcessorSnapshot::of (processor);

        const auto message = gribb::loadUserPresetFile (processor, file);
        std::cout << "  " << c.name << ": " << message << std::endl;
        EXPECT_TRUE (message.contains (c.reason)) << message;
        EXPECT_TRUE (message.contains (file.getFileName())) << message;
        EXPECT_FALSE (message.containsAnyOf ("\r\n\x01")) << "one line, control characters escaped";
        EXPECT_LT (message.length(), 200) << "bounded";
        EXPECT_TRUE (ProcessorSnapshot::of (processor) == before);
        EXPECT_EQ (processor.getLoadedUserPreset(), juce::File());
    }

    // None of them is listed; the one good file beside them is.
    ASSERT_TRUE (scratch.folder.getChildFile ("good.gribbpreset").replaceWithText (good));
    EXPECT_EQ (namesIn (gribb::scanPresetFolder (scratch.folder)), juce::StringArray ("good"));

    // Names that are no regular files: missing, a pipe, a link to a device that never ends.
    const auto pipe = scratch.folder.getChildFile ("pipe.gribbpreset");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    const auto device = scratch.folder.getChildFile ("device.gribbpreset");
    ASSERT_TRUE (juce::File ("/dev/zero").createSymbolicLink (device, true));

    const std::pair<const char*, const char*> special[] = {
        { "missing.gribbpreset", "does not exist" },
        { "pipe.gribbpreset", "not a regular file" },
        { "device.gribbpreset", "not a regular file" },
    };
    for (const auto& [name, reason] : special)
    {
        GribbTazoAudioProcessor processor;
        const auto message = gribb::loadUserPresetFile (processor, scratch.folder.getChildFile (name));
        std::cout << "  " << name << ": " << message << std::endl;
        EXPECT_TRUE (message.contains (reason)) << message;
    }
    EXPECT_EQ (namesIn (gribb::scanPresetFolder (scratch.folder)), juce::StringArray ("good"));
}

TEST (UserPresets, ValuesAreClampedUnknownIdsSkippedAndMissingOrUnreadableOnesKeepTheirValue)
{
    struct Case { const char* name; const char* params; float cutoff, drive, attack; };
    // Before loading: cutoff 777, drive 3, attack 0.5.
    const Case cases[] = {
        { "in range", "<PARAM id=\"cutoff\" value=\"500\"/><PARAM id=\"drive\" value=\"30\"/><PARAM id=\"attack\" value=\"1\"/>", 500.0f, 30.0f, 1.0f },
        { "huge values are clamped", "<PARAM id=\"cutoff\" value=\"1e30\"/><PARAM id=\"drive\" value=\"-1e300\"/>", 20000.0f, 1.0f, 0.5f },
        { "NaN text keeps the value", "<PARAM id=\"cutoff\" value=\"nan\"/><PARAM id=\"drive\" value=\"12\"/>", 777.0f, 12.0f, 0.5f },
        { "text that is no number keeps the value", "<PARAM id=\"cutoff\" value=\"loud\"/><PARAM id=\"drive\" value=\"\"/><PARAM id=\"attack\" value=\"2\"/>", 777.0f, 3.0f, 2.0f },
        { "a number with more after it keeps the value", "<PARAM id=\"cutoff\" value=\"0x10\"/><PARAM id=\"drive\" value=\"12abc\"/><PARAM id=\"attack\" value=\" +1.5e+0 \"/>", 777.0f, 3.0f, 1.5f },
        { "half an exponent keeps the value", "<PARAM id=\"cutoff\" value=\"1e\"/><PARAM id=\"drive\" value=\"-.\"/><PARAM id=\"attack\" value=\".25\"/>", 777.0f, 3.0f, 0.25f },
        { "unknown IDs are skipped", "<PARAM id=\"wobble\" value=\"5\"/><PARAM id=\"drive\" value=\"9\"/>", 777.0f, 9.0f, 0.5f },
        { "the first of repeated IDs counts", "<PARAM id=\"drive\" value=\"9\"/><PARAM id=\"drive\" value=\"40\"/>", 777.0f, 9.0f, 0.5f },
    };

    ScratchFolder scratch;

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto file = scratch.folder.getChildFile ("case.gribbpreset");
        ASSERT_TRUE (file.replaceWithText (presetXml (c.params)));

        GribbTazoAudioProcessor processor;
        setPlain (processor, "cutoff", 777.0f);
        setPlain (processor, "drive", 3.0f);
        setPlain (processor, "attack", 0.5f);
        const auto resonance = plain (processor, "resonance");

        ASSERT_EQ (gribb::loadUserPresetFile (processor, file), "");
        EXPECT_NEAR (plain (processor, "cutoff"), c.cutoff, 0.1f);
        EXPECT_NEAR (plain (processor, "drive"), c.drive, 0.01f);
        EXPECT_NEAR (plain (processor, "attack"), c.attack, 0.001f);
        EXPECT_EQ (plain (processor, "resonance"), resonance);
    }
}

namespace
{
// Program 0 saved as "Keep.gribbpreset" in a scratch folder: the preset a failing save must leave whole.
struct KeptPreset
{
    KeptPreset()
    {
        processor.setCurrentProgram (0);
        saveMessage = gribb::saveUserPreset (processor, scratch.folder, "Keep");
        file = scratch.folder.getChildFile ("Keep.gribbpreset");
        oldText = file.loadFileAsString();
    }

    ScratchFolder scratch;
    GribbTazoAudioProcessor processor;
    juce::String saveMessage;
    juce::File file;
    juce::String oldText;
};
} // namespace

TEST (UserPresets, AFailedRenameLeavesTheOldPresetWholeAndNoTemporaryFileBehind)
{
    KeptPreset kept;
    ASSERT_EQ (kept.saveMessage, "");
    auto& scratch = kept.scratch;
    auto& processor = kept.processor;
    const auto& file = kept.file;
    const auto& oldText = kept.oldText;

    processor.setCurrentProgram (5);
    int renames = 0;
    const auto failingRename = [&renames] (const juce::File& from, const juce::File&)
    {
        ++renames;
        EXPECT_TRUE (from.existsAsFile()) << "the new text is complete before the rename";
        return false;
    };

    const auto message = gribb::saveUserPreset (processor, scratch.folder, "Keep", failingRename);
    EXPECT_EQ (renames, 1);
    EXPECT_TRUE (message.contains ("\"Keep.gribbpreset\"") && message.contains ("cannot be put in place")) << message;
    EXPECT_EQ (file.loadFileAsString(), oldText);
    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFilesAndDirectories, false).size(), 1)
        << "the temporary file is removed";

    // The real rename replaces it.
    ASSERT_EQ (gribb::saveUserPreset (processor, scratch.folder, "Keep"), "");
    EXPECT_NE (file.loadFileAsString(), oldText);
    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFilesAndDirectories, false).size(), 1);
}

TEST (UserPresets, ADiskThatFillsUpWhileWritingLeavesTheOldPresetWhole)
{
    // A file size limit makes writes fail part way as a full disk does, even for root.
    KeptPreset kept;
    ASSERT_EQ (kept.saveMessage, "");
    auto& scratch = kept.scratch;
    auto& processor = kept.processor;
    const auto& file = kept.file;
    const auto& oldText = kept.oldText;
    processor.setCurrentProgram (5);

    rlimit old {};
    ASSERT_EQ (::getrlimit (RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 300;
    ASSERT_EQ (::setrlimit (RLIMIT_FSIZE, &small), 0);

    const auto message = gribb::saveUserPreset (processor, scratch.folder, "Keep");

    ::setrlimit (RLIMIT_FSIZE, &old);
    std::signal (SIGXFSZ, oldHandler);

    std::cout << "  " << message << std::endl;
    EXPECT_TRUE (message.startsWith ("Could not save \"Keep.gribbpreset\": the file cannot be written")) << message;
    EXPECT_EQ (file.loadFileAsString(), oldText);
    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFilesAndDirectories, false).size(), 1)
        << "the temporary file is removed";
}

TEST (UserPresets, AnUnwritableFolderGivesAClearMessageAndChangesNothing)
{
    ScratchFolder scratch;
    const auto blocker = scratch.folder.getChildFile ("not a folder");
    ASSERT_TRUE (blocker.replaceWithText ("x"));

    struct Case { const char* name; juce::File folder; };
    // Permissions do not stop root, so the cases are ones that stop everyone.
    const Case cases[] = {
        { "a file where the folder should be", blocker.getChildFile ("Presets") },
        { "a file of the folder's name", blocker },
        { "a folder the system does not allow", juce::File ("/proc/gribb-tazo/Presets") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        GribbTazoAudioProcessor processor;
        processor.setCurrentProgram (3);
        const auto before = ProcessorSnapshot::of (processor);

        const auto message = gribb::saveUserPreset (processor, c.folder, "Sub");
        std::cout << "  " << c.name << ": " << message << std::endl;
        EXPECT_TRUE (message.startsWith ("Could not save \"Sub.gribbpreset\"")) << message;
        EXPECT_TRUE (message.contains ("cannot be created") || message.contains ("not writable")) << message;
        EXPECT_FALSE (message.containsAnyOf ("\r\n"));
        EXPECT_TRUE (ProcessorSnapshot::of (processor) == before);
        EXPECT_EQ (processor.getLoadedUserPreset(), juce::File());
    }
    EXPECT_EQ (blocker.loadFileAsString(), "x");
}

TEST (UserPresets, NamesWithSlashesDotsAndNonAsciiTextWorkOrAreRefusedClearly)
{
    struct Case { const char* name; const char* file; const char* refusal; };
    const Case cases[] = {
        { "Fat Bass", "Fat Bass.gribbpreset", nullptr },
        { "  v1.2.3 final  ", "v1.2.3 final.gribbpreset", nullptr },
        { "Grüße ☃ Ωmega", "Grüße ☃ Ωmega.gribbpreset", nullptr },
        { "Bass/Sub/Deep one", "Bass/Sub/Deep one.gribbpreset", nullptr },
        { "", nullptr, "give the preset a name" },
        { "   ", nullptr, "give the preset a name" },
        { "../escape", nullptr, "\"..\"" },
        { "Bass/./x", nullptr, "\".\"" },
        { ".hidden", nullptr, "start with a dot" },
        { "a//b", nullptr, "empty folder part" },
        { "trailing/", nullptr, "empty folder part" },
        { "what?", nullptr, "cannot contain" },
        { "a\\b", nullptr, "cannot contain" },
        { "tab\there", nullptr, "cannot contain" },
    };

    ScratchFolder scratch;
    const auto longName = juce::String::repeatedString ("x", 230);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        GribbTazoAudioProcessor processor;
        const auto message = gribb::saveUserPreset (processor, scratch.folder, juce::String::fromUTF8 (c.name));

        if (c.refusal == nullptr)
        {
            EXPECT_EQ (message, "");
            const auto file = scratch.folder.getChildFile (juce::String::fromUTF8 (c.file));
            EXPECT_TRUE (file.existsAsFile());
            EXPECT_EQ (gribb::presetNameOf (scratch.folder, file), juce::String::fromUTF8 (c.file).upToLastOccurrenceOf (".", false, false));
            EXPECT_EQ (gribb::loadUserPresetFile (processor, file), "");
        }
        else
        {
            EXPECT_TRUE (message.contains (c.refusal)) << message;
            EXPECT_EQ (processor.getLoadedUserPreset(), juce::File());
        }
    }

    GribbTazoAudioProcessor processor;
    EXPECT_TRUE (gribb::saveUserPreset (processor, scratch.folder, longName).contains ("too long"));
    // Nothing was written outside the folder, and no refused name left a file.
    EXPECT_FALSE (scratch.folder.getParentDirectory().getChildFile ("escape.gribbpreset").exists());
    EXPECT_EQ (scratch.folder.findChildFiles (juce::File::findFiles, true).size(), 4);
}

TEST (UserPresets, TheFolderFollowsXdgDataHome)
{
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    struct Case { const char* value; juce::File expected; };
    const Case cases[] = {
        { "/tmp/gribb-data", juce::File ("/tmp/gribb-data/Gribb Tazo/Presets") },
        { nullptr, home.getChildFile (".local/share/Gribb Tazo/Presets") },
        { "", home.getChildFile (".local/share/Gribb Tazo/Presets") },
        { "relative/path", home.getChildFile (".local/share/Gribb Tazo/Presets") },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.value == nullptr ? "unset" : c.value);
        ScopedEnvironment environment ("XDG_DATA_HOME", c.value);
        EXPECT_EQ (gribb::userPresetFolder(), c.expected);
    }
}

TEST (UserPresets, TheListIsSortedByNameWithSubfoldersAndLeavesOutWhatIsNoPreset)
{
    ScratchFolder scratch;
    GribbTazoAudioProcessor processor;

    for (const auto* name : { "b", "A", "a10", "a2", "Leads/Saw", "Leads/Acid", "Pads/Slow/Warm" })
        ASSERT_EQ (gribb::saveUserPreset (processor, scratch.folder, name), "") << name;

    scratch.folder.getChildFile ("Empty").createDirectory();
    scratch.folder.getChildFile ("notes.txt").replaceWithText ("x");
    scratch.folder.getChildFile ("broken.gribbpreset").replaceWithText ("<PARAMETERS");
    scratch.folder.getChildFile (".hidden.gribbpreset").replaceWithText (presetXml ("<PARAM id=\"drive\" value=\"9\"/>"));

    const auto list = gribb::scanPresetFolder (scratch.folder);
    EXPECT_EQ (namesIn (list), juce::StringArray ("A", "a2", "a10", "b"));
    ASSERT_EQ (list.subfolders.size(), 2u);
    EXPECT_EQ (list.subfolders[0].name, "Leads");
    EXPECT_EQ (namesIn (list.subfolders[0]), juce::StringArray ("Acid", "Saw"));
    EXPECT_EQ (list.subfolders[1].name, "Pads");
    ASSERT_EQ (list.subfolders[1].subfolders.size(), 1u);
    EXPECT_EQ (namesIn (list.subfolders[1].subfolders[0]), juce::StringArray ("Warm"));

    EXPECT_TRUE (gribb::scanPresetFolder (scratch.folder.getChildFile ("none yet")).presets.empty());
}

TEST (UserPresets, AFileNameThatIsNotUtf8IsListedWhole)
{
    // File names are bytes. Each byte that is not valid UTF-8 shows as U+FFFD, and the name loses
    // its extension, no more and no less; the file itself opens.
    ScratchFolder scratch;
    const auto text = presetXml ("<PARAM id=\"drive\" value=\"9\"/>");
    struct Case { const char* bytes; const char* shown; };
    const Case cases[] = {
        { "Bad\xff\xfeName", "Bad\xef\xbf\xbd\xef\xbf\xbdName" },
        { "Caf\xe9 bar", "Caf\xef\xbf\xbd bar" },
        { "Over\xc0\xaflong", "Over\xef\xbf\xbd\xef\xbf\xbdlong" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.shown);
        const auto path = scratch.folder.getFullPathName().toStdString() + "/" + c.bytes + ".gribbpreset";
        auto* out = std::fopen (path.c_str(), "wb");
        ASSERT_NE (out, nullptr);
        std::fputs (text.toRawUTF8(), out);
        std::fclose (out);

        const auto list = gribb::scanPresetFolder (scratch.folder);
        ASSERT_EQ (list.presets.size(), 1u);
        EXPECT_EQ (gribb::presetNameOf (scratch.folder, list.presets[0]), juce::String::fromUTF8 (c.shown));
        EXPECT_EQ (gribb::presetNameOf (list.presets[0].getParentDirectory(), list.presets[0]), juce::String::fromUTF8 (c.shown));

        GribbTazoAudioProcessor processor;
        EXPECT_EQ (gribb::loadUserPresetFile (processor, list.presets[0]), "");
        EXPECT_NEAR (plain (processor, "drive"), 9.0f, 0.01f);
        ASSERT_EQ (std::remove (path.c_str()), 0);
    }
}

TEST (UserPresets, LoadingReachesTheHostAsParameterEditsAndLeavesTheProgramAlone)
{
    // JUCE's plug-in wrappers turn these notifications into the host's parameter edits (VST3
    // performEdit, LV2 port events), the same path that a program chosen in the window takes.
    struct EditCounter final : juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { edited.insert (index); ++edits; }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override { programChanges += details.programChanged ? 1 : 0; }
        std::set<int> edited;
        int edits = 0, programChanges = 0;
    };

    ScratchFolder scratch;
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (15);
    ASSERT_EQ (gribb::saveUserPreset (source, scratch.folder, "Arp"), "");

    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (2);
    EditCounter host;
    processor.addListener (&host);
    ASSERT_EQ (gribb::loadUserPresetFile (processor, scratch.folder.getChildFile ("Arp.gribbpreset")), "");
    processor.removeListener (&host);

    EXPECT_EQ (host.edits, gribb::numParameters);
    EXPECT_EQ ((int) host.edited.size(), gribb::numParameters);
    EXPECT_EQ (host.programChanges, 0) << "the host's program list keeps its program";
    EXPECT_EQ (processor.getCurrentProgram(), 2);
    EXPECT_EQ (processor.getNumPrograms(), 20);
}

TEST (UserPresets, AFactoryProgramOrARestoredStateForgetsTheLoadedPreset)
{
    ScratchFolder scratch;
    GribbTazoAudioProcessor processor;
    ASSERT_EQ (gribb::saveUserPreset (processor, scratch.folder, "Mine"), "");
    const auto file = scratch.folder.getChildFile ("Mine.gribbpreset");
    juce::MemoryBlock state;
    processor.getStateInformation (state);

    const std::function<void (GribbTazoAudioProcessor&)> events[] = {
        [] (GribbTazoAudioProcessor& p) { p.selectProgram (4); },
        [] (GribbTazoAudioProcessor& p) { p.setCurrentProgram (4); },
        [&state] (GribbTazoAudioProcessor& p) { p.setStateInformation (state.getData(), (int) state.getSize()); },
    };

    for (const auto& event : events)
    {
        ASSERT_EQ (gribb::loadUserPresetFile (processor, file), "");
        EXPECT_EQ (processor.getLoadedUserPreset(), file);
        event (processor);
        EXPECT_EQ (processor.getLoadedUserPreset(), juce::File());
    }

    // The saved state carries no trace of presets.
    ASSERT_EQ (gribb::loadUserPresetFile (processor, file), "");
    EXPECT_FALSE (gribb::test::savedXmlText (processor).contains ("preset"));
}
