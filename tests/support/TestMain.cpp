// The test programs' entry point: JUCE's message manager exists for the whole run, as in a host.
// The run gets a configuration folder of its own (XDG_CONFIG_HOME), so that the window settings
// that the window writes (its zoom) never touch the user's and no two test programs share them.
#include <cstdlib>

#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include "ScratchFolder.h"

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    const gribb::test::ScratchXdgHome configHome ("XDG_CONFIG_HOME", "gribb-test-config");

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        result = RUN_ALL_TESTS();
        juce::DeletedAtShutdown::deleteAll();
    }

    return result;
}
