#pragma once

#include <optional>

#include <juce_core/juce_core.h>

/** The user's window settings, shared by every instance and format of the plug-in and by the
    Standalone: the zoom the user last chose. They live in a small XML file of the user's,
    `$XDG_CONFIG_HOME/Gribb Tazo/window.xml` (`~/.config/Gribb Tazo/window.xml` where
    XDG_CONFIG_HOME is unset or not an absolute path), never in the plug-in's saved state.
    A file that is missing, unreadable, not ours or holds a zoom that is not offered counts as
    no choice, silently. A write goes to a new file beside it that then replaces it in one rename,
    so that a reader never finds half a file; a write that fails changes nothing and says nothing. */
namespace gribb::windowSettings
{
juce::File file();

/** The zoom the user chose, in per cent, if the file holds one. */
std::optional<int> loadChosenZoom (const juce::File& settingsFile = file());

/** Remembers a chosen zoom; true if it was written. */
bool saveChosenZoom (int percent, const juce::File& settingsFile = file());
} // namespace gribb::windowSettings
