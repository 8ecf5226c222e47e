// Folders and environment variables that a test borrows for one scope. Test programs run side by
// side (ctest -j), so every scratch folder is made atomically under a name no other process can
// get: two programs that each picked "the next name that does not exist" could share a folder,
// and one would delete the other's files.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

namespace gribb::test
{
/** A new, empty folder under the temporary folder, whose name starts with `prefix`; made with
    mkdtemp, so it belongs to this process alone. */
inline juce::File makeScratchFolder (const char* prefix)
{
    const auto pattern = juce::File::getSpecialLocation (juce::File::tempDirectory)
                             .getChildFile (juce::String (prefix) + "-XXXXXX")
                             .getFullPathName()
                             .toStdString();
    std::string path = pattern;

    if (::mkdtemp (path.data()) == nullptr)
    {
        ADD_FAILURE_AT (__FILE__, __LINE__) << "cannot make a scratch folder " << pattern;
        return {};
    }

    return juce::File (path);
}

/** A scratch folder, removed with everything in it at the end of the scope (read-only folders
    inside are made writable first). */
struct ScratchFolder
{
    explicit ScratchFolder (const char* prefix = "gribb-scratch") : folder (makeScratchFolder (prefix)) {}

    ~ScratchFolder()
    {
        if (folder == juce::File())
            return;
        folder.setReadOnly (false, true);
        folder.deleteRecursively();
    }

    juce::File folder;

    ScratchFolder (const ScratchFolder&) = delete;
    ScratchFolder& operator= (const ScratchFolder&) = delete;
};

/** Sets an environment variable (or unsets it, for nullptr) for one scope and puts the old value back. */
struct ScopedEnvironment
{
    ScopedEnvironment (const char* variable, const char* value) : name (variable)
    {
        if (const auto* old = std::getenv (variable))
            previous = old;
        value != nullptr ? ::setenv (variable, value, 1) : ::unsetenv (variable);
    }

    ~ScopedEnvironment() { previous.has_value() ? ::setenv (name.c_str(), previous->c_str(), 1) : ::unsetenv (name.c_str()); }

    std::string name;
    std::optional<std::string> previous;

    ScopedEnvironment (const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator= (const ScopedEnvironment&) = delete;
};

/** An XDG base folder (XDG_CONFIG_HOME, XDG_DATA_HOME) pointed at a fresh scratch folder for one scope. */
struct ScratchXdgHome
{
    ScratchXdgHome (const char* variable, const char* prefix)
        : scratch (prefix), environment (variable, scratch.folder.getFullPathName().toRawUTF8()), folder (scratch.folder)
    {
    }

    ScratchFolder scratch;
    ScopedEnvironment environment;
    juce::File folder;
};
} // namespace gribb::test
