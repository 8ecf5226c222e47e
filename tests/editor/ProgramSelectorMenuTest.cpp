// The program selector's real menu on a display: opened as a click opens it, then answered with
// the keyboard. The menu opens with the shown program highlighted; Return chooses it, which
// applies that program again, and Escape closes the menu without a choice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "processor/UserPresets.h"
#include "support/MessagePump.h"
#include "support/PopupMenus.h"
#include "support/ScratchFolder.h"

using gribb::test::chooseItem;
using gribb::test::findMenuWindow;
using gribb::test::itemTitles;
using gribb::test::saveScreenshot;

TEST (ProgramSelectorMenu, ReturnOnTheShownProgramAppliesItAgainAndEscapeChangesNothing)
{
    struct Case { const char* name; int key; bool applies; };
    const Case cases[] = {
        { "Return chooses the highlighted, shown program", juce::KeyPress::returnKey, true },
        { "Escape closes the menu", juce::KeyPress::escapeKey, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);
        editor.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor.setVisible (true);
        gribb::test::pumpMessages (500);

        // A new window shows program 1, which was never applied; the cutoff is set by hand too.
        auto& cutoff = *processor.parameters.getParameter ("cutoff");
        cutoff.setValueNotifyingHost (0.1f);
        auto& box = editor.getProgramBox();
        ASSERT_EQ (box.getSelectedId(), 1);

        const auto before = editor.getChildren();
        box.showPopup(); // the menu window exists at once; a display without focus would close it soon
        auto* menu = findMenuWindow (editor, before);
        ASSERT_NE (menu, nullptr) << "the menu did not open";

        menu->keyPressed (juce::KeyPress (c.key));
        gribb::test::pumpMessages (200);

        EXPECT_EQ (findMenuWindow (editor, before), nullptr) << "the menu is still open";
        EXPECT_EQ (box.getSelectedId(), 1);
        const auto programCutoff = GribbTazoAudioProcessor::getProgramValues (0).at ("cutoff");
        const auto expected = c.applies ? programCutoff : cutoff.convertFrom0to1 (0.1f);
        EXPECT_NEAR (processor.parameters.getRawParameterValue ("cutoff")->load(), expected, 0.1f);
        EXPECT_NEAR (processor.parameters.getRawParameterValue ("oscType")->load(), c.applies ? 2.0f : 0.0f, 1.0e-6f);

        editor.removeFromDesktop();
    }
}

// User presets in the same menu: saved under a name through the real menu and name prompt,
// found in the list the next time the menu opens, and loaded from there; a dropped file loads
// too, and a bad one leaves a message naming it. The menu and the message are saved as PNG
// screenshots in screenshots/ beside this program.
namespace
{
/** XDG_DATA_HOME pointed at a fresh folder for one test, and everything removed afterwards. */
struct ScratchDataHome : gribb::test::ScratchXdgHome
{
    ScratchDataHome() : ScratchXdgHome ("XDG_DATA_HOME", "gribb-data-home") {}

    juce::File presets() const { return folder.getChildFile ("Gribb Tazo/Presets"); }
};

std::array<float, gribb::numParameters> plainValues (GribbTazoAudioProcessor& processor)
{
    std::array<float, gribb::numParameters> values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = processor.parameters.getRawParameterValue (gribb::parameterTable[i].id)->load();
    return values;
}
} // namespace

