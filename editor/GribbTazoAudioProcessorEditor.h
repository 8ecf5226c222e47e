#pragma once

#include <optional>

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/ArcadeKnobLookAndFeel.h"
#include "editor/MidiLearnable.h"
#include "editor/MidiSettingsMenu.h"
#include "editor/ProgramSelector.h"
#include "editor/RoastingChicken.h"
#include "editor/UserPresetControls.h"
#include "editor/WindowMenu.h"
#include "processor/MacroMaps.h"
#include "editor/technical/TechnicalPanel.h"

class GribbTazoAudioProcessor;

/** The plug-in window. The main page holds the program selector, the page button, the CRUSH and
    WARP macro knobs (each writes several parameters through fixed linear maps) and the roasting
    chicken on a painted cabinet panel; the technical page shows the TechnicalPanel. The
    selector's menu also holds the user presets, and a preset file dropped on the window loads.
    A right click on a macro knob opens its MIDI-learn menu; a learned controller moves the knob.

    Both pages are laid out in the window's own units; the zoom scales the whole window (a
    transform on the editor, as JUCE applies a host's scale), so the window's size and its resize
    limits on screen are the pages' sizes and limits times the zoom. A right click on the
    background opens the window's menu (WindowMenu) with "Zoom"; Ctrl + and Ctrl - step the zoom,
    Ctrl 0 goes back to 100 %, where the host lets keys through. The window's timer keeps the
    selector on the program or preset the processor has, whoever chose it. */
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

    /** The host's scale (VST3 setContentScaleFactor, LV2 ui:scaleFactor), handed on by JUCE's
        wrappers; used where the user has chosen no zoom. */
    void setScaleFactor (float newScale) override;
    /** A zoom chosen by the user, in per cent: shown now and remembered for every window. */
    void chooseZoom (int percent);
    /** The scale the window is shown at (1.0 is 100 %). */
    double getZoom() const noexcept { return zoom; }
    bool keyPressed (const juce::KeyPress& key) override;

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
    WindowMenu& getWindowMenu() noexcept { return windowMenu; }
    /** True for the parts of the window whose right click opens the window's menu. */
    bool isBackground (const juce::Component& c) const;

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
    /** The window menu's "MIDI" submenu: bend range, MPE set-up and tuning; its messages show
        in the user presets' message line. */
    MidiSettingsMenu midiMenu;

    /** Moves a macro knob where a learned controller put it; the processor has written its targets. */
    void followLearnedMacros();
    std::array<juce::uint32, gribb::numMacros> macroMovesShown {};
    /** Shows the program or user preset the processor has now, if it is not the one shown: a
        program chosen by the host, a restored state, a preset loaded elsewhere. */
    void followProgram();
    int programShown = -1;
    juce::File presetShown;
    juce::TimedCallback follower { [this] { followLearnedMacros(); followProgram(); } };

    void fillZoomMenu (juce::PopupMenu& menu);
    /** Works out the zoom and applies it; a change the window made itself asks its host to fit. */
    void applyZoom (bool askHostToFit);
    std::optional<int> chosenZoom;
    float hostScale = 1.0f;
    double desktopScale = 1.0;
    double zoom = 1.0;
    WindowMenu windowMenu { *this, [this] (const juce::Component& c) { return isBackground (c); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GribbTazoAudioProcessorEditor)
};
