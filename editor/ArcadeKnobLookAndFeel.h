#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Draws the main page's macro knobs as big red arcade buttons: a drop shadow, a top-lit red body,
    a faint light rim, a white pointer bar and a dark centre cap. Holds no state, so one instance
    serves both knobs. */
class ArcadeKnobLookAndFeel : public juce::LookAndFeel_V4
{
public:
    ArcadeKnobLookAndFeel();

    void drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPosProportional,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider) override;
};
