#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class GribbTazoAudioProcessor;

/** The main page's animation: one 256 x 256 frame of the embedded 30-frame sprite sheet, chosen
    every 33 ms from the level the audio thread publishes in the processor's roastLevel. Repaints
    only when the frame changes; shows an orange "gribb" when the sheet does not decode. */
class RoastingChicken : public juce::Component,
                        public juce::Timer
{
public:
    explicit RoastingChicken (GribbTazoAudioProcessor& p);
    ~RoastingChicken() override;

    void paint (juce::Graphics& g) override;

    /** The frame shown for a published level: floor (30 * level), limited to 0..29. */
    static int frameForLevel (float level, int numFrames) noexcept;

    int getCurrentFrame() const noexcept { return currentFrame; }
    bool hasSpriteSheet() const noexcept { return spriteSheet.isValid(); }

    /** Replaces the embedded sheet (for previews and tests); an invalid image shows the fallback. */
    void setSpriteSheet (const juce::Image& sheet);

    /** One animation tick: reads the level and repaints if the frame changed. */
    void timerCallback() override;

private:
    GribbTazoAudioProcessor& processorRef;
    juce::Image spriteSheet;
    int numFrames = 30;
    int frameWidth = 0;
    int frameHeight = 0;
    int currentFrame = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RoastingChicken)
};