TEST (ProgramSelectorMenu, SavesAPresetUnderANameListsItAndLoadsItFromTheMenu)
{
    ScratchDataHome dataHome;
    GribbTazoAudioProcessor processor;
    processor.setCurrentProgram (6);
    processor.parameters.getParameter ("cutoff")->setValueNotifyingHost (0.3f);
    const auto sound = plainValues (processor);

    GribbTazoAudioProcessorEditor editor (processor);
    editor.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    editor.setVisible (true);
    gribb::test::pumpMessages (500);
    auto& box = editor.getProgramBox();

    // The menu: the twenty programs, then the commands (no presets yet).
    auto before = editor.getChildren();
    box.showPopup();
    auto* menu = findMenuWindow (editor, before);
    ASSERT_NE (menu, nullptr);
    auto titles = itemTitles (*menu);
    ASSERT_EQ (titles.size(), 23) << titles.joinIntoString (" | ").toStdString();
    EXPECT_EQ (titles[19], "20. Motherboard Melt");
    EXPECT_EQ (titles[20], juce::String::fromUTF8 ("Save preset\xe2\x80\xa6"));
    EXPECT_EQ (titles[21], juce::String::fromUTF8 ("Open preset file\xe2\x80\xa6"));
    EXPECT_EQ (titles[22], "Show preset folder");
    EXPECT_FALSE (dataHome.presets().exists()) << "opening the menu creates nothing";

    // Save: the prompt opens inside the window, offers no name yet, and saves under the typed one.
    ASSERT_TRUE (chooseItem (*menu, titles[20]));
    gribb::test::pumpMessages (200);
    auto* prompt = editor.getUserPresets().getOpenDialog();
    ASSERT_NE (prompt, nullptr) << "no name prompt";
    EXPECT_EQ (prompt->getParentComponent(), &editor);
    EXPECT_EQ (prompt->getTextEditorContents ("name"), "");
    prompt->getTextEditor ("name")->setText ("My Sound");
    saveScreenshot (editor, nullptr, "preset-save-prompt.png");
    prompt->triggerButtonClick ("Save");
    gribb::test::pumpMessages (300);

    const auto file = dataHome.presets().getChildFile ("My Sound.gribbpreset");
    ASSERT_TRUE (file.existsAsFile());
    EXPECT_EQ (box.getText(), "My Sound");
    EXPECT_EQ (editor.getUserPresets().getOpenDialog(), nullptr);

    // Another sound, chosen in the same menu.
    before = editor.getChildren();
    box.showPopup();
    menu = findMenuWindow (editor, before);
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (chooseItem (*menu, "02. Deep Fried 808"));
    gribb::test::pumpMessages (200);
    EXPECT_EQ (box.getSelectedId(), 2);
    EXPECT_NE (plainValues (processor), sound);

    // The preset is listed after the programs, and choosing it brings the sound back.
    before = editor.getChildren();
    box.showPopup();
    menu = findMenuWindow (editor, before);
    ASSERT_NE (menu, nullptr);
    titles = itemTitles (*menu);
    ASSERT_EQ (titles.size(), 24);
    EXPECT_EQ (titles[20], "My Sound");
    saveScreenshot (editor, menu, "preset-menu.png");
    ASSERT_TRUE (chooseItem (*menu, "My Sound"));
    gribb::test::pumpMessages (200);

    const auto loaded = plainValues (processor);
    for (size_t i = 0; i < loaded.size(); ++i)
        EXPECT_NEAR (loaded[i], sound[i], 1.0e-5f * std::max (1.0f, std::abs (sound[i]))) << gribb::parameterTable[i].id;
    EXPECT_EQ (box.getText(), "My Sound");
    EXPECT_EQ (processor.getLoadedUserPreset(), file);

    // Saving again offers the loaded preset's name and asks before replacing it.
    before = editor.getChildren();
    box.showPopup();
    menu = findMenuWindow (editor, before);
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (chooseItem (*menu, juce::String::fromUTF8 ("Save preset\xe2\x80\xa6")));
    gribb::test::pumpMessages (200);
    prompt = editor.getUserPresets().getOpenDialog();
    ASSERT_NE (prompt, nullptr);
    EXPECT_EQ (prompt->getTextEditorContents ("name"), "My Sound");
    const auto oldText = file.loadFileAsString();
    processor.parameters.getParameter ("drive")->setValueNotifyingHost (0.9f);
    prompt->triggerButtonClick ("Save");
    gribb::test::pumpMessages (300);

    auto* question = editor.getUserPresets().getOpenDialog();
    ASSERT_NE (question, nullptr) << "no question before replacing";
    EXPECT_EQ (question->getName(), "Replace preset?");
    saveScreenshot (editor, nullptr, "preset-replace-question.png");
    question->triggerButtonClick ("Cancel");
    gribb::test::pumpMessages (200);
    EXPECT_EQ (file.loadFileAsString(), oldText) << "cancelled: the preset is unchanged";

    editor.removeFromDesktop();
}

