#pragma once

#include <cstdio>
#include <cstdlib>

#include <juce_core/juce_core.h>

#include "support/MessagePump.h"

namespace gribb::test
{
/** Real input on the X display, through xdotool, for a plug-in's window in this process. The
    message loop runs while the test waits, since an LV2 or a VST3 window is driven from it; a
    busy machine may take seconds to show what a click opens, so the test waits for the window
    itself instead of a fixed time. */

/** Runs an xdotool command (or any shell command); returns its exit status. */
inline int runX (const juce::String& command)
{
    return std::system (command.toRawUTF8());
}

/** How many windows the display shows now (mapped and viewable, at any depth). */
inline int visibleWindowCount()
{
    int count = 0;
    if (auto* list = ::popen ("xdotool search --onlyvisible --name '.*' 2>/dev/null", "r"))
    {
        char line[64];
        while (std::fgets (line, sizeof (line), list) != nullptr)
            ++count;
        ::pclose (list);
    }
    return count;
}

/** Runs the message loop until the display shows at least `count` windows, for at most ten
    seconds, and a little longer so that a new window is drawn and takes the keys; returns
    whether it showed them. */
inline bool waitForWindows (int count)
{
    for (int waited = 0; waited < 10000; waited += 100)
    {
        pumpMessages (100);
        if (visibleWindowCount() >= count)
        {
            pumpMessages (200);
            return true;
        }
    }
    return false;
}

/** Runs the command (a click that opens a popup menu), then waits for one more window; returns
    whether one opened. */
inline bool runXAndWaitForWindow (const juce::String& command)
{
    const auto before = visibleWindowCount();
    return runX (command) == 0 && waitForWindows (before + 1);
}

/** Presses the keys one after another, with the message loop running between them. */
inline bool pressKeys (const juce::StringArray& keys)
{
    for (const auto& key : keys)
    {
        if (runX ("xdotool key " + key) != 0)
            return false;
        pumpMessages (100);
    }
    return true;
}
} // namespace gribb::test
