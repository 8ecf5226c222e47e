// The entry point of test programs that have no JUCE event loop (the engine's: the engine uses
// only JUCE's core, audio basics and DSP modules, which need no initialising).
#include <gtest/gtest.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    return RUN_ALL_TESTS();
}
