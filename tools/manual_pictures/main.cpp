// gribb-manual-pictures: draws the manual's offscreen pictures from the plug-in's own code.
//
//   gribb-manual-pictures <output folder>
//
// Writes editor-main-page.png, editor-technical-page.png, macro-knob-positions.png and
// macro-maps.png into the folder.
#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include "EditorSnapshots.h"
#include "MacroMapPlot.h"
#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"

#include <iostream>
#include <memory>

namespace
{
bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: gribb-manual-pictures <output folder>\n";
        return 1;
    }

    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (juce::String::fromUTF8 (argv[1]));
    if (! folder.createDirectory())
    {
        std::cerr << "gribb-manual-pictures: cannot create " << folder.getFullPathName() << "\n";
        return 2;
    }

    GribbTazoAudioProcessor processor;
    auto editor = std::make_unique<GribbTazoAudioProcessorEditor> (processor);

    using namespace gribb::pictures;
    const std::pair<const char*, juce::Image> pictures[] {
        { "editor-main-page.png", snapshotMainPage (processor, *editor, 0.85f) },
        { "editor-technical-page.png", snapshotTechnicalPage (*editor) },
        { "macro-knob-positions.png", snapshotMacroKnobPositions (*editor) },
        { "macro-maps.png", plotMacroMaps (processor, *editor) },
    };

    for (const auto& [name, image] : pictures)
    {
        const auto file = folder.getChildFile (name);
        if (! image.isValid() || ! writePng (image, file))
        {
            std::cerr << "gribb-manual-pictures: cannot write " << file.getFullPathName() << "\n";
            return 2;
        }
        std::cout << "wrote " << file.getFullPathName() << " (" << image.getWidth() << " x " << image.getHeight() << ")\n";
    }

    editor.reset();
    return 0;
}
