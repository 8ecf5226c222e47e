#include "editor/technical/TechnicalPanel.h"

#include "editor/MidiLearnMenu.h"
#include "processor/GribbTazoAudioProcessor.h"

namespace
{
struct KnobSpec
{
    const char* name;
    const char* parameterID;
};

// Set-up order; the layout places them by row below.
const KnobSpec knobSpecs[TechnicalPanel::numKnobs] = {
    { "PW", "pulseWidth" },  { "Ratio", "fmRatio" },      { "Index", "fmIndex" },     { "A", "attack" },
    { "D", "decay" },        { "S", "sustain" },          { "R", "release" },         { "Unison", "unison" },
    { "Cutoff", "cutoff" },  { "Reso", "resonance" },     { "Drive", "drive" },       { "Clip", "hardClip" },
    { "Bits", "bitDepth" },  { "SR Red", "srReduce" },    { "Rate", "lfoRate" },      { "->Cut", "lfoToCutoff" },
    { "->FM", "lfoToFm" },   { "Gain", "outputGain" },
};

const char* const sectionTexts[] = { "OSCILLATOR", "ZDF FILTER", "DRIVE / CLIP (OVERSAMPLED)", "DEGRADATION",
                                     "LFO MATRIX" };

enum Section { oscillatorCaption, filterCaption, driveCaption, degradationCaption, lfoCaption };

constexpr int rowHeight = 96;
constexpr int captionHeight = 18;
constexpr int boxColumnWidth = 120;
constexpr int gridSpacing = 28;

/** Cuts min (n, what is left) px from the top of the area. */
juce::Rectangle<int> takeTop (juce::Rectangle<int>& area, int n)
{
    return area.removeFromTop (juce::jmin (n, area.getHeight()));
}

juce::Rectangle<int> takeLeft (juce::Rectangle<int>& area, int n)
{
    return area.removeFromLeft (juce::jmin (n, area.getWidth()));
}
} // namespace

template <typename Control>
void TechnicalPanel::offerMidiLearn (MidiLearnable<Control>& control, const juce::String& parameterID)
{
    const int target = gribb::parameterIndexOf (parameterID.toStdString());
    control.onLearnMenu = [this, &control, target] { MidiLearnMenu::show (processorRef.midiLearn, target, control); };
}

TechnicalPanel::TechnicalPanel (GribbTazoAudioProcessor& p)
    : processorRef (p)
{
    headerLabel.setText ("GRIBB TAZO // UNDER THE HOOD", juce::dontSendNotification);
    headerLabel.setFont (juce::FontOptions (18.0f, juce::Font::bold));
    headerLabel.setColour (juce::Label::textColourId, juce::Colour (0xffffffff));
    addAndMakeVisible (headerLabel);

    for (size_t i = 0; i < sectionLabels.size(); ++i)
        styleSectionLabel (sectionLabels[i], sectionTexts[i]);
    for (auto& label : sectionLabels)
        addAndMakeVisible (label);

    auto& state = processorRef.parameters;

    oscTypeBox.addItemList ({ "Square", "Triangle", "FM" }, 1);
    addAndMakeVisible (oscTypeBox);
    oscTypeAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (state, "oscType",
                                                                                                   oscTypeBox);

    lfoShapeBox.addItemList ({ "Sine", "Triangle", "Square", "Random" }, 1);
    addAndMakeVisible (lfoShapeBox);
    lfoShapeAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (state, "lfoShape",
                                                                                                    lfoShapeBox);

    for (size_t i = 0; i < knobs.size(); ++i)
        setupKnob (knobs[i], knobSpecs[i].parameterID, knobSpecs[i].name);

    offerMidiLearn (oscTypeBox, "oscType");
    offerMidiLearn (lfoShapeBox, "lfoShape");
    for (size_t i = 0; i < knobs.size(); ++i)
        offerMidiLearn (knobs[i].slider, knobSpecs[i].parameterID);
}


