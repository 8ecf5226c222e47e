#include "editor/WindowMenu.h"

namespace
{
/** Moves every item ID of a menu and its submenus by an offset; IDs outside 1..9999 are dropped
    (the item stays, without an ID), so that submenus can never answer for each other. */
void offsetIds (juce::PopupMenu& menu, int offset)
{
    for (juce::PopupMenu::MenuItemIterator item (menu, true); item.next();)
    {
        auto& id = item.getItem().itemID;
        if (id == 0)
            continue;
        id = (id > 0 && id < WindowMenu::idsPerSubMenu) ? id + offset : 0;
    }
}
} // namespace

WindowMenu::WindowMenu (juce::Component& parentWindow, std::function<bool (const juce::Component&)> background)
    : window (parentWindow), isBackground (std::move (background))
{
    window.addMouseListener (this, true);
}

WindowMenu::~WindowMenu()
{
    window.removeMouseListener (this);
}

void WindowMenu::addSubMenu (const juce::String& name, Fill fill, Result onResult)
{
    subMenus.push_back ({ name, std::move (fill), std::move (onResult) });
}

juce::PopupMenu WindowMenu::build()
{
    juce::PopupMenu menu;

    for (size_t i = 0; i < subMenus.size(); ++i)
    {
        juce::PopupMenu subMenu;
        if (subMenus[i].fill != nullptr)
            subMenus[i].fill (subMenu);

        offsetIds (subMenu, (int) (i + 1) * idsPerSubMenu);
        menu.addSubMenu (subMenus[i].name, subMenu);
    }

    return menu;
}

void WindowMenu::handle (int menuItemId)
{
    const auto index = menuItemId / idsPerSubMenu - 1;

    if (menuItemId <= 0 || index < 0 || index >= (int) subMenus.size())
        return;

    if (auto& onResult = subMenus[(size_t) index].onResult)
        onResult (menuItemId % idsPerSubMenu);
}

void WindowMenu::show()
{
    // Shown for the window, so that the menu takes the window's zoom.
    build().showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&window).withMousePosition(),
                           [this, alive = juce::Component::SafePointer<juce::Component> (&window)] (int result)
    {
        if (alive != nullptr)
            handle (result);
    });
}

void WindowMenu::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu() && e.originalComponent != nullptr && isBackground (*e.originalComponent))
        show();
}
