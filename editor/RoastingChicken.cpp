#include "editor/RoastingChicken.h"

#include "processor/GribbTazoAudioProcessor.h"

#if GRIBB_HAS_BINARY_DATA
 #include "BinaryData.h"
#endif

RoastingChicken::RoastingChicken (GribbTazoAudioProcessor& p)
    : processorRef (p)
{
   #if GRIBB_HAS_BINARY_DATA
    // A sheet that does not decode leaves the null image: paint then shows the fallback.
    setSpriteSheet (juce::ImageCache::getFromMemory (BinaryData::gribb_roast_sprites_png,
                                                     BinaryData::gribb_roast_sprites_pngSize));
   #endif

    startTimer (33);
}

void RoastingChicken::setSpriteSheet (const juce::Image& sheet)
{
    spriteSheet = sheet;
    frameWidth = spriteSheet.isValid() ? spriteSheet.getWidth() : 0;
    frameHeight = spriteSheet.isValid() ? spriteSheet.getHeight() / numFrames : 0;
    repaint();
}

RoastingChicken::~RoastingChicken()
{
    stopTimer();
}

int RoastingChicken::frameForLevel (float level, int frames) noexcept
{
    // The comparisons also send NaN to 0.
    const auto v = level > 0.0f ? juce::jmin (level, 1.0f) : 0.0f;
    return juce::jlimit (0, juce::jmax (frames - 1, 0), (int) std::floor ((float) frames * v));
}

void RoastingChicken::timerCallback()
{
    const auto frame = frameForLevel (processorRef.roastLevel.load(), numFrames);

    if (frame == currentFrame)
        return;

    currentFrame = frame;
    repaint();
}

void RoastingChicken::paint (juce::Graphics& g)
{
    if (! spriteSheet.isValid())
    {
        g.setColour (juce::Colours::orange);
        g.drawText ("gribb", getLocalBounds().toFloat(), juce::Justification::centred, true);
        return;
    }

    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto side = juce::jmin (w, h);
    const juce::Rectangle<float> target (w / 2.0f - side / 2.0f, h / 2.0f - side / 2.0f, side, side);

    // The window's zoom may draw the frame much larger or smaller than its 256 pixels.
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
    const auto frame = spriteSheet.getClippedImage ({ 0, frameHeight * currentFrame, frameWidth, frameHeight });
    g.drawImage (frame, target,
                 juce::RectanglePlacement (juce::RectanglePlacement::xMid | juce::RectanglePlacement::yMid
                                           | juce::RectanglePlacement::onlyReduceInSize),
                 false);
}
