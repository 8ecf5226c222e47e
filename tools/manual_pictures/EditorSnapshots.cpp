#include "EditorSnapshots.h"

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"

namespace gribb::pictures
{
juce::Image snapshotMainPage (GribbTazoAudioProcessor& processor, GribbTazoAudioProcessorEditor& editor, float roastLevel)
{
    editor.showTechnicalPage (false);
    processor.roastLevel.store (roastLevel);
    editor.getChicken().timerCallback(); // picks the frame at once instead of within 33 ms
    return editor.createComponentSnapshot (editor.getLocalBounds(), true, 1.0f);
}

juce::Image snapshotTechnicalPage (GribbTazoAudioProcessorEditor& editor)
{
    editor.showTechnicalPage (true);
    auto image = editor.createComponentSnapshot (editor.getLocalBounds(), true, 1.0f);
    editor.showTechnicalPage (false);
    return image;
}

juce::Image snapshotMacroKnobPositions (GribbTazoAudioProcessorEditor& editor)
{
    editor.showTechnicalPage (false);
    auto& knob = editor.getCrushKnob();
    const auto box = knob.getBounds().getUnion (editor.getCrushLabel().getBounds());
    const float positions[] { 0.0f, 0.5f, 1.0f };
    constexpr int captionHeight = 22;

    juce::Image strip (juce::Image::RGB, box.getWidth() * 3, box.getHeight() + captionHeight, true);
    juce::Graphics g (strip);
    g.fillAll (juce::Colour (0xff2b2933));

    for (int i = 0; i < 3; ++i)
    {
        // Only the knob's picture moves; no parameter is written.
        knob.setValue (positions[i], juce::dontSendNotification);
        const auto shot = editor.createComponentSnapshot (box, true, 1.0f);
        g.setOpacity (1.0f); // drawImageAt uses the current colour's opacity
        g.drawImageAt (shot, i * box.getWidth(), 0);
        g.setColour (juce::Colours::white.withAlpha (0.8f));
        g.setFont (juce::FontOptions (14.0f));
        g.drawText ("position " + juce::String (positions[i], 1), juce::Rectangle<int> (i * box.getWidth(), box.getHeight(), box.getWidth(), captionHeight),
                    juce::Justification::centred);
    }
    knob.setValue (0.0, juce::dontSendNotification);
    return strip;
}
} // namespace gribb::pictures
