// The generator still draws the committed sheet: the drawing code and the file never drift
// apart. Compared pixel for pixel, because the PNG bytes also depend on the system's zlib.
#include "CommittedSheet.h"

#include "SpriteSheet.h"

#include <gtest/gtest.h>

TEST (SpriteSheetReproduction, GeneratorDrawsTheCommittedSheetPixelForPixel)
{
    const auto& committed = gribb::test::committedSheet();
    ASSERT_TRUE (committed.isValid());

    const auto drawn = gribb::sprites::renderSpriteSheet();
    ASSERT_EQ (drawn.getWidth(), committed.getWidth());
    ASSERT_EQ (drawn.getHeight(), committed.getHeight());

    int differing = 0;
    int firstFrame = -1;
    for (int y = 0; y < drawn.getHeight(); ++y)
        for (int x = 0; x < drawn.getWidth(); ++x)
            if (drawn.getPixelAt (x, y) != committed.getPixelAt (x, y))
            {
                if (differing++ == 0)
                    firstFrame = y / gribb::test::spriteFrameSize;
            }

    EXPECT_EQ (differing, 0) << "first difference in frame " << firstFrame
                             << "; run scripts/regenerate-sprites.sh after changing the drawing";
}

TEST (SpriteSheetReproduction, EncodedSheetIsRgbAndDecodesToTheSamePixels)
{
    const auto drawn = gribb::sprites::renderSpriteSheet();
    EXPECT_FALSE (drawn.hasAlphaChannel());

    const auto bytes = gribb::sprites::encodeSpriteSheet (drawn);
    ASSERT_GT (bytes.getSize(), 33u);
    const auto* header = static_cast<const juce::uint8*> (bytes.getData());
    EXPECT_EQ (header[24], 8);   // bit depth
    EXPECT_EQ (header[25], 2);   // colour type: RGB
    EXPECT_EQ (header[28], 0);   // not interlaced

    const auto decoded = juce::ImageFileFormat::loadFrom (bytes.getData(), bytes.getSize());
    ASSERT_TRUE (decoded.isValid());
    for (int y = 0; y < drawn.getHeight(); y += 7)
        for (int x = 0; x < drawn.getWidth(); x += 3)
            ASSERT_EQ (decoded.getPixelAt (x, y), drawn.getPixelAt (x, y)) << x << "," << y;
}

TEST (SpriteSheetReproduction, DrawingIsTheSameOnEveryRun)
{
    const auto a = gribb::sprites::encodeSpriteSheet (gribb::sprites::renderSpriteSheet());
    const auto b = gribb::sprites::encodeSpriteSheet (gribb::sprites::renderSpriteSheet());
    EXPECT_TRUE (a == b);
}