TEST (ProgramSelectorMenu, ADroppedPresetFileLoadsAndABadOneLeavesAMessageNamingIt)
{
    ScratchDataHome dataHome;
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (13);
    const auto folder = dataHome.folder.getChildFile ("mail");
    ASSERT_EQ (gribb::saveUserPreset (source, folder, "From a friend"), "");
    const auto good = folder.getChildFile ("From a friend.gribbpreset");
    const auto bad = folder.getChildFile ("Broken.gribbpreset");
    ASSERT_TRUE (bad.replaceWithText ("<?xml version=\"1.0\"?><PARAMETERS presetFormat=\"1\"><PARAM id=\"cutoff\" val"));

    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
    editor.setVisible (true);
    gribb::test::pumpMessages (300);

    EXPECT_TRUE (editor.isInterestedInFileDrag ({ good.getFullPathName() }));
    EXPECT_FALSE (editor.isInterestedInFileDrag ({ "/tmp/song.wav" }));

    const auto before = plainValues (processor);
    editor.filesDropped ({ bad.getFullPathName() }, 300, 300);
    gribb::test::pumpMessages (200);
    auto& message = editor.getUserPresets().getMessageLabel();
    EXPECT_EQ (message.getParentComponent(), &editor);
    EXPECT_TRUE (message.isShowing());
    EXPECT_TRUE (message.getText().contains ("\"Broken.gribbpreset\"") && message.getText().contains ("damaged")) << message.getText();
    EXPECT_EQ (plainValues (processor), before);
    EXPECT_EQ (editor.getProgramBox().getSelectedId(), 1);
    saveScreenshot (editor, nullptr, "preset-bad-file-message.png");

    editor.filesDropped ({ "/tmp/song.wav", good.getFullPathName() }, 300, 300);
    gribb::test::pumpMessages (200);
    EXPECT_EQ (message.getParentComponent(), nullptr) << "the message goes once a preset loads";
    const auto loaded = plainValues (processor);
    const auto expected = plainValues (source);
    for (size_t i = 0; i < loaded.size(); ++i)
        EXPECT_NEAR (loaded[i], expected[i], 1.0e-5f * std::max (1.0f, std::abs (expected[i]))) << gribb::parameterTable[i].id;
    EXPECT_EQ (editor.getProgramBox().getText(), "From a friend");

    // A window opened again shows the loaded preset too; one chosen factory program replaces it.
    editor.removeFromDesktop();
    {
        GribbTazoAudioProcessorEditor reopened (processor);
        EXPECT_EQ (reopened.getProgramBox().getText(), "From a friend");
        EXPECT_EQ (reopened.getProgramBox().getSelectedId(), 0);
    }
    processor.selectProgram (3);
    GribbTazoAudioProcessorEditor afterProgram (processor);
    EXPECT_EQ (afterProgram.getProgramBox().getSelectedId(), 4);
}

TEST (ProgramSelectorMenu, ClosingTheWindowWhileItAsksForANameSavesNothing)
{
    ScratchDataHome dataHome;
    GribbTazoAudioProcessor processor;

    for (const auto* answer : { "", "Save" })
    {
        SCOPED_TRACE (answer);
        auto editor = std::make_unique<GribbTazoAudioProcessorEditor> (processor);
        editor->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor->setVisible (true);
        gribb::test::pumpMessages (200);

        editor->getUserPresets().savePreset();
        auto* prompt = editor->getUserPresets().getOpenDialog();
        ASSERT_NE (prompt, nullptr);
        prompt->getTextEditor ("name")->setText ("Never");
        if (*answer != '\0')
            prompt->triggerButtonClick (answer); // the save itself comes a moment later

        editor.reset(); // the host closes the window
        gribb::test::pumpMessages (300);
        EXPECT_FALSE (dataHome.presets().getChildFile ("Never.gribbpreset").exists());
    }
}
