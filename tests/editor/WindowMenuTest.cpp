// The window's own menu: what a right click on the background offers ("Zoom" and any submenu
// another part of the window adds), what its items do, and which parts of the window count as
// the background. No display needed: the menu is built and answered as it would be when open.
#include <gtest/gtest.h>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "editor/WindowSettings.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/ScopedConfigHome.h"

namespace
{
struct ShownItem
{
    juce::String text;
    int id;
    bool ticked;
};

std::vector<ShownItem> itemsOf (const juce::PopupMenu& menu)
{
    std::vector<ShownItem> items;
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        items.push_back ({ it.getItem().text, it.getItem().itemID, it.getItem().isTicked });
    return items;
}

const juce::PopupMenu* subMenuNamed (const juce::PopupMenu& menu, const juce::String& name)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
        if (it.getItem().text == name)
            return it.getItem().subMenu.get();
    return nullptr;
}
} // namespace

TEST (WindowMenu, ZoomOffersEveryZoomWithTheShownOneTickedAndAChoiceApplies)
{
    gribb::test::ScopedConfigHome home;
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.chooseZoom (150);

    auto menu = editor.getWindowMenu().build();
    const auto* zoom = subMenuNamed (menu, "Zoom");
    ASSERT_NE (zoom, nullptr);

    const auto items = itemsOf (*zoom);
    const juce::StringArray texts { "100 %", "125 %", "150 %", "175 %", "200 %", "250 %", "300 %" };
    ASSERT_EQ (items.size(), (size_t) texts.size());
    for (size_t i = 0; i < items.size(); ++i)
    {
        EXPECT_EQ (items[i].text, texts[(int) i]);
        EXPECT_EQ (items[i].ticked, items[i].text == "150 %") << items[i].text;
    }

    editor.getWindowMenu().handle (items[4].id);
    EXPECT_DOUBLE_EQ (editor.getZoom(), 2.0);
    EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 200);

    editor.getWindowMenu().handle (0); // closed without a choice
    EXPECT_DOUBLE_EQ (editor.getZoom(), 2.0);
}

TEST (WindowMenu, TheMidiSubMenuSetsTheBendRangeAndTheMpeChoiceOfTheProcessor)
{
    gribb::test::ScopedConfigHome home;
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);

    auto menu = editor.getWindowMenu().build();
    const auto* midi = subMenuNamed (menu, "MIDI");
    ASSERT_NE (midi, nullptr);

    // Choose "±2" from the bend ranges and the MPE item, through the window menu's own IDs.
    int twoSemitones = 0, followMpe = 0;
    for (juce::PopupMenu::MenuItemIterator it (*midi, true); it.next();)
    {
        const auto& item = it.getItem();
        if (item.text == MidiSettingsMenu::describeRange (2.0f))
            twoSemitones = item.itemID;
        if (item.text == "Follow the controller's MPE set-up")
            followMpe = item.itemID;
    }
    ASSERT_NE (twoSemitones, 0);
    ASSERT_NE (followMpe, 0);

    const auto zoomBefore = editor.getZoom();
    EXPECT_FLOAT_EQ (processor.pitchSettings.getBendRange(), 48.0f);
    editor.getWindowMenu().handle (twoSemitones);
    EXPECT_FLOAT_EQ (processor.pitchSettings.getBendRange(), 2.0f);
    EXPECT_FALSE (processor.pitchSettings.getFollowMpe());
    editor.getWindowMenu().handle (followMpe);
    EXPECT_TRUE (processor.pitchSettings.getFollowMpe());
    EXPECT_DOUBLE_EQ (editor.getZoom(), zoomBefore); // the zoom hears none of it
}

TEST (WindowMenu, AnotherSubMenuIsAddedWithOneCallAndHearsOnlyItsOwnItems)
{
    gribb::test::ScopedConfigHome home;
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);

    juce::Array<int> heard;
    int fills = 0;
    bool actionRan = false;
    editor.getWindowMenu().addSubMenu ("Another", [&] (juce::PopupMenu& menu)
    {
        ++fills;
        menu.addItem (1, "One");
        juce::PopupMenu nested;
        nested.addItem (2, "Two");
        menu.addSubMenu ("More", nested);
        menu.addItem ("With its own action", [&] { actionRan = true; });
    },
    [&] (int itemId) { heard.add (itemId); });

    auto menu = editor.getWindowMenu().build();
    EXPECT_EQ (fills, 1);
    ASSERT_NE (subMenuNamed (menu, "Zoom"), nullptr);
    const auto* another = subMenuNamed (menu, "Another");
    ASSERT_NE (another, nullptr);

    std::vector<int> ids;
    for (juce::PopupMenu::MenuItemIterator it (*another, true); it.next();)
        if (it.getItem().itemID != 0)
            ids.push_back (it.getItem().itemID);
    ASSERT_EQ (ids.size(), 2u);

    const auto zoomBefore = editor.getZoom();
    for (const auto id : ids)
        editor.getWindowMenu().handle (id);
    EXPECT_EQ (heard, juce::Array<int> ({ 1, 2 }));
    EXPECT_DOUBLE_EQ (editor.getZoom(), zoomBefore);

    // A zoom item is not heard by the other submenu.
    editor.getWindowMenu().handle (itemsOf (*subMenuNamed (menu, "Zoom"))[1].id);
    EXPECT_EQ (heard.size(), 2);
    EXPECT_DOUBLE_EQ (editor.getZoom(), 1.25);

    // Items with an action of their own keep it.
    for (juce::PopupMenu::MenuItemIterator it (*another, true); it.next();)
        if (it.getItem().action != nullptr)
            it.getItem().action();
    EXPECT_TRUE (actionRan);
}

TEST (WindowMenu, TheBackgroundIsWhatHasNoMenuOfItsOwn)
{
    gribb::test::ScopedConfigHome home;
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);

    const std::pair<juce::Component*, bool> parts[] = {
        { &editor, true },
        { &editor.getChicken(), true },
        { &editor.getTitleLabel(), true },
        { &editor.getCrushLabel(), true },
        { &editor.getTechnicalPanel(), true },
        { &editor.getCrushKnob(), false },
        { &editor.getWarpKnob(), false },
        { &editor.getProgramBox(), false },
        { &editor.getHoodButton(), false },
        { &editor.getTechnicalPanel().getKnob (0).slider, false },
    };

    for (const auto& [part, background] : parts)
        EXPECT_EQ (editor.isBackground (*part), background) << part->getName() << " " << typeid (*part).name();
}
