// The Standalone window undoes a squeeze of its editor by the window manager's late answers, and
// nothing else: a page switch, a larger size or an unchanged one stays.
#include <gtest/gtest.h>

#include "standalone/EditorSqueeze.h"

TEST (EditorSqueeze, OnlyASmallerSizeAtTheKeptAspectRatioIsASqueeze)
{
    struct Case
    {
        const char* what;
        juce::Rectangle<int> size, kept;
        bool squeezed;
    };
    const juce::Rectangle<int> mainPage (620, 560), technicalPage (980, 640);
    const Case cases[] = {
        { "a little smaller, as a busy window manager left it", { 614, 555 }, mainPage, true },
        { "the smallest size the main page takes", { 480, 434 }, mainPage, true },
        { "the technical page squeezed", { 735, 480 }, technicalPage, true },
        { "unchanged", mainPage, mainPage, false },
        { "a switch to the technical page", technicalPage, mainPage, false },
        { "a switch back to the main page", mainPage, technicalPage, false },
        { "larger, as a drag makes it", { 700, 632 }, mainPage, false },
        { "narrower only", { 600, 560 }, mainPage, false },
        { "empty", {}, mainPage, false },
        { "nothing kept", { 614, 555 }, {}, false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (EditorSqueeze::isSqueezed (c.size, c.kept), c.squeezed) << c.what;
}
