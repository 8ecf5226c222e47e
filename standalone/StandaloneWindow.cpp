#include "standalone/StandaloneWindow.h"

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "standalone/DetectableKeyRepeat.h"
#include "standalone/EditorSqueeze.h"
#include "standalone/StandaloneAudioDevices.h"

namespace
{
constexpr int scrollButtonWidth = 14;
constexpr int whiteKeysPerOctave = 7;

/** The on-screen keyboard's lowest key for an octave of the computer keyboard: two octaves below
    the A key's C, so that the computer keyboard's keys are in the middle, and never so high that
    the last visible octave passes the top of MIDI's range. */
int lowestVisibleKeyFor (int octave)
{
    const auto highestStart = 128 - 12 * StandaloneWindow::visibleOctaves;
    return juce::jlimit (0, highestStart, ComputerKeyboardMapping::noteFor (octave, 0) - 24);
}
} // namespace

StandaloneWindow::StandaloneWindow (const juce::String& title, juce::Colour backgroundColour,
                                    std::unique_ptr<juce::StandalonePluginHolder> holder)
    : juce::StandaloneFilterWindow (title, backgroundColour, std::move (holder)),
      keyboardMidi (keyboardState, pluginHolder->player.getMidiMessageCollector())
{
    auto* settings = pluginHolder->settings.get();

    keyboard.setMidiChannel (ComputerKeyboardPlayer::midiChannel);
    keyboard.setMidiChannelsToDisplay (0xffff);
    keyboard.setVelocity (1.0f, true);
    keyboard.setOctaveForMiddleC (4);
    keyboard.setScrollButtonWidth (scrollButtonWidth);
    // The computer keyboard is played through the window, wherever the focus is; the keyboard
    // component's own key mapping would play every key twice.
    keyboard.clearKeyMappings();
    keyboard.setWantsKeyboardFocus (false);
    keyboard.setColour (juce::MidiKeyboardComponent::keyDownOverlayColourId, juce::Colour (0xccff5a36));
    keyboard.setColour (juce::MidiKeyboardComponent::mouseOverKeyOverlayColourId, juce::Colour (0x44ff5a36));
    keyboard.setColour (juce::KeyboardComponentBase::upDownButtonBackgroundColourId,
                        juce::Colour (StandaloneKeyboardBar::backgroundColour).withAlpha (0.6f));
    keyboard.setColour (juce::KeyboardComponentBase::upDownButtonArrowColourId, juce::Colour (0xffc8c6d0));
    Component::addAndMakeVisible (keyboard);

    bar.onOctaveDown = [this] { computerKeyboard.setOctave (computerKeyboard.getOctave() - 1); };
    bar.onOctaveUp = [this] { computerKeyboard.setOctave (computerKeyboard.getOctave() + 1); };
    bar.onKeyboardShown = [this] (bool shown) { showKeyboard (shown); };
    bar.onPanic = [this] { panic(); };
    Component::addAndMakeVisible (bar);

    computerKeyboard.onOctaveChange = [this] (int octave) { octaveChanged (octave); };
    addKeyListener (&computerKeyboard);
    // A held key then comes up only when it is released; where the display cannot do that, the
    // computer keyboard still tells repeats from releases by their timing.
    makeKeyRepeatDetectable();

    const auto savedOctave = settings != nullptr ? settings->getIntValue (keyboardOctaveKey, ComputerKeyboardMapping::defaultOctave)
                                                 : ComputerKeyboardMapping::defaultOctave;
    computerKeyboard.setOctave (savedOctave);
    octaveChanged (computerKeyboard.getOctave());

    keyboardShown = settings == nullptr || settings->getBoolValue (keyboardShownKey, true);
    keyboard.setVisible (keyboardShown);
    bar.setKeyboardShown (keyboardShown);

    auto& deviceManager = pluginHolder->deviceManager;
    deviceManager.addMidiInputDeviceCallback ({}, &keyboardMidi);
    deviceManager.addChangeListener (this);
    bar.setStatus (StandaloneAudioDevices::statusLine (deviceManager));

    // JUCE's window fitted itself to the screen through its own constrainer before this one was
    // set, which may have squeezed a zoomed page: the page is shown again at its full size.
    setConstrainer (&zoomedConstrainer);
    if (auto* editor = dynamic_cast<GribbTazoAudioProcessorEditor*> (getAudioProcessor()->getActiveEditor()))
        editor->showTechnicalPage (editor->isShowingTechnicalPage());

    // JUCE's window sized itself around the editor before this class's border applied. The
    // window manager's first answers to the new window may squeeze the editor for a moment.
    fitToContent();
    keepEditorSize (40);
}


