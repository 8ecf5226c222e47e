#pragma once

#include <functional>

#include <juce_gui_basics/juce_gui_basics.h>

/** The Standalone's bar above its on-screen keyboard: octave down and up for the keyboards (with
    the note the computer keyboard's A key plays), the "Keyboard" button that shows and hides the
    on-screen keyboard, "Panic", which ends every note, and a line that says when there is no
    audio device. The bar only reports clicks; the window acts on them. Its buttons never take
    the keyboard focus, so the computer keyboard keeps playing after a click. */
class StandaloneKeyboardBar : public juce::Component
{
public:
    static constexpr int height = 32;
    /** The bar's fill, darker than anything at the editor's edge (the window tests look for it). */
    static constexpr juce::uint32 backgroundColour = 0xff18171c;

    StandaloneKeyboardBar();

    std::function<void()> onOctaveDown;
    std::function<void()> onOctaveUp;
    std::function<void (bool shown)> onKeyboardShown;
    std::function<void()> onPanic;

    /** Shows the computer keyboard's octave ("A = C4") and greys out a button at the range's end. */
    void setOctave (int octave);
    void setKeyboardShown (bool shown);
    /** The problem line: empty when there is none. */
    void setStatus (const juce::String& text);
    juce::String getStatus() const { return statusLabel.getText(); }

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    juce::TextButton octaveDownButton { "Oct -" };
    juce::Label octaveLabel;
    juce::TextButton octaveUpButton { "Oct +" };
    juce::TextButton keyboardButton { "Keyboard" };
    juce::TextButton panicButton { "Panic" };
    juce::Label statusLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneKeyboardBar)
};
