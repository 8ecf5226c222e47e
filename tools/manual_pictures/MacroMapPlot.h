#pragma once

#include <juce_graphics/juce_graphics.h>

class GribbTazoAudioProcessor;
class GribbTazoAudioProcessorEditor;

namespace gribb::pictures
{
/** Plots what the CRUSH and WARP knobs write: for each target parameter, its plain value over the
    knob's travel, measured by turning the editor's knob through 0..1 and reading the processor's
    parameters back. One row per knob, one small graph per target. */
juce::Image plotMacroMaps (GribbTazoAudioProcessor& processor, GribbTazoAudioProcessorEditor& editor);
} // namespace gribb::pictures
