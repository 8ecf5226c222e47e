#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb
{
/** A user preset is one text file, NAME.gribbpreset, holding the same XML as a saved state: a
    PARAMETERS element with one PARAM child (id, plain value) per parameter, plus the preset's
    name and the format version as attributes of the root. It is a sound only: nothing but the
    parameters is kept (no program index, no MIDI bindings). The same files serve every format
    and the Standalone. All of this runs on the message thread, never on the audio thread. */
inline constexpr int userPresetFormatVersion = 1;
inline constexpr const char* userPresetExtension = ".gribbpreset";
inline constexpr const char* presetNameAttribute = "presetName";
inline constexpr const char* presetFormatAttribute = "presetFormat";

/** The values read from a preset: (index into parameterTable, plain value), each parameter at
    most once, in the file's order. Parameters the file does not list are absent. */
struct UserPreset
{
    juce::String name;
    std::vector<std::pair<int, float>> values;
};

/** A preset read from text or a file, or the one-line reason why it could not be. */
struct PresetReadResult
{
    std::optional<UserPreset> preset;
    juce::String problem;
};

/** Text taken from a file (or a file's name) as a message may quote it: on one line, with each
    control character written as an escape (\n, \r, \t or \xNN) and a backslash as \\, and cut
    to at most maxChars characters, ending in "..." when cut. */
juce::String oneLineText (const juce::String& text, int maxChars = 40);

/** The preset file's text for the parameter state's current values, under that name. */
juce::String presetText (juce::AudioProcessorValueTreeState& parameters, const juce::String& name);

/** Reads a preset's text through the same hardened reader as the saved state. Values are taken
    as the saved state takes them (plain values, clamped into range when applied); unknown IDs,
    repeated IDs and values that are not numbers are skipped. */
PresetReadResult readPresetText (const void* data, size_t numBytes);
PresetReadResult readPresetFile (const juce::File& file);

/** Replaces `to` by `from` in one step (POSIX rename); false if it could not. */
using FileReplacer = std::function<bool (const juce::File& from, const juce::File& to)>;
bool renameOver (const juce::File& from, const juce::File& to);

/** Writes the text to `target` atomically: into a hidden temporary file beside it, flushed to the
    disk, then renamed over the target. The target's folder is created if needed. On any failure
    the temporary file is removed and an existing target is left as it was. Returns an empty
    string on success, otherwise the reason. */
juce::String writePresetFile (const juce::File& target, const juce::String& text,
                              const FileReplacer& replace = renameOver);
} // namespace gribb
