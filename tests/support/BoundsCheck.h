// Checks a placed component's bounds against the expected rectangle, naming it on failure.
#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace gribb::test
{
struct Placed
{
    const char* what;
    juce::Rectangle<int> expected;
};

inline void expectBounds (juce::Component& c, const Placed& p)
{
    EXPECT_EQ (c.getBounds(), p.expected) << p.what << ": got " << c.getBounds().toString() << ", expected "
                                          << p.expected.toString();
}
} // namespace gribb::test
