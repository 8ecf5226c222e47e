#pragma once

#include <functional>

#include <juce_gui_basics/juce_gui_basics.h>

/** A JUCE control whose right click (or any popup-menu click) calls onLearnMenu instead of what
    the control would do with it: a slider would start a drag, and with it a change gesture, that
    an open menu would keep from ending, and two right clicks in a row would reset it to its
    default as a double click does. Every other click, drag and key works as in the control. */
template <typename Control>
class MidiLearnable : public Control
{
public:
    using Control::Control;

    std::function<void()> onLearnMenu;

    void mouseDown (const juce::MouseEvent& e) override
    {
        menuClick = e.mods.isPopupMenu() && onLearnMenu != nullptr;
        if (menuClick)
            onLearnMenu();
        else
            Control::mouseDown (e);
    }

    void mouseDrag (const juce::MouseEvent& e) override
    {
        if (! menuClick)
            Control::mouseDrag (e);
    }

    void mouseDoubleClick (const juce::MouseEvent& e) override
    {
        if (! (e.mods.isPopupMenu() && onLearnMenu != nullptr))
            Control::mouseDoubleClick (e);
    }

    void mouseUp (const juce::MouseEvent& e) override
    {
        if (! menuClick)
            Control::mouseUp (e);
        menuClick = false;
    }

private:
    bool menuClick = false;
};

using LearnableSlider = MidiLearnable<juce::Slider>;
using LearnableComboBox = MidiLearnable<juce::ComboBox>;
