// gribb-sprite-sheet: draws the roasting chicken's thirty frames and writes the sprite sheet the
// plug-in embeds, plus an optional contact sheet of all frames for looking at them.
//
//   gribb-sprite-sheet <sheet.png> [contact-sheet.png]
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include "SpriteSheet.h"

#include <iostream>

namespace
{
bool writeFile (const juce::File& file, const juce::MemoryBlock& bytes)
{
    return bytes.getSize() > 0 && file.getParentDirectory().createDirectory() && file.replaceWithData (bytes.getData(), bytes.getSize());
}
} // namespace

int main (int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::cerr << "usage: gribb-sprite-sheet <sheet.png> [contact-sheet.png]\n";
        return 1;
    }

    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto cwd = juce::File::getCurrentWorkingDirectory();

    const auto sheet = gribb::sprites::renderSpriteSheet();
    const auto sheetFile = cwd.getChildFile (juce::String::fromUTF8 (argv[1]));
    const auto bytes = gribb::sprites::encodeSpriteSheet (sheet);
    if (! writeFile (sheetFile, bytes))
    {
        std::cerr << "could not write " << sheetFile.getFullPathName() << "\n";
        return 2;
    }
    std::cout << "wrote " << sheetFile.getFullPathName() << " (" << bytes.getSize() << " bytes)\n";

    if (argc == 3)
    {
        juce::MemoryBlock contactBytes;
        juce::MemoryOutputStream out (contactBytes, false);
        juce::PNGImageFormat().writeImageToStream (gribb::sprites::renderContactSheet (sheet), out);
        out.flush();
        const auto contactFile = cwd.getChildFile (juce::String::fromUTF8 (argv[2]));
        if (! writeFile (contactFile, contactBytes))
        {
            std::cerr << "could not write " << contactFile.getFullPathName() << "\n";
            return 2;
        }
        std::cout << "wrote " << contactFile.getFullPathName() << "\n";
    }
    return 0;
}
