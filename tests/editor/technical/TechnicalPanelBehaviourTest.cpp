// The technical panel's knobs and selectors: names, styles, child order and attachments that move
// controls and parameters both ways.
#include <gtest/gtest.h>

#include "processor/GribbTazoAudioProcessor.h"
#include "editor/technical/TechnicalPanel.h"
#include "support/MessagePump.h"
#include "support/ProcessorTestHelpers.h"

using gribb::test::plainValue;

TEST (TechnicalPanelTest, AttachmentsMoveControlsAndParametersBothWays)
{
    GribbTazoAudioProcessor processor;
    TechnicalPanel panel (processor);
    panel.setSize (980, 640);

    struct Case
    {
        int knob;
        const char* id;
        double value;
    };
    const Case cases[] = { { 0, "pulseWidth", 0.3 }, { 7, "unison", 12.5 }, { 8, "cutoff", 440.0 },
                           { 12, "bitDepth", 4.0 }, { 17, "outputGain", -12.0 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.id);
        auto& slider = panel.getKnob (c.knob).slider;
        EXPECT_NEAR (slider.getValue(), plainValue (processor, c.id), 1.0e-3);

        // Control to parameter: a drag-like change of the slider.
        slider.setValue (c.value, juce::sendNotificationSync);
        EXPECT_NEAR (plainValue (processor, c.id), c.value, 1.0e-3);

        // Parameter to control: the host sets the parameter; the attachment updates asynchronously.
        auto* parameter = processor.parameters.getParameter (c.id);
        parameter->setValueNotifyingHost (parameter->getDefaultValue());
        gribb::test::pumpMessages (50);
        EXPECT_NEAR (slider.getValue(), plainValue (processor, c.id), 1.0e-3);
        EXPECT_NE (slider.getValue(), c.value);
    }

    // Typing into a value box sets the parameter.
    auto& gain = panel.getKnob (17).slider;
    gain.setValue (-20.0, juce::sendNotificationSync);
    EXPECT_NEAR (plainValue (processor, "outputGain"), -20.0f, 1.0e-3f);
    EXPECT_TRUE (gain.getTextFromValue (gain.getValue()).contains ("-20"));

    // Selector boxes: items by choice order, both ways.
    auto& osc = panel.getOscTypeBox();
    osc.setSelectedId (3, juce::sendNotificationSync);
    EXPECT_EQ (plainValue (processor, "oscType"), 2.0f);
    EXPECT_EQ (osc.getText(), "FM");

    auto& lfo = panel.getLfoShapeBox();
    lfo.setSelectedId (4, juce::sendNotificationSync);
    EXPECT_EQ (plainValue (processor, "lfoShape"), 3.0f);
    EXPECT_EQ (lfo.getText(), "Random");

    processor.parameters.getParameter ("oscType")->setValueNotifyingHost (0.5f);
    gribb::test::pumpMessages (50);
    EXPECT_EQ (osc.getText(), "Triangle");
}

TEST (TechnicalPanelTest, KnobsNamesStylesAndChildOrder)
{
    GribbTazoAudioProcessor processor;
    TechnicalPanel panel (processor);

    const char* names[] = { "PW",     "Ratio", "Index", "A",    "D",    "S",     "R",    "Unison", "Cutoff",
                            "Reso",   "Drive", "Clip",  "Bits", "SR Red", "Rate", "->Cut", "->FM", "Gain" };
    const char* ids[] = { "pulseWidth", "fmRatio", "fmIndex",  "attack",   "decay",       "sustain",
                          "release",    "unison",  "cutoff",   "resonance", "drive",      "hardClip",
                          "bitDepth",   "srReduce", "lfoRate", "lfoToCutoff", "lfoToFm", "outputGain" };

    ASSERT_EQ (panel.getNumChildComponents(), 1 + 5 + 2 + 2 * TechnicalPanel::numKnobs);
    EXPECT_EQ (panel.getChildComponent (0), &panel.getHeaderLabel());
    EXPECT_EQ (panel.getHeaderLabel().getText(), "GRIBB TAZO // UNDER THE HOOD");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (panel.getChildComponent (1 + i), &panel.getSectionLabel (i));
    EXPECT_EQ (panel.getChildComponent (6), &panel.getOscTypeBox());
    EXPECT_EQ (panel.getChildComponent (7), &panel.getLfoShapeBox());

    for (int i = 0; i < TechnicalPanel::numKnobs; ++i)
    {
        SCOPED_TRACE (names[i]);
        auto& knob = panel.getKnob (i);
        EXPECT_EQ (panel.getChildComponent (8 + 2 * i), &knob.slider);
        EXPECT_EQ (panel.getChildComponent (9 + 2 * i), &knob.label);
        EXPECT_EQ (knob.label.getText(), names[i]);
        EXPECT_EQ (knob.slider.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
        EXPECT_EQ (knob.slider.getTextBoxPosition(), juce::Slider::TextBoxBelow);
        EXPECT_TRUE (knob.slider.isTextBoxEditable());
        EXPECT_EQ (knob.slider.getTextBoxWidth(), 60);
        EXPECT_EQ (knob.slider.getTextBoxHeight(), 14);
        EXPECT_NE (dynamic_cast<TechnicalLookAndFeel*> (&knob.slider.getLookAndFeel()), nullptr);

        // The knob follows its own parameter: its range is the parameter's.
        auto range = processor.parameters.getParameterRange (ids[i]);
        EXPECT_DOUBLE_EQ (knob.slider.getMinimum(), range.start);
        EXPECT_DOUBLE_EQ (knob.slider.getMaximum(), range.end);
    }
}
