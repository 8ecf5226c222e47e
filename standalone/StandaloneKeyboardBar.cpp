#include "standalone/StandaloneKeyboardBar.h"

#include "standalone/ComputerKeyboardMapping.h"

StandaloneKeyboardBar::StandaloneKeyboardBar()
{
    setOpaque (true);

    for (auto* button : { &octaveDownButton, &octaveUpButton, &keyboardButton, &panicButton })
    {
        button->setWantsKeyboardFocus (false);
        button->setMouseClickGrabsKeyboardFocus (false);
        addAndMakeVisible (*button);
    }

    octaveDownButton.setTooltip ("Octave down (Z)");
    octaveUpButton.setTooltip ("Octave up (X)");
    octaveDownButton.onClick = [this] { if (onOctaveDown != nullptr) onOctaveDown(); };
    octaveUpButton.onClick = [this] { if (onOctaveUp != nullptr) onOctaveUp(); };

    keyboardButton.setClickingTogglesState (true);
    keyboardButton.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff3f6f8c));
    keyboardButton.setToggleState (true, juce::dontSendNotification);
    keyboardButton.setTooltip ("Show or hide the on-screen keyboard");
    keyboardButton.onClick = [this] { if (onKeyboardShown != nullptr) onKeyboardShown (keyboardButton.getToggleState()); };

    panicButton.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff8a1f1f));
    panicButton.setTooltip ("End every note");
    panicButton.onClick = [this] { if (onPanic != nullptr) onPanic(); };

    octaveLabel.setJustificationType (juce::Justification::centred);
    octaveLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    octaveLabel.setFont (juce::FontOptions (14.0f));
    octaveLabel.setTooltip ("The note the A key plays");
    addAndMakeVisible (octaveLabel);

    statusLabel.setJustificationType (juce::Justification::centredRight);
    statusLabel.setColour (juce::Label::textColourId, juce::Colour (0xffffb347));
    statusLabel.setFont (juce::FontOptions (14.0f, juce::Font::bold));
    statusLabel.setMinimumHorizontalScale (0.6f);
    addAndMakeVisible (statusLabel);

    setOctave (ComputerKeyboardMapping::defaultOctave);
}

void StandaloneKeyboardBar::setOctave (int octave)
{
    octaveLabel.setText ("A = " + ComputerKeyboardMapping::lowestNoteName (octave), juce::dontSendNotification);
    octaveDownButton.setEnabled (octave > ComputerKeyboardMapping::lowestOctave);
    octaveUpButton.setEnabled (octave < ComputerKeyboardMapping::highestOctave);
}

void StandaloneKeyboardBar::setKeyboardShown (bool shown)
{
    keyboardButton.setToggleState (shown, juce::dontSendNotification);
}

void StandaloneKeyboardBar::setStatus (const juce::String& text)
{
    statusLabel.setText (text, juce::dontSendNotification);
}

void StandaloneKeyboardBar::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (backgroundColour));
}

void StandaloneKeyboardBar::resized()
{
    auto area = getLocalBounds().reduced (4);

    octaveDownButton.setBounds (area.removeFromLeft (50));
    octaveLabel.setBounds (area.removeFromLeft (62));
    octaveUpButton.setBounds (area.removeFromLeft (50));
    area.removeFromLeft (10);
    keyboardButton.setBounds (area.removeFromLeft (76));
    area.removeFromLeft (6);
    panicButton.setBounds (area.removeFromLeft (56));
    area.removeFromLeft (8);
    statusLabel.setBounds (area);
}
