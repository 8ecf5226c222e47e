// The plug-in's window as a VST3 host sees it: opened through the hosted instance, at its default
// size, closed again, many times over while the audio thread renders notes.
#include <gtest/gtest.h>

#include "support/AudioThread.h"
#include "support/MessagePump.h"
#include "OfflineRenderer.h"
#include "PluginLoader.h"
#include "support/PluginBundles.h"
#include "support/XClientSetUp.h"

namespace
{
juce::Array<float> parameterValues (juce::AudioPluginInstance& plugin)
{
    juce::Array<float> values;
    for (auto* p : plugin.getParameters())
        values.add (p->getValue());
    return values;
}
} // namespace

TEST (HostedEditor, OpensAtDefaultSizeAndClosesRepeatedlyWhileAudioRuns)
{
    ASSERT_FALSE (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
        << "no X display: run this test under scripts/with-xvfb.sh";

    gribb::render::PluginLoader loader;
    juce::String error;
    auto plugin = loader.load (gribb::test::vst3Bundle(), 48000.0, 256, error);
    ASSERT_NE (plugin, nullptr) << error;
    ASSERT_TRUE (gribb::render::setOutputChannels (*plugin, 2));
    ASSERT_TRUE (plugin->hasEditor());

    plugin->prepareToPlay (48000.0, 256);
    const auto before = parameterValues (*plugin);

    {
        gribb::test::AudioThread audio (*plugin);

        for (int round = 0; round < 6; ++round)
        {
            SCOPED_TRACE (round);
            std::unique_ptr<juce::AudioProcessorEditor> editor (plugin->createEditorIfNeeded());
            ASSERT_NE (editor, nullptr);
            EXPECT_EQ (editor->getWidth(), 620);
            EXPECT_EQ (editor->getHeight(), 560);

            // Every other round the editor is shown in a desktop window, as a host parents it.
            std::unique_ptr<juce::Component> window;
            if (round % 2 == 0)
            {
                window = std::make_unique<juce::Component> ("host window");
                window->setSize (editor->getWidth(), editor->getHeight());
                window->addAndMakeVisible (*editor);
                window->addToDesktop (juce::ComponentPeer::windowHasTitleBar);
                window->setVisible (true);
            }

            gribb::test::pumpMessages (250);
            EXPECT_EQ (editor->getWidth(), 620);
            EXPECT_EQ (editor->getHeight(), 560);
            if (window != nullptr)
            {
                EXPECT_TRUE (editor->isShowing());
            }

            editor.reset();
            window.reset();
            gribb::test::pumpMessages (50);
        }

        audio.stop();
        EXPECT_GT (audio.blocksRendered(), 50);
        EXPECT_TRUE (audio.allFinite());
    }

    // Opening the window wrote no parameter.
    EXPECT_EQ (parameterValues (*plugin), before);
    plugin->releaseResources();
    EXPECT_EQ (gribb::test::xErrorCount(), 0);
}
