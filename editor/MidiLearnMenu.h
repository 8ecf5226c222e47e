#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "processor/MidiLearn.h"

/** The right-click menu of a control that a MIDI controller can be learned to. Under the control's
    name it offers "MIDI Learn" (or "Stop learning" while the control waits for a controller),
    shows the bound controller ("CC 21 (ch any)") with "Forget MIDI", says why a controller moved
    while learning was refused, and lists the controllers that can never be learned. */
namespace MidiLearnMenu
{
enum ItemId
{
    learnItem = 1,
    stopLearningItem,
    forgetItem
};

juce::PopupMenu build (const gribb::MidiLearn& learn, int target);

/** What choosing an item does; 0 (the menu closed without a choice) does nothing. */
void handle (gribb::MidiLearn& learn, int target, int itemId);

/** Opens the menu at the control, asynchronously; the choice is handled when the menu closes. */
void show (gribb::MidiLearn& learn, int target, juce::Component& control);

/** The line that lists the controllers that are never learned. */
juce::String refusedLine();
} // namespace MidiLearnMenu
