#pragma once

#include <juce_graphics/juce_graphics.h>

class GribbTazoAudioProcessor;
class GribbTazoAudioProcessorEditor;

namespace gribb::pictures
{
/** The main page at its default size, with the chicken showing the frame for roastLevel. */
juce::Image snapshotMainPage (GribbTazoAudioProcessor& processor, GribbTazoAudioProcessorEditor& editor, float roastLevel);

/** The technical page at its default size. */
juce::Image snapshotTechnicalPage (GribbTazoAudioProcessorEditor& editor);

/** The CRUSH knob drawn at knob positions 0, 0.5 and 1, side by side with captions. */
juce::Image snapshotMacroKnobPositions (GribbTazoAudioProcessorEditor& editor);
} // namespace gribb::pictures
