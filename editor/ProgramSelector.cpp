#include "editor/ProgramSelector.h"

ProgramSelector::ProgramSelector()
{
    // Changes that do not come from the menu: the arrow keys and the mouse wheel.
    onChange = [this]
    {
        if (onChoose != nullptr && getSelectedId() != 0)
            onChoose (getSelectedId());
    };
}

void ProgramSelector::showPopup()
{
    // ComboBox's own menu, with the shown item ticked; only the way its result is taken differs.
    auto menu = *getRootMenu();
    const auto shown = getSelectedId();

    for (juce::PopupMenu::MenuItemIterator item (menu, true); item.next();)
        if (item.getItem().itemID != 0)
            item.getItem().isTicked = item.getItem().itemID == shown;

    if (extendMenu != nullptr)
        extendMenu (menu);

    juce::Label* text = nullptr;
    for (auto* child : getChildren())
        if ((text = dynamic_cast<juce::Label*> (child)) != nullptr)
            break;

    auto& look = getLookAndFeel();
    const auto options = text != nullptr ? look.getOptionsForComboBoxPopupMenu (*this, *text)
                                         : juce::PopupMenu::Options().withTargetComponent (this);

    menu.setLookAndFeel (&look);
    menu.showMenuAsync (options, [safe = juce::Component::SafePointer<ProgramSelector> (this)] (int result)
    {
        if (safe != nullptr)
            safe->menuFinished (result);
    });
}

void ProgramSelector::menuFinished (int result)
{
    hidePopup();

    if (result == 0)
        return;

    if (indexOfItemId (result) < 0)
    {
        if (onOtherItem != nullptr)
            onOtherItem (result);
        return;
    }

    setSelectedId (result, juce::dontSendNotification);

    if (onChoose != nullptr)
        onChoose (result);
}
