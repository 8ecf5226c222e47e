#pragma once

#include <memory>
#include <vector>

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/MidiLearnable.h"
#include "editor/technical/TechnicalLookAndFeel.h"

class GribbTazoAudioProcessor;

/** The "UNDER THE HOOD" page: eighteen knobs and two selector boxes bound to the processor's
    parameters through attachments, under section captions on a dark grid. A right click on a
    knob or a box opens its MIDI-learn menu. */
class TechnicalPanel : public juce::Component
{
public:
    explicit TechnicalPanel (GribbTazoAudioProcessor& p);
    ~TechnicalPanel() override = default;

    void paint (juce::Graphics& g) override;
    void resized() override;

    struct Knob
    {
        LearnableSlider slider;
        juce::Label label;
        std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;
    };

    static constexpr int numKnobs = 18;

    /** The knobs in set-up order: PW, Ratio, Index, A, D, S, R, Unison, Cutoff, Reso, Drive, Clip,
        Bits, SR Red, Rate, ->Cut, ->FM, Gain. */
    Knob& getKnob (int index) noexcept { return knobs[(size_t) index]; }
    juce::ComboBox& getOscTypeBox() noexcept { return oscTypeBox; }
    juce::ComboBox& getLfoShapeBox() noexcept { return lfoShapeBox; }
    juce::Label& getHeaderLabel() noexcept { return headerLabel; }
    /** The five section captions: OSCILLATOR, ZDF FILTER, DRIVE / CLIP (OVERSAMPLED), DEGRADATION,
        LFO MATRIX. */
    juce::Label& getSectionLabel (int index) noexcept { return sectionLabels[(size_t) index]; }

private:
    void setupKnob (Knob& knob, const juce::String& parameterID, const juce::String& name);
    template <typename Control>
    void offerMidiLearn (MidiLearnable<Control>& control, int parameterIndex);
    static void styleSectionLabel (juce::Label& label, const juce::String& text);
    static void layoutKnobRow (juce::Rectangle<int> area, std::vector<Knob*> row);

    GribbTazoAudioProcessor& processorRef;
    TechnicalLookAndFeel lookAndFeel;
    LearnableComboBox oscTypeBox;
    LearnableComboBox lfoShapeBox;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> oscTypeAttachment;
    std::unique_ptr<juce::AudioProcessorValueTreeState::ComboBoxAttachment> lfoShapeAttachment;
    std::array<Knob, numKnobs> knobs;
    juce::Label headerLabel;
    std::array<juce::Label, 5> sectionLabels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TechnicalPanel)
};
