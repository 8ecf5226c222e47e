#pragma once

#include <juce_core/juce_core.h>

#include "PitchOptions.h"

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
    std::optional<juce::String> program; // an index in --list-programs' order, or a name
    std::vector<std::pair<juce::String, juce::String>> parameters; // (id or name, plain value)
    bool listPrograms = false;
    bool listParameters = false;
    bool listHostParameters = false;    // --list-all-params: also what a host adds of its own
    bool makeFolders = false;           // --mkdir: create the output's folder when it is missing

    // Saved states and learned controllers.
    juce::File stateFile;               // --state: a state the plug-in saved, restored first
    juce::File saveStateFile;           // --save-state: where to write the state, instead of rendering
    std::vector<std::pair<int, juce::String>> learned;   // --learn CC=TARGET
    std::vector<std::pair<int, juce::String>> automated; // --automate CC=PARAM
    bool showHelp = false;
    PitchOptions pitch;                 // --bend-range, --mpe, --scl, --kbm

    /** True when nothing is rendered: a list is printed or the state is saved instead. */
    bool onlyLists() const noexcept { return listPrograms || listParameters || saveStateFile != juce::File(); }
};

/** Parses the command line (without the program name). Returns false with a message for an
    unknown option, a missing value or a value out of range. */
bool parseRenderOptions (const juce::StringArray& args, RenderOptions& options, juce::String& error);

juce::String renderUsage();
} // namespace gribb::render
