#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include <juce_audio_processors/juce_audio_processors.h>

class GribbTazoAudioProcessor;

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

/** $XDG_DATA_HOME/Gribb Tazo/Presets, or ~/.local/share/Gribb Tazo/Presets when that variable is
    unset, empty or not an absolute path (as the XDG base directory rules say). */
juce::File userPresetFolder();

/** The preset file's text for the processor's current values, under that name. */
juce::String presetText (GribbTazoAudioProcessor& processor, const juce::String& name);

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

/** Why a name cannot name a preset, or an empty string if it can. Slashes separate subfolders;
    each part must be a usable, portable file name (no "." or "..", no leading dot, none of
    \ : * ? " < > | or control characters, not too long). Non-ASCII text is fine. */
juce::String presetNameProblem (const juce::String& name);
/** The file for a name that presetNameProblem accepts: subfolders for its slashes. */
juce::File presetFileFor (const juce::File& folder, const juce::String& name);
/** The name that presetFileFor would turn into this file (its path below the folder, without
    the extension), or the file's own name if it lies elsewhere. */
juce::String presetNameOf (const juce::File& folder, const juce::File& file);

/** The presets in a folder, sorted by name; subfolders with presets of their own follow as
    sub-lists. Hidden entries, other files and files that do not read as presets are left out.
    The scan stops at a few levels of folders and a few thousand presets. */
struct PresetFolder
{
    juce::String name;
    std::vector<juce::File> presets;
    std::vector<PresetFolder> subfolders;
};
PresetFolder scanPresetFolder (const juce::File& folder);

/** Writes the preset's values through the host-notifying path, as choosing a program in the
    window does; parameters the preset does not list keep their values. */
void applyUserPreset (GribbTazoAudioProcessor& processor, const UserPreset& preset);

/** Opens a preset file and applies it; remembers it as the processor's loaded user preset.
    Returns an empty string, or a one-line message naming the file and the reason; then nothing
    has changed. */
juce::String loadUserPresetFile (GribbTazoAudioProcessor& processor, const juce::File& file);

/** Saves the processor's values as a preset under that name in the folder and remembers it as
    the loaded user preset. Returns an empty string, or a one-line message. */
juce::String saveUserPreset (GribbTazoAudioProcessor& processor, const juce::File& folder, const juce::String& name,
                             const FileReplacer& replace = renameOver);
} // namespace gribb
