#pragma once

#include <functional>

#include <juce_gui_basics/juce_gui_basics.h>

/** The factory-program selector on the main page. A plain ComboBox reports only a change of
    item, so choosing the program it already shows would do nothing; this one reports every
    choice made in its menu, the shown item included, as well as changes made with the keyboard
    or the mouse wheel. It looks and behaves like JUCE's ComboBox otherwise. */
class ProgramSelector : public juce::ComboBox
{
public:
    ProgramSelector();

    /** Called with the chosen item's ID. */
    std::function<void (int itemId)> onChoose;

    /** Adds items of another kind below the box's own, each time the menu opens. */
    std::function<void (juce::PopupMenu& menu)> extendMenu;
    /** Called, instead of onChoose, for a chosen item that extendMenu added; the box keeps what
        it shows. */
    std::function<void (int itemId)> onOtherItem;

    void showPopup() override;

    /** What the menu does when it closes: shows the chosen item and reports the choice (0 means
        the menu was dismissed without a choice). */
    void menuFinished (int result);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramSelector)
};
