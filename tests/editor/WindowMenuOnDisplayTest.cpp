// The window's own menu on a display, opened by a right click on the page's background that goes
// through the window's peer as the mouse's would: on both pages it offers "Zoom" and "MIDI"; the
// MIDI submenu and its "Tuning" submenu open from it, show the current bend range ticked, and a
// choice in the real menu sets the processor's bend range; a zoom chosen in the real "Zoom"
// submenu is applied, remembered and ticked the next time, and the menus open at it. The open
// submenus are saved as screenshots/window-*-menu.png beside this program.
#include <gtest/gtest.h>

#include <functional>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "editor/MidiSettingsMenu.h"
#include "editor/WindowSettings.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/MessagePump.h"
#include "support/PopupMenus.h"
#include "support/ScopedConfigHome.h"

using gribb::test::chooseItem;
using gribb::test::lineTitles;
using gribb::test::pumpMessages;
using gribb::test::pumpUntil;
using gribb::test::rightClick;

namespace
{
/** The window's children and the desktop's windows that are showing. */
juce::Array<juce::Component*> showingParts (juce::Component& window)
{
    juce::Array<juce::Component*> parts;
    for (auto* child : window.getChildren())
        if (child->isShowing())
            parts.add (child);
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c->isShowing())
            parts.add (c);
    return parts;
}

/** Does the action (a right click, or choosing a submenu's item, which opens the submenu) and
    returns the menu window that opened: inside the window or on the desktop of its own. */
juce::Component* open (juce::Component& window, const std::function<void()>& action)
{
    const auto before = showingParts (window);
    action();
    juce::Component* opened = nullptr;
    pumpUntil ([&]
    {
        for (auto* part : showingParts (window))
            if (part != &window && ! before.contains (part))
                opened = part;
        return opened != nullptr;
    });
    return opened;
}

/** A window of the plug-in's own on the desktop, with a configuration folder of its own. */
struct WindowOnDesktop
{
    WindowOnDesktop()
    {
        editor.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor.setVisible (true);
        pumpUntil ([&] { return editor.isShowing(); });
        pumpMessages (300);
    }

    ~WindowOnDesktop() { editor.removeFromDesktop(); }

    gribb::test::ScopedConfigHome home;
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor { processor };
};

/** The titles of the menu's ticked items. */
juce::StringArray tickedItems (juce::Component& menu)
{
    juce::Array<juce::Component*> items;
    gribb::test::collectItems (menu, items);
    juce::StringArray ticked;
    for (auto* item : items)
        if (auto* handler = item->getAccessibilityHandler(); handler->getCurrentState().isChecked())
            ticked.add (handler->getTitle());
    return ticked;
}
} // namespace