StandaloneWindow::~StandaloneWindow()
{
    stopTimer();
    removeKeyListener (&computerKeyboard);
    computerKeyboard.releaseAll();
    pluginHolder->deviceManager.removeChangeListener (this);
    pluginHolder->deviceManager.removeMidiInputDeviceCallback ({}, &keyboardMidi);
}

juce::ComponentBoundsConstrainer* StandaloneWindow::ZoomedEditorConstrainer::getWrappedConstrainer() const
{
    auto* editor = window.getAudioProcessor()->getActiveEditor();
    auto* own = editor != nullptr ? editor->getConstrainer() : nullptr;

    if (own == nullptr)
        return nullptr;

    const auto scale = (double) window.editorScale();
    const auto times = [scale] (int size) { return juce::roundToInt (juce::jmin (size * scale, (double) 0x3fffffff)); };
    zoomed.setSizeLimits (times (own->getMinimumWidth()), times (own->getMinimumHeight()),
                          times (own->getMaximumWidth()), times (own->getMaximumHeight()));
    zoomed.setFixedAspectRatio (own->getFixedAspectRatio());
    return &zoomed;
}

juce::BorderSize<int> StandaloneWindow::ZoomedEditorConstrainer::getAdditionalBorder() const
{
    const auto frame = [this]() -> juce::BorderSize<int>
    {
        if (auto* peer = window.getPeer())
            if (const auto size = peer->getFrameSizeIfPresent())
                return *size;
        return {};
    }();

    return frame.addedTo (window.getContentComponentBorder());
}

float StandaloneWindow::editorScale() const
{
    if (auto* editor = getAudioProcessor()->getActiveEditor())
        if (const auto scale = editor->getTransform().mat00; scale > 0.0f)
            return scale;

    return 1.0f;
}

int StandaloneWindow::stripHeight() const
{
    return juce::roundToInt ((float) (StandaloneKeyboardBar::height + (keyboardShown ? keyboardHeight : 0)) * editorScale());
}

juce::BorderSize<int> StandaloneWindow::getContentComponentBorder() const
{
    auto border = juce::StandaloneFilterWindow::getContentComponentBorder();
    border.setBottom (border.getBottom() + stripHeight());
    return border;
}

void StandaloneWindow::resized()
{
    juce::StandaloneFilterWindow::resized();

    const auto border = getContentComponentBorder();
    juce::Rectangle<int> strip (border.getLeft(), getHeight() - border.getBottom(),
                                getWidth() - border.getLeftAndRight(), stripHeight());

    // The bar and the keyboard are laid out in the editor's units and drawn at its zoom.
    // Each is placed by its transform, so that its edges land on the strip's whole pixels.
    const auto scale = editorScale();
    const auto place = [scale] (juce::Component& c, juce::Rectangle<int> r)
    {
        c.setTransform (juce::AffineTransform::scale (scale).translated ((float) r.getX(), (float) r.getY()));
        c.setBounds (0, 0, juce::roundToInt ((float) r.getWidth() / scale), juce::roundToInt ((float) r.getHeight() / scale));
    };
    place (bar, strip.removeFromTop (juce::roundToInt ((float) StandaloneKeyboardBar::height * scale)));
    place (keyboard, strip);

    // A new zoom changes the border: the window fits it once the current resize is done.
    if (! juce::approximatelyEqual (scale, stripScaleShown))
    {
        stripScaleShown = scale;
        juce::MessageManager::callAsync ([safe = juce::Component::SafePointer<StandaloneWindow> (this)]
        {
            if (safe != nullptr)
                safe->fitToContent();
        });
    }

    // A page switch or a zoom grows the window to the right and down: once the resize is done, a
    // window that now reaches past the screen's edge moves back onto it, where it fits.
    if (! isOnScreen())
        juce::MessageManager::callAsync ([safe = juce::Component::SafePointer<StandaloneWindow> (this)]
        {
            if (safe != nullptr)
                safe->keepOnScreen();
        });

    // Five octaves of white keys across the width; the scroll buttons lie over the outer keys.
    keyboard.setKeyWidth ((float) juce::jmax (1, keyboard.getWidth()) / (float) (visibleOctaves * whiteKeysPerOctave));
    keyboard.setLowestVisibleKey (lowestVisibleKeyFor (computerKeyboard.getOctave()));
}

