#include "editor/GribbTazoAudioProcessorEditor.h"

#include "editor/DesktopScale.h"
#include "editor/MidiLearnMenu.h"
#include "editor/WindowSettings.h"
#include "editor/WindowZoom.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "processor/MacroMaps.h"
#include "processor/UserPresets.h"

namespace
{
constexpr int mainWidth = 620, mainHeight = 560;
constexpr int technicalWidth = 980, technicalHeight = 640;
} // namespace

GribbTazoAudioProcessorEditor::GribbTazoAudioProcessorEditor (GribbTazoAudioProcessor& p)
    : juce::AudioProcessorEditor (p),
      processorRef (p),
      chicken (p),
      technicalPanel (p),
      midiMenu (p.pitchSettings)
{
    addAndMakeVisible (chicken);

    titleLabel.setText ("GRIBB  TAZO", juce::dontSendNotification);
    titleLabel.setJustificationType (juce::Justification::centred);
    titleLabel.setFont (juce::FontOptions (30.0f, juce::Font::bold));
    titleLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    addAndMakeVisible (titleLabel);

    setupMacroKnob (crushKnob, crushLabel, "CRUSH");
    setupMacroKnob (warpKnob, warpLabel, "WARP");

    crushKnob.onValueChange = [this] { applyCrush ((float) crushKnob.getValue()); };
    warpKnob.onValueChange = [this] { applyWarp ((float) warpKnob.getValue()); };

    crushKnob.onLearnMenu = [this] { MidiLearnMenu::show (processorRef.midiLearn, gribb::crushLearnTarget, crushKnob); };
    warpKnob.onLearnMenu = [this] { MidiLearnMenu::show (processorRef.midiLearn, gribb::warpLearnTarget, warpKnob); };
    for (int m = 0; m < gribb::numMacros; ++m)
        macroMovesShown[(size_t) m] = processorRef.midiLearn.macroMoves ((gribb::Macro) m);
    follower.startTimer (gribb::MidiLearn::applyIntervalMs * 3);

    // Program index i is item ID i + firstProgramId. Opening the window shows the current program
    // and writes nothing; every choice applies its program, the one already shown included.
    constexpr int firstProgramId = UserPresetControls::firstProgramId;
    programBox.addItemList (GribbTazoAudioProcessor::getProgramNames(), firstProgramId);
    programBox.setSelectedId (processorRef.getCurrentProgram() + firstProgramId, juce::dontSendNotification);
    programBox.onChoose = [this] (int itemId) { processorRef.selectProgram (itemId - firstProgramId); };
    programBox.extendMenu = [this] (juce::PopupMenu& menu) { userPresets.extendMenu (menu); };
    programBox.onOtherItem = [this] (int itemId) { userPresets.itemChosen (itemId); };
    userPresets.showLoadedPreset();
    programShown = processorRef.getCurrentProgram();
    presetShown = processorRef.getLoadedUserPreset();
    addAndMakeVisible (programBox);

    hoodButton.setClickingTogglesState (true);
    hoodButton.onClick = [this] { showTechnicalPage (hoodButton.getToggleState()); };
    addAndMakeVisible (hoodButton);

    // The panel is added hidden; the page button stays in front of it so that it can switch back.
    addChildComponent (technicalPanel);
    hoodButton.toFront (false);

    setResizable (true, true);
    setResizeLimits (480, 430, 1600, 1050);
    getConstrainer()->setFixedAspectRatio ((double) mainWidth / (double) mainHeight);
    setSize (mainWidth, mainHeight);

    windowMenu.addSubMenu ("Zoom", [this] (juce::PopupMenu& menu) { fillZoomMenu (menu); },
                           [this] (int percent) { chooseZoom (percent); });
    static_assert (MidiSettingsMenu::lastItemId < WindowMenu::idsPerSubMenu,
                   "the MIDI menu's item IDs do not fit in one submenu of the window menu");
    windowMenu.addSubMenu ("MIDI", [this] (juce::PopupMenu& menu) { midiMenu.addItemsTo (menu); },
                           [this] (int itemId) { midiMenu.handle (itemId); });
    midiMenu.onMessage = [this] (const juce::String& text) { userPresets.showMessage (text); };
    chosenZoom = gribb::windowSettings::loadChosenZoom();
    desktopScale = gribb::desktop::scaleFrom (gribb::desktop::readScaleSettings());
    applyZoom (false);
}

