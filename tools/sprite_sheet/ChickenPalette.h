#pragma once

#include "RoastFrameState.h"

#include <juce_graphics/juce_graphics.h>

namespace gribb::sprites
{
/** The colours of the chicken's parts at one doneness. */
struct ChickenPalette
{
    juce::Colour skin;       // body, head and wings
    juce::Colour outline;    // the contour around every part
    juce::Colour comb;       // comb and wattle
    juce::Colour beak;
    juce::Colour legs;
    juce::Colour eyeWhite;
    juce::Colour pupil;
    juce::Colour rimLight;   // the light edge that keeps a dark chicken readable on grey
};

ChickenPalette chickenPalette (Doneness doneness);

/** The flat grey behind the figure: about (0x7a, 0x7c, 0x7d), a step or two lighter or darker
    from frame to frame. */
juce::Colour backgroundColour (const RoastFrameState& state);
} // namespace gribb::sprites
