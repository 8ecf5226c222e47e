// The plug-in's window as a VST3 host sees it: opened through the hosted instance, at its default
// size, closed again, many times over while the audio thread renders notes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/MessagePump.h"
#include "OfflineRenderer.h"
#include "PluginLoader.h"
#include "support/PluginBundles.h"
#include "support/XClientSetUp.h"

namespace
{
/** Renders blocks with a few held and restarted notes on its own thread until stopped. */
class AudioThread
{
public:
    explicit AudioThread (juce::AudioPluginInstance& p) : plugin (p)
    {
        thread = std::thread ([this] { run(); });
    }

    ~AudioThread() { stop(); }

    void stop()
    {
        keepGoing = false;
        if (thread.joinable())
            thread.join();
    }

    int blocksRendered() const { return blocks.load(); }
    bool allFinite() const { return finite.load(); }

private:
    void run()
    {
        juce::AudioBuffer<float> buffer (juce::jmax (1, plugin.getTotalNumOutputChannels()), 256);
        juce::MidiBuffer midi;

        for (int n = 0; keepGoing; ++n)
        {
            midi.clear();
            if (n % 40 == 0)
                for (int note : { 48, 55, 60, 64 })
                    midi.addEvent (juce::MidiMessage::noteOn (1 + note % 16, note, 0.9f), 0);
            if (n % 40 == 30)
                midi.addEvent (juce::MidiMessage::allNotesOff (1), 0);

            buffer.clear();
            plugin.processBlock (buffer, midi);

            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                    if (! std::isfinite (buffer.getSample (ch, i)))
                        finite = false;

            ++blocks;
            std::this_thread::sleep_for (std::chrono::milliseconds (2));
        }
    }

    juce::AudioPluginInstance& plugin;
    std::atomic<bool> keepGoing { true };
    std::atomic<int> blocks { 0 };
    std::atomic<bool> finite { true };
    std::thread thread;
};

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
        AudioThread audio (*plugin);

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
