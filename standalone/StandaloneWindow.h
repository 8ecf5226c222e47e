#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include "standalone/ComputerKeyboardPlayer.h"
#include "standalone/StandaloneKeyboardBar.h"
#include "standalone/StandaloneKeyboardMidi.h"

#include <juce_audio_plugin_client/detail/juce_CheckSettingMacros.h>
#include <juce_audio_plugin_client/detail/juce_IncludeModuleHeaders.h>

#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

// JUCE's plug-in client headers define Component as a macro for their own code; the rest of the
// Standalone's code names juce::Component itself.
#undef Component

/** The Standalone's window: JUCE's standalone window (title bar with "Options", the plug-in's
    editor at the size the editor chooses) with a strip below the editor that the plug-in formats
    do not have: the keyboard bar and an on-screen keyboard of five octaves, scrollable.

    The strip is part of the window's border around its content, so the editor keeps its own
    size, limits and aspect ratio on both pages, and the window is as much taller as the strip.
    The strip takes the editor's zoom: bar, buttons and keys grow with the window.
    The on-screen keyboard plays on channel 1 (velocity from where a key is clicked: soft at the
    top, loud at the bottom) and lights the keys of the notes that the MIDI inputs play; the
    computer keyboard plays whenever the window has the focus, and losing the focus ends its
    notes. The keyboard's visibility and octave are kept in the app's settings, beside the
    devices and the plug-in's state that JUCE keeps there. */
class StandaloneWindow : public juce::StandaloneFilterWindow,
                         private juce::ChangeListener,
                         private juce::Timer
{
public:
    /** Settings keys. */
    static constexpr const char* keyboardShownKey = "keyboardShown";
    static constexpr const char* keyboardOctaveKey = "keyboardOctave";
    /** The on-screen keyboard's height, below the bar. */
    static constexpr int keyboardHeight = 96;
    static constexpr int visibleOctaves = 5;

    StandaloneWindow (const juce::String& title, juce::Colour backgroundColour,
                      std::unique_ptr<juce::StandalonePluginHolder> holder);
    ~StandaloneWindow() override;

    juce::BorderSize<int> getContentComponentBorder() const override;
    void resized() override;
    void activeWindowStatusChanged() override;
    /** The window's own shortcuts (the zoom keys) work wherever the focus is in the window: a key
        that reaches the window itself, with nothing inside it focused, is offered to the editor. */
    bool keyPressed (const juce::KeyPress& key) override;

private:
    /** The window's resize limits: the editor's own limits, which are in the editor's units,
        times the editor's zoom, plus the window's border. (JUCE's Standalone window would take the
        editor's limits as screen pixels, and hold a zoomed page to its unzoomed maximum.) */
    class ZoomedEditorConstrainer : public juce::BorderedComponentBoundsConstrainer
    {
    public:
        explicit ZoomedEditorConstrainer (StandaloneWindow& w) : window (w) {}
        juce::ComponentBoundsConstrainer* getWrappedConstrainer() const override;
        juce::BorderSize<int> getAdditionalBorder() const override;

    private:
        StandaloneWindow& window;
        mutable juce::ComponentBoundsConstrainer zoomed;
    };

    int stripHeight() const;
    /** The editor's zoom on this window's display: the strip below it and the resize limits
        scale with it. */
    float editorScale() const;
    void fitToContent();
    /** The display the window is on, or nullptr while it is not on the desktop. */
    const juce::Displays::Display* displayOfWindow() const;
    /** Whether the whole window lies on its display's usable area (or is not on the desktop). */
    bool isOnScreen() const;
    /** Moves the window so that as much of it as fits is on its screen. */
    void keepOnScreen();
    void showKeyboard (bool shown);
    /** Keeps the editor at its present size for the next `checks` ticks of the timer, 50 ms
        apart, against the window manager's late answers to a new window size. */
    void keepEditorSize (int checks);
    void octaveChanged (int octave);
    void panic();
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void timerCallback() override;

    juce::MidiKeyboardState keyboardState;
    StandaloneKeyboardMidi keyboardMidi;
    ComputerKeyboardPlayer computerKeyboard { keyboardState };
    juce::MidiKeyboardComponent keyboard { keyboardState, juce::KeyboardComponentBase::horizontalKeyboard };
    StandaloneKeyboardBar bar;
    bool keyboardShown = true;
    /** The editor's size when the window opened or the keyboard was shown or hidden, kept for a
        moment afterwards. */
    juce::Rectangle<int> editorSizeToKeep;
    int editorSizeChecksLeft = 0;
    float stripScaleShown = 1.0f;
    ZoomedEditorConstrainer zoomedConstrainer { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneWindow)
};
