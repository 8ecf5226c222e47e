#pragma once

#include "ScratchFolder.h"

namespace gribb::test
{
/** XDG_CONFIG_HOME pointed at a fresh, empty folder for one test, and everything removed
    afterwards: the window's settings file is `settingsFile()`. */
struct ScopedConfigHome : ScratchXdgHome
{
    ScopedConfigHome() : ScratchXdgHome ("XDG_CONFIG_HOME", "gribb-config-home") {}

    juce::File settingsFile() const { return folder.getChildFile ("Gribb Tazo/window.xml"); }
};
} // namespace gribb::test
