#include "editor/technical/TechnicalPanel.h"

#include "editor/MidiLearnMenu.h"
#include "processor/GribbTazoAudioProcessor.h"

namespace
{
using namespace gribb;

struct KnobSpec
{
    const char* name;
    ParamIndex parameter;
};

// Set-up order (TechnicalPanel::getKnob); the page's rows below place them.
const KnobSpec knobSpecs[TechnicalPanel::numKnobs] = {
    { "PW", pulseWidth },  { "Ratio", fmRatio },     { "Index", fmIndex },  { "A", attack },
    { "D", decay },        { "S", sustain },         { "R", release },      { "Unison", unison },
    { "Cutoff", cutoff },  { "Reso", resonance },    { "Drive", drive },    { "Clip", hardClip },
    { "Bits", bitDepth },  { "SR Red", srReduce },   { "Rate", lfoRate },   { "->Cut", lfoToCutoff },
    { "->FM", lfoToFm },   { "Gain", outputGain },
};

const char* const sectionTexts[] = { "OSCILLATOR", "ZDF FILTER", "DRIVE / CLIP (OVERSAMPLED)", "DEGRADATION",
                                     "LFO MATRIX" };

enum Section { noCaption = -1, oscillatorCaption, filterCaption, driveCaption, degradationCaption, lfoCaption };

constexpr int noBox = -1;

/** One row of the page, top to bottom: a caption above it (or one over each half, for a row split
    in two), a selector box in its left column, and its knobs by parameter, left to right. A split
    row lays its first `leftKnobs` knobs in its left half and the rest in its right half. */
struct PageRow
{
    Section caption;
    Section rightCaption;
    int box; // the box's choice parameter, or noBox
    std::array<ParamIndex, 4> knobs;
    int numKnobs;
    int leftKnobs; // 0: the row is not split
};

const PageRow pageRows[] = {
    { oscillatorCaption, noCaption, oscType, { pulseWidth, fmRatio, fmIndex, unison }, 4, 0 },
    { noCaption, noCaption, noBox, { attack, decay, sustain, release }, 4, 0 },
    { filterCaption, noCaption, noBox, { cutoff, resonance }, 2, 0 },
    { driveCaption, degradationCaption, noBox, { drive, hardClip, bitDepth, srReduce }, 4, 2 },
    { lfoCaption, noCaption, lfoShape, { lfoRate, lfoToCutoff, lfoToFm, outputGain }, 4, 0 },
};

/** A choice parameter's choices as the parameter table names them. */
juce::StringArray choicesOf (ParamIndex parameter)
{
    juce::StringArray choices;
    for (const auto* choice : parameterTable[(size_t) parameter].choices)
        if (choice != nullptr)
            choices.add (choice);
    return choices;
}

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
void TechnicalPanel::offerMidiLearn (MidiLearnable<Control>& control, int target)
{
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

    oscTypeBox.addItemList (choicesOf (gribb::oscType), 1);
    addAndMakeVisible (oscTypeBox);
    oscTypeAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (
        state, gribb::parameterTable[gribb::oscType].id, oscTypeBox);

    lfoShapeBox.addItemList (choicesOf (gribb::lfoShape), 1);
    addAndMakeVisible (lfoShapeBox);
    lfoShapeAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ComboBoxAttachment> (
        state, gribb::parameterTable[gribb::lfoShape].id, lfoShapeBox);

    for (size_t i = 0; i < knobs.size(); ++i)
        setupKnob (knobs[i], gribb::parameterTable[(size_t) knobSpecs[i].parameter].id, knobSpecs[i].name);

    offerMidiLearn (oscTypeBox, gribb::oscType);
    offerMidiLearn (lfoShapeBox, gribb::lfoShape);
    for (size_t i = 0; i < knobs.size(); ++i)
        offerMidiLearn (knobs[i].slider, knobSpecs[i].parameter);
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

    // The knob of each parameter, by the table of rows above.
    auto knobsOf = [this] (const PageRow& row, int first, int end)
    {
        std::vector<Knob*> knobsInRow;
        for (int k = first; k < end; ++k)
            for (size_t i = 0; i < knobs.size(); ++i)
                if (knobSpecs[i].parameter == row.knobs[(size_t) k])
                    knobsInRow.push_back (&knobs[i]);
        return knobsInRow;
    };

    headerLabel.setBounds (takeTop (area, 30));
    takeTop (area, 6);

    const auto columnWidth = juce::jmin (contentWidth, boxColumnWidth);
    const auto half = contentWidth / 2;

    for (const auto& row : pageRows)
    {
        if (row.rightCaption != noCaption)
        {
            auto captionStrip = takeTop (area, captionHeight);
            sectionLabels[(size_t) row.caption].setBounds (takeLeft (captionStrip, half));
            sectionLabels[(size_t) row.rightCaption].setBounds (captionStrip);
        }
        else if (row.caption != noCaption)
        {
            sectionLabels[(size_t) row.caption].setBounds (takeTop (area, captionHeight));
        }

        auto rowArea = takeTop (area, rowHeight);

        if (row.box != noBox)
            placeBox (row.box == gribb::oscType ? oscTypeBox : lfoShapeBox, takeLeft (rowArea, columnWidth));

        if (row.leftKnobs > 0)
        {
            layoutKnobRow (takeLeft (rowArea, half), knobsOf (row, 0, row.leftKnobs));
            layoutKnobRow (rowArea, knobsOf (row, row.leftKnobs, row.numKnobs));
        }
        else
        {
            layoutKnobRow (rowArea, knobsOf (row, 0, row.numKnobs));
        }
    }
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
