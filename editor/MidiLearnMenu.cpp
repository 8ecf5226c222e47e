#include "editor/MidiLearnMenu.h"

namespace MidiLearnMenu
{
juce::String refusedLine()
{
    // Runs of three or more neighbouring numbers are written as ranges: "98-102".
    const auto refused = gribb::MidiLearn::refusedControllers();
    juce::StringArray parts;
    for (size_t i = 0; i < refused.size();)
    {
        size_t last = i;
        while (last + 1 < refused.size() && refused[last + 1] == refused[last] + 1)
            ++last;
        if (last >= i + 2)
            parts.add (juce::String (refused[i]) + juce::String::fromUTF8 ("\xe2\x80\x93") + juce::String (refused[last]));
        else
            for (size_t k = i; k <= last; ++k)
                parts.add (juce::String (refused[k]));
        i = last + 1;
    }
    return "Not learnable: CC " + parts.joinIntoString (", ") + " (pedals, MPE and RPN)";
}

juce::PopupMenu build (const gribb::MidiLearn& learn, int target)
{
    juce::PopupMenu menu;
    menu.addSectionHeader (gribb::MidiLearn::targetName (target));

    const bool waiting = learn.learningTarget() == target;
    if (waiting)
        menu.addItem (stopLearningItem, juce::String::fromUTF8 ("Stop learning (move a controller\xe2\x80\xa6)"));
    else
        menu.addItem (learnItem, "MIDI Learn");

    const auto binding = learn.bindingOf (target);
    if (binding.isBound())
    {
        menu.addItem (juce::PopupMenu::Item (gribb::MidiLearn::describe (binding)).setEnabled (false));
        menu.addItem (forgetItem, "Forget MIDI");
    }

    if (const int refused = learn.lastRefusedController(); waiting && refused >= 0)
        menu.addItem (juce::PopupMenu::Item ("CC " + juce::String (refused) + " refused: "
                                             + gribb::MidiLearn::whyNotLearnable (refused))
                          .setEnabled (false));

    menu.addSeparator();
    menu.addItem (juce::PopupMenu::Item (refusedLine()).setEnabled (false));
    return menu;
}

void handle (gribb::MidiLearn& learn, int target, int itemId)
{
    switch (itemId)
    {
        case learnItem:        learn.startLearning (target); break;
        case stopLearningItem: learn.stopLearning(); break;
        case forgetItem:       learn.forget (target); break;
        default:               break;
    }
}

void show (gribb::MidiLearn& learn, int target, juce::Component& control)
{
    auto menu = build (learn, target);
    menu.setLookAndFeel (&control.getLookAndFeel());
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&control),
                        [&learn, target, safe = juce::Component::SafePointer<juce::Component> (&control)] (int itemId)
                        {
                            // The processor outlives its window; a closed window chooses nothing.
                            if (safe != nullptr)
                                handle (learn, target, itemId);
                        });
}
} // namespace MidiLearnMenu
