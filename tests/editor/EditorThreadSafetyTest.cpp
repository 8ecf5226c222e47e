// The plug-in's threads at work together, for ThreadSanitizer: an audio thread renders notes
// while the message thread opens and closes the window (both pages, knobs turned, the chicken's
// timer running), picks programs as a host and in the window, learns and forgets MIDI controllers
// that the audio thread turns, and saves and restores the state, and a third thread writes
// parameters as a host's automation does.
#include <gtest/gtest.h>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/AudioThread.h"
#include "support/AutomationThread.h"
#include "support/MessagePump.h"

TEST (EditorThreads, WindowProgramsStateAndAutomationWhileAudioRuns)
{
    GribbTazoAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    gribb::test::AudioThread audio (processor, true);
    gribb::test::AutomationThread automation (processor);

    for (int round = 0; round < 6; ++round)
    {
        SCOPED_TRACE (round);
        auto editor = std::make_unique<GribbTazoAudioProcessorEditor> (processor);

        // Knobs turned by the user: the macro knobs write their targets, the technical page's
        // attachments write theirs.
        editor->getCrushKnob().setValue (0.1 * (round + 1), juce::sendNotificationSync);
        editor->getWarpKnob().setValue (1.0 - 0.1 * round, juce::sendNotificationSync);
        editor->showTechnicalPage (true);
        editor->getTechnicalPanel().getKnob (8).slider.setValue (300.0 + 100.0 * round, juce::sendNotificationSync);
        gribb::test::pumpMessages (60); // the chicken's timer, the attachments' async updates

        // Programs from the window and from the host.
        editor->showTechnicalPage (false);
        editor->getProgramBox().setSelectedItemIndex ((round * 7) % 20, juce::sendNotificationSync);
        processor.setCurrentProgram ((round * 3 + 1) % 20);
        gribb::test::pumpMessages (60);

        // A controller learned to a macro knob or a parameter, turned on the audio thread, its
        // moves written by the message thread and followed by the knob, then forgotten.
        const int target = round % 2 == 0 ? gribb::crushLearnTarget : gribb::cutoff;
        processor.midiLearn.startLearning (target);
        gribb::test::pumpMessages (60);

        // The host saves and restores the state with the window open.
        juce::MemoryBlock state;
        processor.getStateInformation (state);
        processor.setStateInformation (state.getData(), (int) state.getSize());
        gribb::test::pumpMessages (60);

        processor.midiLearn.forget (target);
        editor.reset();
        gribb::test::pumpMessages (20);
    }

    audio.stop();
    EXPECT_GT (audio.blocksRendered(), 20);
    EXPECT_TRUE (audio.allFinite());
    EXPECT_GT (automation.writes(), 20);
}
