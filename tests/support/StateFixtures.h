#pragma once

// The saved states kept in tests/support/fixtures (GRIBB_SOURCE_DIR is defined by every test
// program's target), loaded as a host would hand them back.
#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

namespace gribb::test
{
/** The fixture's bytes; a missing fixture fails the test and gives an empty block. */
inline juce::MemoryBlock stateFixture (const char* name)
{
    juce::MemoryBlock block;
    const auto file = juce::File (GRIBB_SOURCE_DIR).getChildFile ("tests/support/fixtures").getChildFile (name);
    EXPECT_TRUE (file.loadFileAsData (block)) << file.getFullPathName();
    return block;
}
} // namespace gribb::test