void TechnicalPanel::setupKnob (Knob& knob, const juce::String& parameterID, const juce::String& name)
{
    knob.slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    knob.slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 60, 14);
    knob.slider.setLookAndFeel (&lookAndFeel);
    addAndMakeVisible (knob.slider);

    knob.label.setText (name, juce::dontSendNotification);
    knob.label.setJustificationType (juce::Justification::centred);
    knob.label.setFont (juce::FontOptions (11.0f, juce::Font::plain));
    addAndMakeVisible (knob.label);

    knob.attachment.reset();
    knob.attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (
        processorRef.parameters, parameterID, knob.slider);
}

void TechnicalPanel::styleSectionLabel (juce::Label& label, const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (juce::FontOptions (14.0f, juce::Font::bold));
    label.setColour (juce::Label::textColourId, juce::Colour (0xff35d0ff));
}

void TechnicalPanel::layoutKnobRow (juce::Rectangle<int> area, std::vector<Knob*> row)
{
    if (row.empty())
        return;

    const auto cellWidth = area.getWidth() / (int) row.size();

    for (auto* knob : row)
    {
        auto cell = takeLeft (area, cellWidth).reduced (4);
        knob->label.setBounds (cell.removeFromTop (juce::jmin (14, cell.getHeight())));
        knob->slider.setBounds (cell);
    }
}

void TechnicalPanel::resized()
{
    auto area = getLocalBounds().reduced (16);
    const auto contentWidth = area.getWidth();

    // The selector boxes keep 110 x 26, centred in the row's left column even where it is smaller.
    auto placeBox = [] (juce::ComboBox& box, juce::Rectangle<int> column)
    { box.setBounds (column.withSizeKeepingCentre (110, 26)); };

    auto knobsAt = [this] (std::initializer_list<int> indices)
    {
        std::vector<Knob*> row;
        for (auto i : indices)
            row.push_back (&knobs[(size_t) i]);
        return row;
    };

    headerLabel.setBounds (takeTop (area, 30));
    takeTop (area, 6);

    sectionLabels[oscillatorCaption].setBounds (takeTop (area, captionHeight));
    auto oscillatorRow = takeTop (area, rowHeight);
    const auto columnWidth = juce::jmin (contentWidth, boxColumnWidth);
    placeBox (oscTypeBox, takeLeft (oscillatorRow, columnWidth));
    layoutKnobRow (oscillatorRow, knobsAt ({ 0, 1, 2, 7 }));

    layoutKnobRow (takeTop (area, rowHeight), knobsAt ({ 3, 4, 5, 6 }));

    sectionLabels[filterCaption].setBounds (takeTop (area, captionHeight));
    layoutKnobRow (takeTop (area, rowHeight), knobsAt ({ 8, 9 }));

    const auto half = contentWidth / 2;
    auto captionStrip = takeTop (area, captionHeight);
    sectionLabels[driveCaption].setBounds (takeLeft (captionStrip, half));
    sectionLabels[degradationCaption].setBounds (captionStrip);

    auto shapingRow = takeTop (area, rowHeight);
    layoutKnobRow (takeLeft (shapingRow, half), knobsAt ({ 10, 11 }));
    layoutKnobRow (shapingRow, knobsAt ({ 12, 13 }));

    sectionLabels[lfoCaption].setBounds (takeTop (area, captionHeight));
    auto lfoRow = takeTop (area, rowHeight);
    placeBox (lfoShapeBox, takeLeft (lfoRow, columnWidth));
    layoutKnobRow (lfoRow, knobsAt ({ 14, 15, 16, 17 }));
}

void TechnicalPanel::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff0d0f13));
    g.setColour (juce::Colour (0xff161a20));

    const auto w = getWidth();
    const auto h = getHeight();

    for (int x = 0; x < w; x += gridSpacing)
        g.drawVerticalLine (x, 0.0f, (float) h);
    for (int y = 0; y < h; y += gridSpacing)
        g.drawHorizontalLine (y, 0.0f, (float) w);
}