GribbTazoAudioProcessorEditor::~GribbTazoAudioProcessorEditor()
{
    crushKnob.setLookAndFeel (nullptr);
    warpKnob.setLookAndFeel (nullptr);
}

void GribbTazoAudioProcessorEditor::setupMacroKnob (juce::Slider& slider, juce::Label& label, const juce::String& text)
{
    slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    slider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    slider.setRange (0.0, 1.0, gribb::macroKnobInterval);
    slider.setValue (0.0);
    slider.setLookAndFeel (&knobLookAndFeel);
    addAndMakeVisible (slider);

    label.setText (text, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setFont (juce::FontOptions (20.0f, juce::Font::bold));
    label.setColour (juce::Label::textColourId, juce::Colours::white);
    addAndMakeVisible (label);
}

void GribbTazoAudioProcessorEditor::applyCrush (float amount)
{
    gribb::applyMacro (processorRef.parameters, gribb::Macro::crush, amount);
}

void GribbTazoAudioProcessorEditor::applyWarp (float amount)
{
    gribb::applyMacro (processorRef.parameters, gribb::Macro::warp, amount);
}

void GribbTazoAudioProcessorEditor::followLearnedMacros()
{
    const std::pair<gribb::Macro, juce::Slider*> knobs[] = { { gribb::Macro::crush, &crushKnob },
                                                             { gribb::Macro::warp, &warpKnob } };
    for (const auto& [macro, knob] : knobs)
    {
        const auto moves = processorRef.midiLearn.macroMoves (macro);
        if (moves == macroMovesShown[(size_t) macro])
            continue;
        macroMovesShown[(size_t) macro] = moves;
        // Shown only: the controller's move has written the targets already.
        knob->setValue (processorRef.midiLearn.macroPosition (macro), juce::dontSendNotification);
    }
}

void GribbTazoAudioProcessorEditor::followProgram()
{
    const auto program = processorRef.getCurrentProgram();
    const auto preset = processorRef.getLoadedUserPreset();

    if (program == programShown && preset == presetShown)
        return;

    programShown = program;
    presetShown = preset;
    userPresets.showLoadedPreset();
}

void GribbTazoAudioProcessorEditor::setScaleFactor (float newScale)
{
    hostScale = newScale;
    applyZoom (false);
}

void GribbTazoAudioProcessorEditor::chooseZoom (int percent)
{
    if (! gribb::zoom::isOffered (percent))
        return;

    chosenZoom = percent;
    gribb::windowSettings::saveChosenZoom (percent);
    applyZoom (true);
}

void GribbTazoAudioProcessorEditor::applyZoom (bool askHostToFit)
{
    zoom = gribb::zoom::choose (chosenZoom, hostScale, desktopScale);

    // Where JUCE scales the window's own desktop window already (the Standalone, on a display it
    // finds scaled), the editor's transform makes up the rest.
    auto& displays = juce::Desktop::getInstance().getDisplays();
    const auto* display = isShowing() ? displays.getDisplayForRect (getScreenBounds()) : displays.getPrimaryDisplay();
    const auto platformScale = display != nullptr && display->scale > 0.0 ? display->scale : 1.0;
    const auto transformScale = (float) (zoom / platformScale);

    if (getTransform() == juce::AffineTransform::scale (transformScale))
        return;

    juce::AudioProcessorEditor::setScaleFactor (transformScale);

    if (askHostToFit)
    {
        // A new transform alone reaches the VST3 wrapper and the Standalone's window, but not
        // the LV2 wrapper, which resizes its host's window on a new size only: the window steps
        // through another size and back. The step is the page's own size, or four fifths of it,
        // which keep the page's aspect ratio and are whole pixels at every offered zoom, so no
        // rounding in the host's answer to the step leaves the window a pixel off.
        const auto w = getWidth(), h = getHeight();
        const auto page = showingTechnical ? juce::Point<int> (technicalWidth, technicalHeight)
                                           : juce::Point<int> (mainWidth, mainHeight);
        const auto step = (w == page.x && h == page.y) ? page * 4 / 5 : page;
        setSize (step.x, step.y);
        setSize (w, h);
    }
}

void GribbTazoAudioProcessorEditor::fillZoomMenu (juce::PopupMenu& menu)
{
    const auto current = juce::roundToInt (zoom * 100.0);

    for (const auto percent : gribb::zoom::percents)
        menu.addItem (percent, juce::String (percent) + " %", true, percent == current);
}

bool GribbTazoAudioProcessorEditor::keyPressed (const juce::KeyPress& key)
{
    if (! key.getModifiers().isCommandDown())
        return false;

    const auto current = juce::roundToInt (zoom * 100.0);
    const auto c = key.getTextCharacter();
    const auto code = key.getKeyCode();

    if (c == '+' || c == '=' || code == '+' || code == '=')
        chooseZoom (gribb::zoom::stepFrom (current, 1));
    else if (c == '-' || code == '-')
        chooseZoom (gribb::zoom::stepFrom (current, -1));
    else if (c == '0' || code == '0')
        chooseZoom (100);
    else
        return false;

    return true;
}

bool GribbTazoAudioProcessorEditor::isBackground (const juce::Component& c) const
{
    if (&c == this || &c == &chicken || &c == &technicalPanel)
        return true;

    const auto* parent = c.getParentComponent();
    return dynamic_cast<const juce::Label*> (&c) != nullptr && (parent == this || parent == &technicalPanel);
}

void GribbTazoAudioProcessorEditor::showTechnicalPage (bool show)
{
    showingTechnical = show;

    for (auto* c : std::initializer_list<juce::Component*> { &chicken, &crushKnob, &warpKnob, &crushLabel,
                                                             &warpLabel, &titleLabel })
        c->setVisible (! show);

    technicalPanel.setVisible (show);

    getConstrainer()->setFixedAspectRatio (show ? (double) technicalWidth / (double) technicalHeight
                                                : (double) mainWidth / (double) mainHeight);
    setSize (show ? technicalWidth : mainWidth, show ? technicalHeight : mainHeight);
}

bool GribbTazoAudioProcessorEditor::isInterestedInFileDrag (const juce::StringArray& files)
{
    for (const auto& path : files)
        if (path.endsWithIgnoreCase (gribb::userPresetExtension))
            return true;
    return false;
}

void GribbTazoAudioProcessorEditor::filesDropped (const juce::StringArray& files, int, int)
{
    // One sound at a time: the first preset file of the drop.
    for (const auto& path : files)
        if (path.endsWithIgnoreCase (gribb::userPresetExtension))
            return userPresets.loadPreset (juce::File (path));
}

void GribbTazoAudioProcessorEditor::resized()
{
    if (showingTechnical)
    {
        technicalPanel.setBounds (getLocalBounds());
        hoodButton.setBounds (getWidth() - 170, 14, 150, 28);
        userPresets.layOut (getLocalBounds().removeFromBottom (26));
        return;
    }

    auto area = getLocalBounds().reduced (28);

    auto top = area.removeFromTop (40);
    programBox.setBounds (top.removeFromLeft (top.getWidth() - 160).reduced (2));
    hoodButton.setBounds (top.reduced (2));

    titleLabel.setBounds (area.removeFromTop (46));

    auto knobRow = area.removeFromBottom (150);
    const auto columnWidth = area.getWidth() / 3;

    auto left = knobRow.removeFromLeft (columnWidth);
    crushLabel.setBounds (left.removeFromTop (26));
    crushKnob.setBounds (left);

    auto right = knobRow.removeFromRight (columnWidth);
    warpLabel.setBounds (right.removeFromTop (26));
    warpKnob.setBounds (right);

    chicken.setBounds (area.reduced (10));
    // A message about a preset file lies over the top of the chicken's strip while it shows.
    userPresets.layOut (chicken.getBounds().removeFromTop (24));
}

void GribbTazoAudioProcessorEditor::paint (juce::Graphics& g)
{
    if (showingTechnical)
    {
        g.fillAll (juce::Colour (0xff0d0f13));
        return;
    }

    const auto w = (float) getWidth();
    const auto h = (float) getHeight();

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff6f6b7d), 0.0f, 0.0f,
                                             juce::Colour (0xff3a3742), 0.0f, h, false));
    g.fillAll();

    const juce::Rectangle<float> panel (14.0f, 14.0f, juce::jmax (w - 28.0f, 0.0f), juce::jmax (h - 28.0f, 0.0f));

    g.setColour (juce::Colour (0xff2b2933));
    g.fillRoundedRectangle (panel, 22.0f);

    g.setColour (juce::Colour (0x66000000));
    g.drawRoundedRectangle (panel, 22.0f, 3.0f);

    // Speaker-grille lines behind the knob row.
    g.setColour (juce::Colour (0x26000000));
    for (int i = 0; i < 6; ++i)
    {
        const auto y = panel.getBottom() - 30.0f - 7.0f * (float) i;
        g.drawLine (54.0f, y, panel.getRight() - 40.0f, y, 2.0f);
    }
}