TEST (WindowMenuOnDisplay, BothPagesOpenTheMenuAndTheMidiSubMenuSetsTheBendRange)
{
    WindowOnDesktop window;
    ASSERT_TRUE (window.editor.isShowing());
    auto& editor = window.editor;
    auto& processor = window.processor;

    for (const bool technicalPage : { true, false })
    {
        SCOPED_TRACE (technicalPage ? "technical page" : "main page");
        editor.showTechnicalPage (technicalPage);
        pumpMessages (100);
        auto& background = technicalPage ? static_cast<juce::Component&> (editor.getTechnicalPanel())
                                         : static_cast<juce::Component&> (editor.getTitleLabel());
        auto* menu = open (editor, [&] { rightClick (editor, background); });
        ASSERT_NE (menu, nullptr);
        const auto titles = lineTitles (*menu);
        EXPECT_TRUE (titles.contains ("Zoom")) << titles.joinIntoString (" | ");
        EXPECT_TRUE (titles.contains ("MIDI")) << titles.joinIntoString (" | ");
        menu->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        pumpMessages (100);
    }

    auto* menu = open (editor, [&] { rightClick (editor, editor.getTitleLabel()); });
    ASSERT_NE (menu, nullptr);
    auto* midi = open (editor, [&] { chooseItem (*menu, "MIDI"); });
    ASSERT_NE (midi, nullptr);
    const auto midiLines = lineTitles (*midi);
    EXPECT_TRUE (midiLines.contains ("Pitch-bend range")) << midiLines.joinIntoString (" | ");
    EXPECT_TRUE (midiLines.contains ("Follow the controller's MPE set-up")) << midiLines.joinIntoString (" | ");
    EXPECT_TRUE (midiLines.contains ("Tuning")) << midiLines.joinIntoString (" | ");
    gribb::test::saveScreenshot (editor, midi, "window-midi-menu.png");

    auto* ranges = open (editor, [&] { chooseItem (*midi, "Pitch-bend range"); });
    ASSERT_NE (ranges, nullptr);
    gribb::test::saveScreenshot (editor, ranges, "window-bend-range-menu.png");
    ASSERT_TRUE (chooseItem (*ranges, MidiSettingsMenu::describeRange (2.0f)));
    EXPECT_TRUE (pumpUntil ([&] { return juce::exactlyEqual (processor.pitchSettings.getBendRange(), 2.0f); }));

    menu = open (editor, [&] { rightClick (editor, editor.getTitleLabel()); });
    ASSERT_NE (menu, nullptr);
    midi = open (editor, [&] { chooseItem (*menu, "MIDI"); });
    ASSERT_NE (midi, nullptr);
    auto* tuning = open (editor, [&] { chooseItem (*midi, "Tuning"); });
    ASSERT_NE (tuning, nullptr);
    const auto tuningLines = lineTitles (*tuning);
    EXPECT_TRUE (tuningLines.contains (juce::String::fromUTF8 ("Load scale (.scl)\xe2\x80\xa6"))) << tuningLines.joinIntoString (" | ");
    EXPECT_TRUE (tuningLines.contains (juce::String::fromUTF8 ("Load keyboard mapping (.kbm)\xe2\x80\xa6"))) << tuningLines.joinIntoString (" | ");
    EXPECT_TRUE (tuningLines.contains ("Standard tuning (12-TET, A4 = 440 Hz)")) << tuningLines.joinIntoString (" | ");
    gribb::test::saveScreenshot (editor, tuning, "window-tuning-menu.png");
    tuning->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    pumpMessages (100);
}

TEST (WindowMenuOnDisplay, AZoomChosenInTheMenuIsAppliedRememberedAndTickedAndTheMenusGrowWithIt)
{
    WindowOnDesktop window;
    ASSERT_TRUE (window.editor.isShowing());
    auto& editor = window.editor;
    ASSERT_DOUBLE_EQ (editor.getZoom(), 1.0);

    const auto openZoomMenu = [&]() -> juce::Component*
    {
        auto* menu = open (editor, [&] { rightClick (editor, editor.getTitleLabel()); });
        return menu != nullptr ? open (editor, [&] { chooseItem (*menu, "Zoom"); }) : nullptr;
    };

    auto* zoomMenu = openZoomMenu();
    ASSERT_NE (zoomMenu, nullptr);
    EXPECT_EQ (lineTitles (*zoomMenu).joinIntoString (" | "), "100 % | 125 % | 150 % | 175 % | 200 % | 250 % | 300 %");
    EXPECT_EQ (tickedItems (*zoomMenu), juce::StringArray ("100 %"));
    const auto heightAt100 = zoomMenu->getScreenBounds().getHeight();
    ASSERT_TRUE (chooseItem (*zoomMenu, "200 %"));
    ASSERT_TRUE (pumpUntil ([&] { return juce::exactlyEqual (editor.getZoom(), 2.0); }));
    EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 200);
    pumpMessages (200);
    EXPECT_EQ (editor.getScreenBounds().getWidth(), 1240);
    EXPECT_EQ (editor.getScreenBounds().getHeight(), 1120);

    zoomMenu = openZoomMenu();
    ASSERT_NE (zoomMenu, nullptr);
    EXPECT_EQ (tickedItems (*zoomMenu), juce::StringArray ("200 %"));
    // The menu is drawn at the window's zoom: twice as tall on the screen.
    EXPECT_NEAR (zoomMenu->getScreenBounds().getHeight(), 2 * heightAt100, 4);
    gribb::test::saveScreenshot (editor, zoomMenu, "window-zoom-menu-200.png");
    ASSERT_TRUE (chooseItem (*zoomMenu, "100 %"));
    EXPECT_TRUE (pumpUntil ([&] { return juce::exactlyEqual (editor.getZoom(), 1.0); }));
    EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 100);
}