void StandaloneWindow::fitToContent()
{
    if (auto* content = getContentComponent())
    {
        setContentComponentSize (content->getWidth(), content->getHeight());
        keepOnScreen();
    }
}

const juce::Displays::Display* StandaloneWindow::displayOfWindow() const
{
    return isOnDesktop() ? juce::Desktop::getInstance().getDisplays().getDisplayForRect (getBounds()) : nullptr;
}

bool StandaloneWindow::isOnScreen() const
{
    const auto* display = displayOfWindow();
    return display == nullptr || display->userArea.contains (getBounds());
}

void StandaloneWindow::keepOnScreen()
{
    if (const auto* display = displayOfWindow())
    {
        const auto area = display->userArea;
        const auto x = juce::jmax (area.getX(), juce::jmin (getX(), area.getRight() - getWidth()));
        const auto y = juce::jmax (area.getY(), juce::jmin (getY(), area.getBottom() - getHeight()));

        if (x != getX() || y != getY())
            setTopLeftPosition (x, y);
    }
}

void StandaloneWindow::showKeyboard (bool shown)
{
    keyboardShown = shown;
    keyboard.setVisible (shown);
    bar.setKeyboardShown (shown);

    if (auto* settings = pluginHolder->settings.get())
        settings->setValue (keyboardShownKey, shown);

    keepEditorSize (10);
    fitToContent();
}

void StandaloneWindow::keepEditorSize (int checks)
{
    if (auto* editor = getAudioProcessor()->getActiveEditor())
    {
        editorSizeToKeep = editor->getLocalBounds();
        editorSizeChecksLeft = checks;
        startTimer (50);
    }
}

void StandaloneWindow::timerCallback()
{
    // A squeeze by the window manager's late answers is undone; a page switch stays.
    if (auto* editor = getAudioProcessor()->getActiveEditor())
        if (EditorSqueeze::isSqueezed (editor->getLocalBounds(), editorSizeToKeep))
            editor->setSize (editorSizeToKeep.getWidth(), editorSizeToKeep.getHeight());

    if (--editorSizeChecksLeft <= 0)
        stopTimer();
}

void StandaloneWindow::octaveChanged (int octave)
{
    bar.setOctave (octave);
    keyboard.setLowestVisibleKey (lowestVisibleKeyFor (octave));

    if (auto* settings = pluginHolder->settings.get())
        settings->setValue (keyboardOctaveKey, octave);
}

void StandaloneWindow::panic()
{
    computerKeyboard.releaseAll();
    keyboardState.allNotesOff (0);
    keyboardMidi.sendAllNotesOff();
}

void StandaloneWindow::activeWindowStatusChanged()
{
    juce::StandaloneFilterWindow::activeWindowStatusChanged();

    if (! isActiveWindow())
        computerKeyboard.releaseAll();
}

bool StandaloneWindow::keyPressed (const juce::KeyPress& key)
{
    if (auto* editor = getAudioProcessor()->getActiveEditor(); editor != nullptr && editor->keyPressed (key))
        return true;

    return juce::StandaloneFilterWindow::keyPressed (key);
}

void StandaloneWindow::changeListenerCallback (juce::ChangeBroadcaster*)
{
    bar.setStatus (StandaloneAudioDevices::statusLine (pluginHolder->deviceManager));
}
