#include "CommittedSheet.h"

namespace gribb::test
{
juce::File committedSheetFile()
{
    return juce::File (GRIBB_SOURCE_DIR).getChildFile ("resources/gribb_roast_sprites.png");
}

const juce::Image& committedSheet()
{
    static const juce::Image sheet = juce::ImageFileFormat::loadFrom (committedSheetFile());
    return sheet;
}

juce::Colour framePixel (const juce::Image& sheet, int frame, int x, int y)
{
    return sheet.getPixelAt (x, frame * spriteFrameSize + y);
}
} // namespace gribb::test
