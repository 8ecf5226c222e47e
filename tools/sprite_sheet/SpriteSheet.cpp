#include "SpriteSheet.h"

#include "ChickenShapes.h"
#include "FrameLayers.h"

#include <cstring>

namespace gribb::sprites
{
juce::Image renderSpriteSheet()
{
    const int size = (int) geometry::frameSize;
    juce::Image sheet (juce::Image::RGB, size, size * numRoastFrames, true, juce::SoftwareImageType());

    for (int i = 0; i < numRoastFrames; ++i)
    {
        const auto frame = renderFrame (roastFrameState (i));
        const juce::Image::BitmapData src (frame, juce::Image::BitmapData::readOnly);
        juce::Image::BitmapData dst (sheet, 0, size * i, size, size, juce::Image::BitmapData::writeOnly);
        for (int y = 0; y < size; ++y)
            std::memcpy (dst.getLinePointer (y), src.getLinePointer (y), (size_t) (size * src.pixelStride));
    }
    return sheet;
}

juce::MemoryBlock encodeSpriteSheet (const juce::Image& sheet)
{
    juce::MemoryBlock block;
    juce::MemoryOutputStream out (block, false);
    juce::PNGImageFormat png;
    if (sheet.hasAlphaChannel() || ! png.writeImageToStream (sheet, out))
        return {};
    out.flush();
    return block;
}

juce::Image renderContactSheet (const juce::Image& sheet)
{
    const int size = (int) geometry::frameSize;
    const int columns = 6;
    const int rows = (numRoastFrames + columns - 1) / columns;
    const int gap = 8;
    const int label = 22;
    juce::Image contact (juce::Image::RGB, columns * (size + gap) + gap, rows * (size + gap + label) + gap,
                         true, juce::SoftwareImageType());
    juce::Graphics g (contact);
    g.fillAll (juce::Colour (0xff202224));
    g.setFont (juce::FontOptions (18.0f, juce::Font::bold));

    for (int i = 0; i < numRoastFrames; ++i)
    {
        const int x = gap + (i % columns) * (size + gap);
        const int y = gap + (i / columns) * (size + gap + label);
        g.setColour (juce::Colours::white);
        g.drawText (juce::String (i), x, y, size, label, juce::Justification::centredLeft);
        g.drawImage (sheet, x, y + label, size, size, 0, size * i, size, size);
    }
    return contact;
}
} // namespace gribb::sprites
