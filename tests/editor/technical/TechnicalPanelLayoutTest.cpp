// Bounds of every placed control of the technical panel, at its default size and at sizes too
// short or too narrow for it.
#include <gtest/gtest.h>

#include "processor/GribbTazoAudioProcessor.h"
#include "editor/technical/TechnicalPanel.h"
#include "support/BoundsCheck.h"

using gribb::test::expectBounds;
using Rect = juce::Rectangle<int>;

namespace
{
// Knob indices of the panel, in set-up order.
enum { PW, Ratio, Index, A, D, S, R, Unison, Cutoff, Reso, Drive, Clip, Bits, SRRed, Rate, ToCut, ToFm, Gain };

struct KnobRow
{
    std::vector<int> knobs;
    std::vector<int> cellX;
    int labelY, width, labelHeight, sliderHeight;
};

struct TechnicalCase
{
    const char* name;
    int width, height;
    Rect header, oscCaption, filterCaption, driveCaption, degradationCaption, lfoCaption, oscBox, lfoBox;
    std::vector<KnobRow> rows;
};

const TechnicalCase technicalCases[] = {
    { "default 980 x 640", 980, 640,
      { 16, 16, 948, 30 }, { 16, 52, 948, 18 }, { 16, 262, 948, 18 }, { 16, 376, 474, 18 }, { 490, 376, 474, 18 },
      { 16, 490, 948, 18 }, { 21, 105, 110, 26 }, { 21, 543, 110, 26 },
      { { { PW, Ratio, Index, Unison }, { 140, 347, 554, 761 }, 74, 199, 14, 74 },
        { { A, D, S, R }, { 20, 257, 494, 731 }, 170, 229, 14, 74 },
        { { Cutoff, Reso }, { 20, 494 }, 284, 466, 14, 74 },
        { { Drive, Clip, Bits, SRRed }, { 20, 257, 494, 731 }, 398, 229, 14, 74 },
        { { Rate, ToCut, ToFm, Gain }, { 140, 347, 554, 761 }, 512, 199, 14, 74 } } },

    // Too short: the shaping row keeps 20 px, the LFO caption and row get nothing, and the LFO box
    // keeps its size, centred on its empty row.
    { "short 658 x 430", 658, 430,
      { 16, 16, 626, 30 }, { 16, 52, 626, 18 }, { 16, 262, 626, 18 }, { 16, 376, 313, 18 }, { 329, 376, 313, 18 },
      { 16, 414, 626, 0 }, { 21, 105, 110, 26 }, { 21, 401, 110, 26 },
      { { { PW, Ratio, Index, Unison }, { 140, 266, 392, 518 }, 74, 118, 14, 74 },
        { { A, D, S, R }, { 20, 176, 332, 488 }, 170, 148, 14, 74 },
        { { Cutoff, Reso }, { 20, 333 }, 284, 305, 14, 74 },
        { { Drive, Clip }, { 20, 176 }, 398, 148, 12, 0 },
        { { Bits, SRRed }, { 333, 489 }, 398, 148, 12, 0 },
        { { Rate, ToCut, ToFm, Gain }, { 140, 266, 392, 518 }, 418, 118, 0, 0 } } },

    // Content width 98: the boxes keep 110 px and start left of the margin; the rest of the
    // oscillator and LFO rows has no width; 98 / 4 leaves 2 px empty at the right of the envelope row.
    { "narrow 130 x 640", 130, 640,
      { 16, 16, 98, 30 }, { 16, 52, 98, 18 }, { 16, 262, 98, 18 }, { 16, 376, 49, 18 }, { 65, 376, 49, 18 },
      { 16, 490, 98, 18 }, { 10, 105, 110, 26 }, { 10, 543, 110, 26 },
      { { { PW, Ratio, Index, Unison }, { 118, 118, 118, 118 }, 74, 0, 14, 74 },
        { { A, D, S, R }, { 20, 44, 68, 92 }, 170, 16, 14, 74 },
        { { Cutoff, Reso }, { 20, 69 }, 284, 41, 14, 74 },
        { { Drive, Clip }, { 20, 44 }, 398, 16, 14, 74 },
        { { Bits, SRRed }, { 69, 93 }, 398, 16, 14, 74 },
        { { Rate, ToCut, ToFm, Gain }, { 118, 118, 118, 118 }, 512, 0, 14, 74 } } },
};
} // namespace

TEST (EditorLayout, TechnicalPanelBoundsTables)
{
    GribbTazoAudioProcessor processor;

    for (const auto& c : technicalCases)
    {
        SCOPED_TRACE (c.name);
        TechnicalPanel panel (processor);
        panel.setSize (c.width, c.height);

        expectBounds (panel.getHeaderLabel(), { "header", c.header });
        expectBounds (panel.getSectionLabel (0), { "OSCILLATOR", c.oscCaption });
        expectBounds (panel.getSectionLabel (1), { "ZDF FILTER", c.filterCaption });
        expectBounds (panel.getSectionLabel (2), { "DRIVE / CLIP", c.driveCaption });
        expectBounds (panel.getSectionLabel (3), { "DEGRADATION", c.degradationCaption });
        expectBounds (panel.getSectionLabel (4), { "LFO MATRIX", c.lfoCaption });
        expectBounds (panel.getOscTypeBox(), { "oscillator-type box", c.oscBox });
        expectBounds (panel.getLfoShapeBox(), { "LFO-shape box", c.lfoBox });

        for (const auto& row : c.rows)
        {
            for (size_t i = 0; i < row.knobs.size(); ++i)
            {
                auto& knob = panel.getKnob (row.knobs[i]);
                const auto name = knob.label.getText().toStdString();
                expectBounds (knob.label, { name.c_str(), { row.cellX[i], row.labelY, row.width, row.labelHeight } });
                expectBounds (knob.slider, { name.c_str(), { row.cellX[i], row.labelY + row.labelHeight, row.width,
                                                             row.sliderHeight } });
            }
        }
    }
}

TEST (EditorLayout, TechnicalPanelChildrenDoNotOverlapAtFullHeight)
{
    GribbTazoAudioProcessor processor;
    TechnicalPanel panel (processor);
    panel.setSize (980, 640);

    for (int i = 0; i < panel.getNumChildComponents(); ++i)
        for (int j = i + 1; j < panel.getNumChildComponents(); ++j)
        {
            const auto a = panel.getChildComponent (i)->getBounds();
            const auto b = panel.getChildComponent (j)->getBounds();
            EXPECT_FALSE (a.intersects (b)) << a.toString() << " overlaps " << b.toString();
        }
}
