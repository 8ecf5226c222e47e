#pragma once

// The plug-in's popup menus on a display, as the window tests find, read and answer them.

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace gribb::test
{
/** The menu window: in a plug-in, JUCE opens menus inside the plug-in's window, as a child that
    was not there before; on a desktop, as a window of its own. */
inline juce::Component* findMenuWindow (juce::Component& editor, const juce::Array<juce::Component*>& before)
{
    for (auto* child : editor.getChildren())
        if (! before.contains (child) && child->isShowing())
            return child;

    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != &editor && c->isShowing())
            return c;
    return nullptr;
}

/** A right click on the middle of a part of the window, pressed and released through the
    window's peer as the mouse's would be. */
inline void rightClick (juce::Component& window, juce::Component& part)
{
    auto* peer = window.getPeer();
    if (peer == nullptr)
    {
        ADD_FAILURE() << "the window is not on the desktop";
        return;
    }
    const auto at = window.getLocalPoint (&part, part.getLocalBounds().getCentre()).toFloat();
    const auto now = juce::Time::currentTimeMillis();
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at,
                            juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier),
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, now);
    peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys(),
                            juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation, now + 20);
}

/** The menu's items, in order, as a screen reader sees them. */
inline void collectItems (juce::Component& c, juce::Array<juce::Component*>& items)
{
    for (auto* child : c.getChildren())
    {
        if (auto* handler = child->getAccessibilityHandler(); handler != nullptr && handler->getRole() == juce::AccessibilityRole::menuItem)
            items.add (child);
        collectItems (*child, items);
    }
}

inline juce::StringArray itemTitles (juce::Component& menu)
{
    juce::Array<juce::Component*> items;
    collectItems (menu, items);
    juce::StringArray titles;
    for (auto* item : items)
        titles.add (item->getAccessibilityHandler()->getTitle());
    return titles;
}

/** Every line of the menu with text, in order: the items, the section headers and the lines that
    cannot be chosen (which a screen reader passes over). */
inline void collectLines (juce::Component& c, juce::StringArray& lines)
{
    for (auto* child : c.getChildren())
    {
        if (auto* handler = child->getAccessibilityHandler(); handler != nullptr
            && (handler->getRole() == juce::AccessibilityRole::menuItem || handler->getRole() == juce::AccessibilityRole::ignored)
            && handler->getTitle().isNotEmpty())
            lines.add (handler->getTitle());
        collectLines (*child, lines);
    }
}

inline juce::StringArray lineTitles (juce::Component& menu)
{
    juce::StringArray lines;
    collectLines (menu, lines);
    return lines;
}

/** Chooses an item as a click (or a screen reader) does. */
inline bool chooseItem (juce::Component& menu, const juce::String& title)
{
    juce::Array<juce::Component*> items;
    collectItems (menu, items);
    for (auto* item : items)
        if (auto* handler = item->getAccessibilityHandler(); handler->getTitle() == title)
            return handler->getActions().invoke (juce::AccessibilityActionType::press);
    return false;
}

inline juce::File screenshotFolder()
{
    return juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("screenshots");
}

/** The editor with the open menu drawn where it lies on the screen. */
inline void saveScreenshot (juce::Component& editor, juce::Component* menu, const juce::String& name)
{
    auto image = editor.createComponentSnapshot (editor.getLocalBounds());
    if (menu != nullptr)
    {
        const auto menuImage = menu->createComponentSnapshot (menu->getLocalBounds());
        const auto at = editor.getLocalPoint (menu, juce::Point<int>());
        const auto area = juce::Rectangle<int> (juce::jmin (0, at.x), juce::jmin (0, at.y), 0, 0)
                              .getUnion (editor.getLocalBounds())
                              .getUnion (menuImage.getBounds() + at);
        juce::Image both (juce::Image::ARGB, area.getWidth(), area.getHeight(), true);
        juce::Graphics g (both);
        g.fillAll (juce::Colours::black);
        g.drawImageAt (image, -area.getX(), -area.getY());
        g.drawImageAt (menuImage, at.x - area.getX(), at.y - area.getY());
        image = both;
    }
    screenshotFolder().createDirectory();
    juce::FileOutputStream out (screenshotFolder().getChildFile (name));
    out.setPosition (0);
    out.truncate();
    juce::PNGImageFormat().writeImageToStream (image, out);
}

} // namespace gribb::test
