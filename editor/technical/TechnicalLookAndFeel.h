#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The technical page's knob style: a thin track with a cyan value arc, a dark body with a faint
    cyan ring and a short pointer bar; it also colours the knobs' value boxes. */
class TechnicalLookAndFeel : public juce::LookAndFeel_V4
{
public:
    TechnicalLookAndFeel();
    ~TechnicalLookAndFeel() override = default;

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;
};
