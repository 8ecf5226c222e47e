#pragma once

#include <functional>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

/** The window's own menu, opened by a right click (or any popup-menu click) on the window's
    background on either page: the cabinet, the title and captions, the chicken, the technical
    page's grid. Controls with a menu of their own (knobs, boxes, buttons) keep theirs.

    The menu is a list of submenus, each added by one call to addSubMenu; the window adds "Zoom",
    and another part of the window adds its own submenu the same way:

        windowMenu.addSubMenu ("MIDI", [this] (juce::PopupMenu& menu) { ... fill it ... },
                               [this] (int itemId) { ... act on one of its items ... });

    The fill function runs each time the menu opens, so the submenu shows the state of that moment.
    Its items may carry actions of their own (PopupMenu::addItem with a function), or item IDs
    from 1 to 9999, which the result function receives as they were given (the menu keeps the
    submenus' IDs apart by itself). */
class WindowMenu : private juce::MouseListener
{
public:
    using Fill = std::function<void (juce::PopupMenu& subMenu)>;
    using Result = std::function<void (int itemId)>;

    /** Listens to right clicks on the window and its children; isBackground says which of them
        count as the background. */
    WindowMenu (juce::Component& window, std::function<bool (const juce::Component&)> isBackground);
    ~WindowMenu() override;

    void addSubMenu (const juce::String& name, Fill fill, Result onResult = {});

    /** The whole menu as it would open now. */
    juce::PopupMenu build();
    /** What choosing an item of build()'s menu does (0: nothing was chosen). */
    void handle (int menuItemId);
    /** Opens the menu at the mouse, asynchronously. */
    void show();

    static constexpr int idsPerSubMenu = 10000;

private:
    void mouseDown (const juce::MouseEvent& e) override;

    struct SubMenu
    {
        juce::String name;
        Fill fill;
        Result onResult;
    };

    juce::Component& window;
    std::function<bool (const juce::Component&)> isBackground;
    std::vector<SubMenu> subMenus;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (WindowMenu)
};
