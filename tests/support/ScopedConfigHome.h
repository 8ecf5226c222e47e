#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include <juce_core/juce_core.h>

namespace gribb::test
{
/** XDG_CONFIG_HOME pointed at a fresh, empty folder for one test, and everything removed
    afterwards: the window's settings file is `settingsFile()`. */
struct ScopedConfigHome
{
    ScopedConfigHome()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("gribb-config-home", {}))
    {
        folder.createDirectory();
        if (const auto* old = std::getenv ("XDG_CONFIG_HOME"))
            previous = old;
        ::setenv ("XDG_CONFIG_HOME", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~ScopedConfigHome()
    {
        previous.has_value() ? ::setenv ("XDG_CONFIG_HOME", previous->c_str(), 1) : ::unsetenv ("XDG_CONFIG_HOME");
        folder.setReadOnly (false, true); // a test may have made a folder read-only
        folder.deleteRecursively();
    }

    juce::File settingsFile() const { return folder.getChildFile ("Gribb Tazo/window.xml"); }

    juce::File folder;
    std::optional<std::string> previous;

    ScopedConfigHome (const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator= (const ScopedConfigHome&) = delete;
};
} // namespace gribb::test
