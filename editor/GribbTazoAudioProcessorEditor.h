#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/ArcadeKnobLookAndFeel.h"
#include "editor/MidiLearnable.h"
#include "editor/ProgramSelector.h"
#include "editor/RoastingChicken.h"
#include "editor/UserPresetControls.h"
#include "processor/MacroMaps.h"
#include "editor/technical/TechnicalPanel.h"

class GribbTazoAudioProcessor;

/** The plug-in window. The main page holds the program selector, the page button, the CRUSH and
    WARP macro knobs (each writes several parameters through fixed linear maps) and the roasting
    chicken on a painted cabinet panel; the technical page shows the TechnicalPanel. The
    selector's menu also holds the user presets, and a preset file dropped on the window loads.
    A right click on a macro knob opens its MIDI-learn menu; a learned controller moves the knob. */
class GribbTazoAudioProcessorEditor : public juce::AudioProcessorEditor,
                                      public juce::FileDragAndDropTarget
{
public:
    explicit GribbTazoAudioProcessorEditor (GribbTazoAudioProcessor& p);
    ~GribbTazoAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    /** Writes CRUSH's targets (bitDepth, drive, hardClip) for a knob position 0..1. */
    void applyCrush (float amount);
    /** Writes WARP's targets (lfoRate, lfoToFm, fmIndex, lfoToCutoff) for a knob position 0..1. */
    void applyWarp (float amount);
    /** Shows the technical page (true) or the main page (false) at that page's default size. */
    void showTechnicalPage (bool show);

    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    // Read access for tests and for hosts' accessibility tools.
    RoastingChicken& getChicken() noexcept { return chicken; }
    juce::Slider& getCrushKnob() noexcept { return crushKnob; }
    juce::Slider& getWarpKnob() noexcept { return warpKnob; }
    juce::Label& getCrushLabel() noexcept { return crushLabel; }
    juce::Label& getWarpLabel() noexcept { return warpLabel; }
    juce::Label& getTitleLabel() noexcept { return titleLabel; }
    ProgramSelector& getProgramBox() noexcept { return programBox; }
    juce::TextButton& getHoodButton() noexcept { return hoodButton; }
    TechnicalPanel& getTechnicalPanel() noexcept { return technicalPanel; }
    bool isShowingTechnicalPage() const noexcept { return showingTechnical; }
    UserPresetControls& getUserPresets() noexcept { return userPresets; }

private:
    void setupMacroKnob (juce::Slider& slider, juce::Label& label, const juce::String& text);

    GribbTazoAudioProcessor& processorRef;
    ArcadeKnobLookAndFeel knobLookAndFeel;
    RoastingChicken chicken;
    LearnableSlider crushKnob;
    LearnableSlider warpKnob;
    juce::Label crushLabel;
    juce::Label warpLabel;
    juce::Label titleLabel;
    ProgramSelector programBox;
    juce::TextButton hoodButton { "UNDER THE HOOD" };
    TechnicalPanel technicalPanel;
    bool showingTechnical = false;
    UserPresetControls userPresets { processorRef, programBox, *this };

    /** Moves a macro knob where a learned controller put it; the processor has written its targets. */
    void followLearnedMacros();
    std::array<juce::uint32, gribb::numMacros> macroMovesShown {};
    juce::TimedCallback macroFollower { [this] { followLearnedMacros(); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GribbTazoAudioProcessorEditor)
};
