// The window's MIDI menu as a piece on its own: what it offers, what it ticks, what each item does.
#include <gtest/gtest.h>

#include "editor/MidiSettingsMenu.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/PitchCases.h"

namespace
{
struct Line
{
    juce::String text;
    bool ticked, enabled, header;
    int id;
};

/** The menu's lines, submenus flattened, each with the path of submenus above it. */
void collect (const juce::PopupMenu& menu, const juce::String& path, std::vector<Line>& lines)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSeparator)
            continue;
        lines.push_back ({ path + item.text, item.isTicked, item.isEnabled, item.isSectionHeader, item.itemID });
        if (item.subMenu != nullptr)
            collect (*item.subMenu, path + item.text + " > ", lines);
    }
}

std::vector<Line> linesOf (const MidiSettingsMenu& menu)
{
    juce::PopupMenu popup;
    menu.addItemsTo (popup);
    std::vector<Line> lines;
    collect (popup, {}, lines);
    return lines;
}

const Line* find (const std::vector<Line>& lines, const juce::String& text)
{
    for (const auto& line : lines)
        if (line.text == text)
            return &line;
    return nullptr;
}

const juce::String pm (juce::CharPointer_UTF8 ("\xc2\xb1"));
const juce::String ellipsis (juce::CharPointer_UTF8 ("\xe2\x80\xa6"));
} // namespace

TEST (MidiSettingsMenu, OffersTheRangesTheMpeChoiceAndTheTuning)
{
    GribbTazoAudioProcessor processor;
    MidiSettingsMenu menu (processor.pitchSettings);
    const auto lines = linesOf (menu);

    for (const auto* text : { "Pitch-bend range", "Follow the controller's MPE set-up", "Tuning",
                              "Tuning > Standard tuning (12-TET, A4 = 440 Hz)" })
        EXPECT_NE (find (lines, text), nullptr) << text;
    EXPECT_NE (find (lines, "Tuning > Load scale (.scl)" + ellipsis), nullptr);
    EXPECT_NE (find (lines, "Tuning > Load keyboard mapping (.kbm)" + ellipsis), nullptr);

    // The default ticked: ±48, not following, standard tuning.
    const auto* mpeRange = find (lines, "Pitch-bend range > " + pm + "48 semitones (MPE controllers)");
    ASSERT_NE (mpeRange, nullptr);
    EXPECT_TRUE (mpeRange->ticked);
    const auto* wheel = find (lines, "Pitch-bend range > " + pm + "2 semitones (a keyboard's wheel)");
    ASSERT_NE (wheel, nullptr);
    EXPECT_FALSE (wheel->ticked);
    EXPECT_FALSE (find (lines, "Follow the controller's MPE set-up")->ticked);
    EXPECT_TRUE (find (lines, "Tuning > Standard tuning (12-TET, A4 = 440 Hz)")->ticked);

    // Choosing ±2 ticks it and sets every channel.
    EXPECT_TRUE (menu.handle (wheel->id));
    EXPECT_EQ (processor.pitchSettings.getBendRange(), 2.0f);
    EXPECT_TRUE (find (linesOf (menu), "Pitch-bend range > " + pm + "2 semitones (a keyboard's wheel)")->ticked);

    EXPECT_TRUE (menu.handle (MidiSettingsMenu::followMpeItem));
    EXPECT_TRUE (processor.pitchSettings.getFollowMpe());
    EXPECT_TRUE (find (linesOf (menu), "Follow the controller's MPE set-up")->ticked);

    EXPECT_FALSE (menu.handle (0));
    EXPECT_FALSE (menu.handle (1));
}

TEST (MidiSettingsMenu, ShowsTheLoadedScaleAndSaysWhyAFileCannotBeUsed)
{
    GribbTazoAudioProcessor processor;
    MidiSettingsMenu menu (processor.pitchSettings);
    juce::StringArray messages;
    menu.onMessage = [&messages] (const juce::String& m) { messages.add (m); };

    juce::TemporaryFile good (".scl"), bad (".scl");
    ASSERT_TRUE (good.getFile().replaceWithText (gribb::test::justMajorScale));
    ASSERT_TRUE (bad.getFile().replaceWithText ("broken\n3\n1/0\n"));

    menu.loadScale (good.getFile());
    auto lines = linesOf (menu);
    EXPECT_NE (find (lines, "Tuning > Scale: Just major"), nullptr);
    EXPECT_FALSE (find (lines, "Tuning > Standard tuning (12-TET, A4 = 440 Hz)")->ticked);

    menu.loadScale (bad.getFile());
    ASSERT_EQ (messages.size(), 2);
    EXPECT_TRUE (messages[1].startsWith (bad.getFile().getFileName() + ": ")) << messages[1];
    EXPECT_FALSE (messages[1].containsAnyOf ("\r\n"));
    EXPECT_EQ (processor.pitchSettings.getScaleDescription(), "Just major"); // unchanged

    EXPECT_TRUE (menu.handle (MidiSettingsMenu::standardTuningItem));
    EXPECT_TRUE (processor.pitchSettings.isStandardTuning());
    EXPECT_EQ (find (linesOf (menu), "Tuning > Scale: Just major"), nullptr);
}
