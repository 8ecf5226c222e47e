#include "MacroMapPlot.h"

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace gribb::pictures
{
namespace
{
const juce::Colour background (0xff2b2933); // the cabinet panel
const juce::Colour grid (0x33ffffff);
const juce::Colour curve (0xffe23b3b);      // the arcade knob's red
const juce::Colour text (0xffffffff);
const juce::Colour dimText (0xb3ffffff);

constexpr int cellWidth = 210, cellHeight = 176, rowHeaderWidth = 92, margin = 12, steps = 100;

struct Macro
{
    const char* name;
    std::vector<const char*> targets;
    std::function<void (float)> apply;
};

float plainValue (GribbTazoAudioProcessor& processor, const juce::String& id)
{
    auto* parameter = processor.parameters.getParameter (id);
    return parameter != nullptr ? processor.parameters.getParameterRange (id).convertFrom0to1 (parameter->getValue()) : 0.0f;
}

juce::String format (float v)
{
    return std::abs (v - std::round (v)) < 0.005f ? juce::String (juce::roundToInt (v)) : juce::String (v, 2);
}

void drawGraph (juce::Graphics& g, juce::Rectangle<int> cell, const juce::String& title, const std::vector<float>& values)
{
    auto area = cell.reduced (8);
    g.setColour (text);
    g.setFont (juce::FontOptions (14.0f, juce::Font::bold));
    g.drawText (title, area.removeFromTop (20), juce::Justification::centredLeft);

    auto xLabels = area.removeFromBottom (16);
    auto yLabels = area.removeFromLeft (38);
    const auto plot = area.reduced (4, 6).toFloat();

    const auto [lowIt, highIt] = std::minmax_element (values.begin(), values.end());
    const float low = *lowIt, high = *highIt;
    const float span = high > low ? high - low : 1.0f;

    g.setColour (grid);
    g.drawRect (plot, 1.0f);
    for (int i = 1; i < 4; ++i)
        g.drawHorizontalLine (juce::roundToInt (plot.getY() + plot.getHeight() * (float) i / 4.0f), plot.getX(), plot.getRight());
    g.drawVerticalLine (juce::roundToInt (plot.getCentreX()), plot.getY(), plot.getBottom());

    g.setColour (dimText);
    g.setFont (juce::FontOptions (12.0f));
    g.drawText (format (high), yLabels.withHeight (14).withY (juce::roundToInt (plot.getY()) - 7), juce::Justification::centredRight);
    g.drawText (format (low), yLabels.withHeight (14).withY (juce::roundToInt (plot.getBottom()) - 7), juce::Justification::centredRight);
    g.drawText ("0", xLabels.withX (juce::roundToInt (plot.getX()) - 10).withWidth (20), juce::Justification::centred);
    g.drawText ("0.5", xLabels.withX (juce::roundToInt (plot.getCentreX()) - 14).withWidth (28), juce::Justification::centred);
    g.drawText ("1", xLabels.withX (juce::roundToInt (plot.getRight()) - 10).withWidth (20), juce::Justification::centred);

    juce::Path path;
    for (size_t i = 0; i < values.size(); ++i)
    {
        const auto x = plot.getX() + plot.getWidth() * (float) i / (float) (values.size() - 1);
        const auto y = plot.getBottom() - plot.getHeight() * (values[i] - low) / span;
        if (i == 0)
            path.startNewSubPath (x, y);
        else
            path.lineTo (x, y);
    }
    g.setColour (curve);
    g.strokePath (path, juce::PathStrokeType (3.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
}
} // namespace

juce::Image plotMacroMaps (GribbTazoAudioProcessor& processor, GribbTazoAudioProcessorEditor& editor)
{
    const std::vector<Macro> macros {
        { "CRUSH", { "bitDepth", "drive", "hardClip" }, [&] (float x) { editor.applyCrush (x); } },
        { "WARP", { "lfoRate", "lfoToFm", "fmIndex", "lfoToCutoff" }, [&] (float x) { editor.applyWarp (x); } },
    };

    size_t columns = 0;
    for (const auto& m : macros)
        columns = std::max (columns, m.targets.size());

    const int width = rowHeaderWidth + (int) columns * cellWidth + 2 * margin;
    const int height = (int) macros.size() * cellHeight + 2 * margin + 22;
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (background);

    g.setColour (dimText);
    g.setFont (juce::FontOptions (13.0f));
    g.drawText ("knob position (0 to 1) across, the parameter's value up", juce::Rectangle<int> (margin, height - margin - 18, width - 2 * margin, 18),
                juce::Justification::centredRight);

    for (size_t row = 0; row < macros.size(); ++row)
    {
        const auto& macro = macros[row];
        std::vector<std::vector<float>> series (macro.targets.size());
        for (int step = 0; step <= steps; ++step)
        {
            macro.apply ((float) step / (float) steps);
            for (size_t t = 0; t < macro.targets.size(); ++t)
                series[t].push_back (plainValue (processor, macro.targets[t]));
        }
        macro.apply (0.0f);

        const int top = margin + (int) row * cellHeight;
        g.setColour (text);
        g.setFont (juce::FontOptions (20.0f, juce::Font::bold));
        g.drawText (macro.name, juce::Rectangle<int> (margin, top, rowHeaderWidth, cellHeight), juce::Justification::centredLeft);

        for (size_t t = 0; t < macro.targets.size(); ++t)
        {
            auto* parameter = processor.parameters.getParameter (macro.targets[t]);
            const auto title = parameter != nullptr ? parameter->getName (40) : juce::String (macro.targets[t]);
            drawGraph (g, { margin + rowHeaderWidth + (int) t * cellWidth, top, cellWidth, cellHeight }, title, series[t]);
        }
    }
    return image;
}
} // namespace gribb::pictures
