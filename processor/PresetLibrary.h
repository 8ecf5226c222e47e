#pragma once

#include <vector>

#include <juce_core/juce_core.h>

namespace gribb
{
// The library of user preset files (processor/PresetFile.h): where they are kept, the file for a
// name and the name of a file, and the folder's scan for the window's menu. Message thread.

/** The scan lists at most this many presets, in at most this many levels of folders. */
inline constexpr int maxListedPresets = 2000;
inline constexpr int maxPresetFolderDepth = 6;

/** $XDG_DATA_HOME/Gribb Tazo/Presets, or ~/.local/share/Gribb Tazo/Presets when that variable is
    unset, empty or not an absolute path (as the XDG base directory rules say). */
juce::File userPresetFolder();

/** Why a name cannot name a preset, or an empty string if it can. Slashes separate subfolders;
    each part must be a usable, portable file name (no "." or "..", no leading dot, none of
    \ : * ? " < > | or control characters, not too long). Non-ASCII text is fine. */
juce::String presetNameProblem (const juce::String& name);
/** The file for a name that presetNameProblem accepts: subfolders for its slashes. */
juce::File presetFileFor (const juce::File& folder, const juce::String& name);
/** The name that presetFileFor would turn into this file (its path below the folder, without
    the extension), or the file's own name without the extension if it lies elsewhere. Bytes of
    the file's name that are not valid UTF-8 show as U+FFFD. The window lists and shows presets
    by this name. */
juce::String presetNameOf (const juce::File& folder, const juce::File& file);

/** The presets in a folder, sorted by name; subfolders with presets of their own follow as
    sub-lists. Hidden entries, other files and files that do not read as presets are left out.
    The scan stops at maxPresetFolderDepth levels of folders and maxListedPresets presets. */
struct PresetFolder
{
    juce::String name;
    std::vector<juce::File> presets;
    std::vector<PresetFolder> subfolders;
};
PresetFolder scanPresetFolder (const juce::File& folder);
} // namespace gribb
