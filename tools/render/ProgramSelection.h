#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace gribb::render
{
/** A plug-in's programs in the order gribb-render numbers them. A VST3 plug-in's list is taken in
    the plug-in's own order. An LV2 host gets a plug-in's presets in no defined order (the order of
    its RDF store), so they are sorted by name, which keeps a list numbered in its names ("01.",
    "02.", ...) in that order. */
struct ProgramList
{
    juce::String rule;                // how the list is ordered, said to the user
    juce::StringArray names;          // in gribb-render's order
    std::vector<int> pluginIndices;   // for each entry, the plug-in's own program index

    int size() const noexcept { return names.size(); }
};

ProgramList listPrograms (juce::AudioPluginInstance& plugin);

/** Finds a program by its number in the list (counted from 0), its whole name (any case), or the
    number its name starts with as written there ("05" or "05." for "05. Final Destination"; a
    number without a leading zero or a dot is always a position in the list). Returns the list
    position, or -1 with a reason in `error`. */
int findProgram (const ProgramList& programs, const juce::String& text, juce::String& error);

/** Applies the plug-in's program `pluginIndex` as a fresh instance would take it. The plug-in must
    be prepared; it is given a few silent one-sample blocks, because a host's parameter changes
    reach a plug-in only with its next process call.

    Hosts pass a program choice on only when it differs from the current program, so choosing the
    current one (program 0 of a fresh VST3 instance) would do nothing. Then another program is
    chosen first and every parameter the plug-in owns is put back to its value from before, so
    that nothing of the other program is left behind when the one asked for is applied. */
void selectProgram (juce::AudioPluginInstance& plugin, int pluginIndex);

/** One silent one-sample block without MIDI, which hands the plug-in the host's pending
    parameter changes. */
void flushParameterChanges (juce::AudioPluginInstance& plugin);
} // namespace gribb::render

namespace gribb::render
{
/** Readies a loaded plug-in for a render as gribb-render does: prepares it, applies program
    `listIndex` of `programs` (none for -1) and then the (ID or name, plain value) settings, hands
    every change to the plug-in, and releases it again, so that the render starts from a plug-in
    that has played nothing. Returns false with a reason for an unknown parameter or a bad value. */
bool setUpForRender (juce::AudioPluginInstance& plugin, const ProgramList& programs, int listIndex,
                     const std::vector<std::pair<juce::String, juce::String>>& settings,
                     double sampleRate, int blockSize, juce::String& error);
} // namespace gribb::render
