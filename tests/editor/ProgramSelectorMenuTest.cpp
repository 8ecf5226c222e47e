// The program selector's real menu on a display: opened as a click opens it, then answered with
// the keyboard. The menu opens with the shown program highlighted; Return chooses it, which
// applies that program again, and Escape closes the menu without a choice.
#include <gtest/gtest.h>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/MessagePump.h"

namespace
{
/** The menu window: in a plug-in, JUCE opens menus inside the plug-in's window, as a child that
    was not there before; on a desktop, as a window of its own. */
juce::Component* findMenuWindow (juce::Component& editor, const juce::Array<juce::Component*>& before)
{
    for (auto* child : editor.getChildren())
        if (! before.contains (child) && child->isShowing())
            return child;

    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* c = desktop.getComponent (i); c != &editor && c->isShowing())
            return c;
    return nullptr;
}
} // namespace

TEST (ProgramSelectorMenu, ReturnOnTheShownProgramAppliesItAgainAndEscapeChangesNothing)
{
    struct Case { const char* name; int key; bool applies; };
    const Case cases[] = {
        { "Return chooses the highlighted, shown program", juce::KeyPress::returnKey, true },
        { "Escape closes the menu", juce::KeyPress::escapeKey, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);
        editor.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor.setVisible (true);
        gribb::test::pumpMessages (500);

        // A new window shows program 1, which was never applied; the cutoff is set by hand too.
        auto& cutoff = *processor.parameters.getParameter ("cutoff");
        cutoff.setValueNotifyingHost (0.1f);
        auto& box = editor.getProgramBox();
        ASSERT_EQ (box.getSelectedId(), 1);

        const auto before = editor.getChildren();
        box.showPopup(); // the menu window exists at once; a display without focus would close it soon
        auto* menu = findMenuWindow (editor, before);
        ASSERT_NE (menu, nullptr) << "the menu did not open";

        menu->keyPressed (juce::KeyPress (c.key));
        gribb::test::pumpMessages (200);

        EXPECT_EQ (findMenuWindow (editor, before), nullptr) << "the menu is still open";
        EXPECT_EQ (box.getSelectedId(), 1);
        const auto programCutoff = GribbTazoAudioProcessor::getProgramValues (0).at ("cutoff");
        const auto expected = c.applies ? programCutoff : cutoff.convertFrom0to1 (0.1f);
        EXPECT_NEAR (processor.parameters.getRawParameterValue ("cutoff")->load(), expected, 0.1f);
        EXPECT_NEAR (processor.parameters.getRawParameterValue ("oscType")->load(), c.applies ? 2.0f : 0.0f, 1.0e-6f);

        editor.removeFromDesktop();
    }
}
