#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <utility>
#include <vector>

namespace gribb::render
{
struct RenderOptions
{
    juce::File plugin;                 // empty: the default bundle the build made
    juce::File midiFile;               // empty: the built-in demo phrase
    juce::File output { juce::File::getCurrentWorkingDirectory().getChildFile ("gribb-render.wav") };
    double sampleRate = 48000.0;
    int blockSize = 512;
    int channels = 2;
    double tailSeconds = 2.0;
    std::optional<int> program;
    std::vector<std::pair<juce::String, juce::String>> parameters; // (id or name, plain value)
    bool listParameters = false;
    bool showHelp = false;
};

/** Parses the command line (without the program name). Returns false with a message for an
    unknown option, a missing value or a value out of range. */
bool parseRenderOptions (const juce::StringArray& args, RenderOptions& options, juce::String& error);

juce::String renderUsage();
} // namespace gribb::render
