// The committed sprite sheet's format, read from the PNG bytes themselves and from the decoded
// image: the window slices it into 30 frames of 256 x 256 and draws them without a background.
#include "CommittedSheet.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
using namespace gribb::test;

juce::uint32 bigEndian32 (const juce::uint8* p)
{
    return ((juce::uint32) p[0] << 24) | ((juce::uint32) p[1] << 16) | ((juce::uint32) p[2] << 8) | (juce::uint32) p[3];
}

struct Chunk
{
    juce::String type;
    juce::uint32 length;
    const juce::uint8* data;
};

/** The file's chunks in order; stops at a chunk that runs past the end of the file. */
std::vector<Chunk> readChunks (const juce::MemoryBlock& file)
{
    std::vector<Chunk> chunks;
    const auto* bytes = static_cast<const juce::uint8*> (file.getData());
    size_t pos = 8;
    while (pos + 12 <= file.getSize())
    {
        const auto length = bigEndian32 (bytes + pos);
        if (pos + 12 + length > file.getSize())
            break;
        chunks.push_back ({ juce::String (reinterpret_cast<const char*> (bytes + pos + 4), 4), length, bytes + pos + 8 });
        pos += 12 + length;
    }
    return chunks;
}

juce::MemoryBlock committedBytes()
{
    juce::MemoryBlock bytes;
    committedSheetFile().loadFileAsData (bytes);
    return bytes;
}

bool nearBackground (juce::Colour c, int tolerance)
{
    return std::abs (c.getRed() - 0x7a) <= tolerance && std::abs (c.getGreen() - 0x7c) <= tolerance
        && std::abs (c.getBlue() - 0x7d) <= tolerance;
}

int channelDistance (juce::Colour a, juce::Colour b)
{
    return juce::jmax (std::abs (a.getRed() - b.getRed()), std::abs (a.getGreen() - b.getGreen()),
                       std::abs (a.getBlue() - b.getBlue()));
}
} // namespace

TEST (SpriteSheetFormat, HeaderSaysEightBitRgbNotInterlaced256By7680)
{
    const auto file = committedBytes();
    ASSERT_GT (file.getSize(), 33u) << committedSheetFile().getFullPathName();
    const auto* bytes = static_cast<const juce::uint8*> (file.getData());

    const juce::uint8 signature[] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };
    ASSERT_EQ (0, std::memcmp (bytes, signature, 8));

    const auto chunks = readChunks (file);
    ASSERT_FALSE (chunks.empty());
    const auto& ihdr = chunks.front();
    ASSERT_EQ (ihdr.type, "IHDR");
    ASSERT_EQ (ihdr.length, 13u);
    EXPECT_EQ (bigEndian32 (ihdr.data), 256u);          // width
    EXPECT_EQ (bigEndian32 (ihdr.data + 4), 7680u);     // height: 30 frames of 256
    EXPECT_EQ (ihdr.data[8], 8);                         // bit depth
    EXPECT_EQ (ihdr.data[9], 2);                         // colour type 2: RGB, no alpha
    EXPECT_EQ (ihdr.data[10], 0);                        // deflate
    EXPECT_EQ (ihdr.data[11], 0);                        // adaptive filtering
    EXPECT_EQ (ihdr.data[12], 0);                        // not interlaced
}

TEST (SpriteSheetFormat, ChunksAreCompleteAndNoneAddsTransparency)
{
    const auto file = committedBytes();
    const auto chunks = readChunks (file);
    ASSERT_FALSE (chunks.empty());
    EXPECT_EQ (chunks.back().type, "IEND") << "the file is truncated or has trailing data";

    size_t total = 8;
    for (const auto& c : chunks)
    {
        total += 12 + c.length;
        EXPECT_NE (c.type, "tRNS") << "a transparency chunk would make background pixels see-through";
        EXPECT_NE (c.type, "PLTE");
    }
    EXPECT_EQ (total, file.getSize());
}

TEST (SpriteSheetFormat, DecodesToThirtyOpaqueFrames)
{
    const auto& sheet = committedSheet();
    ASSERT_TRUE (sheet.isValid());
    EXPECT_EQ (sheet.getWidth(), spriteFrameSize);
    EXPECT_EQ (sheet.getHeight(), spriteFrameSize * spriteFrameCount);

    int transparent = 0;
    for (int y = 0; y < sheet.getHeight(); ++y)
        for (int x = 0; x < sheet.getWidth(); ++x)
            transparent += sheet.getPixelAt (x, y).getAlpha() != 255 ? 1 : 0;
    EXPECT_EQ (transparent, 0);
}

TEST (SpriteSheetFormat, EveryFrameHasAFlatGreyBackgroundAtItsCorners)
{
    // An 8 x 8 block in each corner of each frame: all the same grey, within a few steps of
    // (0x7a, 0x7c, 0x7d).
    const auto& sheet = committedSheet();
    ASSERT_TRUE (sheet.isValid());
    const int block = 8;
    const int far = spriteFrameSize - block;

    for (int frame = 0; frame < spriteFrameCount; ++frame)
    {
        const auto reference = framePixel (sheet, frame, 0, 0);
        EXPECT_TRUE (nearBackground (reference, 4)) << "frame " << frame << ": " << reference.toDisplayString (false);

        for (auto corner : { juce::Point<int> (0, 0), juce::Point<int> (far, 0), juce::Point<int> (0, far), juce::Point<int> (far, far) })
            for (int y = 0; y < block; ++y)
                for (int x = 0; x < block; ++x)
                    ASSERT_EQ (framePixel (sheet, frame, corner.x + x, corner.y + y), reference)
                        << "frame " << frame << " at " << corner.x + x << "," << corner.y + y;
    }
}

TEST (SpriteSheetFormat, EveryFrameHasTheFigureInItsCentre)
{
    // Most of the 32 x 32 pixels around the middle of each frame are clearly not background.
    const auto& sheet = committedSheet();
    ASSERT_TRUE (sheet.isValid());

    for (int frame = 0; frame < spriteFrameCount; ++frame)
    {
        const auto background = framePixel (sheet, frame, 0, 0);
        int figure = 0;
        for (int y = 112; y < 144; ++y)
            for (int x = 112; x < 144; ++x)
                figure += channelDistance (framePixel (sheet, frame, x, y), background) > 24 ? 1 : 0;
        EXPECT_GT (figure, 32 * 32 * 3 / 4) << "frame " << frame;
    }
}

TEST (SpriteSheetFormat, BackgroundShadeVariesOnlyByAFewStepsAcrossFrames)
{
    const auto& sheet = committedSheet();
    ASSERT_TRUE (sheet.isValid());
    int lightest = 0, darkest = 255;
    for (int frame = 0; frame < spriteFrameCount; ++frame)
    {
        const int red = framePixel (sheet, frame, 0, 0).getRed();
        lightest = juce::jmax (lightest, red);
        darkest = juce::jmin (darkest, red);
    }
    EXPECT_LE (lightest - darkest, 6);
}
