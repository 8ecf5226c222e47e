// The built VST3 with a host's threads at work together, for ThreadSanitizer: an audio thread
// renders notes through the wrapper while the message thread opens and closes the window in a
// desktop window (both pages, knobs turned, the chicken animating), picks programs through the
// host's program list and in the window, and saves and restores the state, and a third thread
// writes parameters as the host's automation does.
#include <gtest/gtest.h>

#include "support/AudioThread.h"
#include "support/AutomationThread.h"
#include "support/HostedPlugin.h"
#include "support/MessagePump.h"
#include "support/XClientSetUp.h"

namespace
{
/** The first child of the given type, searched depth first. */
template <typename ComponentType>
ComponentType* findChild (juce::Component& parent)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* found = dynamic_cast<ComponentType*> (child))
            return found;
        if (auto* found = findChild<ComponentType> (*child))
            return found;
    }
    return nullptr;
}
} // namespace

TEST (Vst3Threads, WindowProgramsStateAndAutomationWhileAudioRuns)
{
    ASSERT_FALSE (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
        << "no X display: run this test under scripts/with-xvfb.sh";

    gribb::test::HostedPlugin hosted (gribb::test::vst3Bundle(), 48000.0, 256);
    ASSERT_NE (hosted.instance, nullptr) << hosted.error;
    auto& plugin = *hosted.instance;
    ASSERT_TRUE (gribb::render::setOutputChannels (plugin, 2));
    plugin.prepareToPlay (48000.0, 256);

    {
        gribb::test::AudioThread audio (plugin, true);
        gribb::test::AutomationThread automation (plugin);

        for (int round = 0; round < 4; ++round)
        {
            SCOPED_TRACE (round);
            std::unique_ptr<juce::AudioProcessorEditor> editor (plugin.createEditorIfNeeded());
            ASSERT_NE (editor, nullptr);

            juce::Component window ("host window");
            window.setSize (editor->getWidth(), editor->getHeight());
            window.addAndMakeVisible (*editor);
            window.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
            window.setVisible (true);
            gribb::test::pumpMessages (150);

            // The window's own controls, reached through the wrapper's editor: the macro knobs, the
            // page button and the program selector.
            if (auto* knob = findChild<juce::Slider> (*editor))
                knob->setValue (knob->getMinimum() + (knob->getMaximum() - knob->getMinimum()) * 0.2 * round,
                                juce::sendNotificationSync);
            if (auto* page = findChild<juce::TextButton> (*editor))
            {
                page->triggerClick();
                gribb::test::pumpMessages (80);
                page->triggerClick();
            }
            if (auto* programs = findChild<juce::ComboBox> (*editor))
                programs->setSelectedItemIndex ((round * 7 + 2) % 20, juce::sendNotificationSync);
            gribb::test::pumpMessages (80);

            // The host's program list and its project state.
            plugin.setCurrentProgram ((round * 5 + 3) % 20);
            juce::MemoryBlock state;
            plugin.getStateInformation (state);
            plugin.setStateInformation (state.getData(), (int) state.getSize());
            gribb::test::pumpMessages (80);

            window.removeChildComponent (editor.get());
            editor.reset();
            gribb::test::pumpMessages (30);
        }

        audio.stop();
        EXPECT_GT (audio.blocksRendered(), 20);
        EXPECT_TRUE (audio.allFinite());
        EXPECT_GT (automation.writes(), 20);
    }

    plugin.releaseResources();
    EXPECT_EQ (gribb::test::xErrorCount(), 0);
}
