// What the window does: macro maps, the program selector, the page switch and the chicken's frame
// choice.
#include <gtest/gtest.h>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/MessagePump.h"
#include "support/ProcessorTestHelpers.h"
#include "support/ScratchFolder.h"
#include "processor/UserPresets.h"

using gribb::test::plainValue;

namespace
{
/** Remembers every parameter change the host would be told about. */
struct HostNotifications : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float) override { changed.add (index); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    juce::Array<int> changed;
};

struct MacroCase
{
    bool crush;
    float position;
    std::vector<std::pair<const char*, float>> expected;
};

const MacroCase macroCases[] = {
    { true, 0.0f, { { "bitDepth", 16.0f }, { "drive", 1.0f }, { "hardClip", 0.0f } } },
    { true, 0.5f, { { "bitDepth", 9.5f }, { "drive", 20.5f }, { "hardClip", 0.425f } } },
    { true, 1.0f, { { "bitDepth", 3.0f }, { "drive", 40.0f }, { "hardClip", 0.85f } } },
    { false, 0.0f, { { "lfoRate", 0.5f }, { "lfoToFm", 0.0f }, { "fmIndex", 0.0f }, { "lfoToCutoff", 0.0f } } },
    { false, 0.5f, { { "lfoRate", 9.25f }, { "lfoToFm", 0.5f }, { "fmIndex", 7.0f }, { "lfoToCutoff", 0.4f } } },
    { false, 1.0f, { { "lfoRate", 18.0f }, { "lfoToFm", 1.0f }, { "fmIndex", 14.0f }, { "lfoToCutoff", 0.8f } } },
};
} // namespace

TEST (EditorBehaviour, MacroKnobsWriteTheirTargetsThroughTheHost)
{
    for (const auto& c : macroCases)
    {
        SCOPED_TRACE ((c.crush ? "CRUSH at " : "WARP at ") + juce::String (c.position));
        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);

        // Start every target away from the value the knob will write.
        for (const auto& [id, value] : c.expected)
            processor.parameters.getParameter (id)->setValueNotifyingHost (value > 0.5f ? 0.0f : 0.9f);

        HostNotifications host;
        processor.addListener (&host);
        auto& knob = c.crush ? editor.getCrushKnob() : editor.getWarpKnob();
        // A move away and back, so that position 0 is a change of value as well.
        knob.setValue (0.25, juce::dontSendNotification);
        knob.setValue (c.position, juce::sendNotificationSync);
        processor.removeListener (&host);

        for (const auto& [id, value] : c.expected)
        {
            EXPECT_NEAR (plainValue (processor, id), value, 1.0e-4f * juce::jmax (1.0f, value)) << id;
            const auto index = processor.parameters.getParameter (id)->getParameterIndex();
            EXPECT_TRUE (host.changed.contains (index)) << id << " was not written through the host";
        }
    }
}

TEST (EditorBehaviour, EachMacroWritesOnlyItsOwnTargets)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);

    editor.applyCrush (1.0f);
    EXPECT_FLOAT_EQ (plainValue (processor, "lfoRate"), 2.0f);
    EXPECT_FLOAT_EQ (plainValue (processor, "fmIndex"), 0.0f);

    editor.applyWarp (1.0f);
    EXPECT_NEAR (plainValue (processor, "bitDepth"), 3.0f, 1.0e-4f);
    EXPECT_FLOAT_EQ (plainValue (processor, "cutoff"), 12000.0f);
}

TEST (EditorBehaviour, OpeningTheWindowWritesNoParameterAndShowsKnobsAtZero)
{
    GribbTazoAudioProcessor processor;
    processor.parameters.getParameter ("drive")->setValueNotifyingHost (0.7f);
    processor.parameters.getParameter ("cutoff")->setValueNotifyingHost (0.3f);

    juce::Array<float> before;
    for (auto* p : processor.getParameters())
        before.add (p->getValue());

    HostNotifications host;
    processor.addListener (&host);
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
        ASSERT_NE (dynamic_cast<GribbTazoAudioProcessorEditor*> (editor.get()), nullptr);
        auto& ours = static_cast<GribbTazoAudioProcessorEditor&> (*editor);
        EXPECT_EQ (ours.getCrushKnob().getValue(), 0.0);
        EXPECT_EQ (ours.getWarpKnob().getValue(), 0.0);
        ours.showTechnicalPage (true);
        gribb::test::pumpMessages (50);
    }
    processor.removeListener (&host);

    EXPECT_TRUE (host.changed.isEmpty());
    for (int i = 0; i < before.size(); ++i)
        EXPECT_EQ (processor.getParameters()[i]->getValue(), before[i]) << i;
}

namespace
{
/** A processor that records the program changes the window asks for. */
struct RecordingProcessor : GribbTazoAudioProcessor
{
    int getCurrentProgram() override { return current; }
    void setCurrentProgram (int index) override { requested.add (index); }
    void selectProgram (int index) override { requested.add (index); }

    int current = 0;
    juce::Array<int> requested;
};

int numListedPrograms() { return GribbTazoAudioProcessor::getProgramNames().size(); }
} // namespace

TEST (EditorBehaviour, ProgramSelectorListsTheProgramsAndShowsTheCurrentOne)
{
    const auto names = GribbTazoAudioProcessor::getProgramNames();
    RecordingProcessor processor;
    processor.current = names.size() - 1;
    GribbTazoAudioProcessorEditor editor (processor);
    auto& box = editor.getProgramBox();

    EXPECT_EQ (box.getNumItems(), numListedPrograms());
    for (int i = 0; i < box.getNumItems(); ++i)
    {
        EXPECT_EQ (box.getItemId (i), i + 1);
        EXPECT_EQ (box.getItemText (i), names[i]);
    }

    EXPECT_EQ (box.getSelectedId(), names.size());
    EXPECT_TRUE (processor.requested.isEmpty()) << "opening the window must not change the program";

    // A later program change by the host shows within one tick of the window's timer.
    processor.current = 0;
    gribb::test::pumpMessages (100);
    EXPECT_EQ (box.getSelectedId(), 1);
    EXPECT_TRUE (processor.requested.isEmpty()) << "following the host must not change the program";
}

TEST (EditorBehaviour, ChoosingAProgramSelectsIt)
{
    RecordingProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    auto& box = editor.getProgramBox();
    const auto last = box.getNumItems();
    ASSERT_GE (last, 1);

    // Item ID n is program n - 1: the last item, then (with the factory table) the third.
    box.setSelectedId (0, juce::dontSendNotification);
    box.setSelectedId (last, juce::sendNotificationSync);
    juce::Array<int> expected { last - 1 };
    if (last >= 3)
    {
        box.setSelectedId (3, juce::sendNotificationSync);
        expected.add (2);
    }

    EXPECT_EQ (processor.requested, expected);
}

// ComboBox reports only a change of item; the selector reports every choice made in its menu, so
// choosing the program it already shows applies that program again, over edits made since.
TEST (EditorBehaviour, ChoosingTheShownProgramAppliesItAgain)
{
    struct Case { const char* name; int programBefore; bool editsFirst; };
    const Case cases[] = {
        { "a new window shows program 1, never applied", -1, false },
        { "program 9 chosen in the window, then edited by hand", 8, true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);
        auto& box = editor.getProgramBox();

        if (c.programBefore >= 0)
            box.menuFinished (c.programBefore + 1);

        auto& cutoff = *processor.parameters.getParameter ("cutoff");
        if (c.editsFirst)
            cutoff.setValueNotifyingHost (0.1f);

        const int shown = box.getSelectedId();
        const int program = shown - 1;
        box.menuFinished (shown);

        EXPECT_EQ (box.getSelectedId(), shown);
        EXPECT_EQ (processor.getCurrentProgram(), program);
        for (const auto& [id, value] : GribbTazoAudioProcessor::getProgramValues (program))
            EXPECT_NEAR (processor.parameters.getRawParameterValue (id)->load(), value,
                         1.0e-4f * std::max (1.0f, std::abs (value))) << id;
    }

    // A menu closed without a choice changes nothing.
    RecordingProcessor recording;
    GribbTazoAudioProcessorEditor editor (recording);
    editor.getProgramBox().menuFinished (0);
    EXPECT_TRUE (recording.requested.isEmpty());
}

TEST (EditorBehaviour, PageButtonSwitchesToTheTechnicalPageAndBack)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    auto& button = editor.getHoodButton();

    juce::Array<juce::Component*> mainPage { &editor.getChicken(), &editor.getCrushKnob(), &editor.getWarpKnob(),
                                             &editor.getCrushLabel(), &editor.getWarpLabel(), &editor.getTitleLabel() };

    auto expectPage = [&] (bool technical)
    {
        EXPECT_EQ (editor.isShowingTechnicalPage(), technical);
        EXPECT_EQ (button.getToggleState(), technical);
        EXPECT_EQ (editor.getTechnicalPanel().isVisible(), technical);
        for (auto* c : mainPage)
            EXPECT_EQ (c->isVisible(), ! technical);
        EXPECT_TRUE (button.isVisible());
        EXPECT_TRUE (editor.getProgramBox().isVisible());
        EXPECT_EQ (editor.getWidth(), technical ? 980 : 620);
        EXPECT_EQ (editor.getHeight(), technical ? 640 : 560);
        EXPECT_DOUBLE_EQ (editor.getConstrainer()->getFixedAspectRatio(), technical ? 980.0 / 640.0 : 620.0 / 560.0);
        EXPECT_EQ (editor.getConstrainer()->getMinimumWidth(), 480);
        EXPECT_EQ (editor.getConstrainer()->getMinimumHeight(), 430);
        EXPECT_EQ (editor.getConstrainer()->getMaximumWidth(), 1600);
        EXPECT_EQ (editor.getConstrainer()->getMaximumHeight(), 1050);
    };

    expectPage (false);
    EXPECT_TRUE (editor.isResizable());

    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE (round);
        editor.setSize (700, 632); // a size the user chose is not kept across a switch
        button.triggerClick();
        gribb::test::pumpMessages (20);
        expectPage (true);

        button.triggerClick();
        gribb::test::pumpMessages (20);
        expectPage (false);
        EXPECT_EQ (editor.getChicken().getBounds(), juce::Rectangle<int> (38, 124, 544, 248));
    }
}

TEST (EditorBehaviour, PageButtonLiesInFrontOfTheTechnicalPanel)
{
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.setVisible (true);
    editor.showTechnicalPage (true);

    const juce::Array<juce::Component*> expectedOrder {
        &editor.getChicken(),    &editor.getTitleLabel(), &editor.getCrushKnob(),      &editor.getCrushLabel(),
        &editor.getWarpKnob(),   &editor.getWarpLabel(),  &editor.getProgramBox(),     &editor.getTechnicalPanel(),
        &editor.getHoodButton(),
    };
    // Back to front, leaving out the corner resizer that the editor adds for itself.
    juce::Array<juce::Component*> children;
    for (auto* child : editor.getChildren())
        if (dynamic_cast<juce::ResizableCornerComponent*> (child) == nullptr)
            children.add (child);
    EXPECT_EQ (children, expectedOrder);

    const auto buttonCentre = editor.getHoodButton().getBounds().getCentre();
    EXPECT_EQ (editor.getComponentAt (buttonCentre), &editor.getHoodButton());
}

namespace
{
/** Stands in for a component's cached image and counts the repaint requests that reach it. */
struct RepaintCounter : juce::CachedComponentImage
{
    void paint (juce::Graphics&) override {}
    bool invalidateAll() override { ++requests; return false; }
    bool invalidate (const juce::Rectangle<int>&) override { ++requests; return false; }
    void releaseResources() override {}
    int requests = 0;
};
} // namespace

TEST (RoastingChickenTest, LevelToFrame)
{
    const std::pair<float, int> cases[] = {
        { -1.0f, 0 },  { 0.0f, 0 },           { 1.0f / 30.0f - 1.0e-4f, 0 }, { 1.0f / 30.0f, 1 }, { 0.15f, 4 },
        { 0.5f, 15 },  { 0.999f, 29 },        { 1.0f, 29 },                  { 7.0f, 29 },
        { std::numeric_limits<float>::quiet_NaN(), 0 },
    };

    GribbTazoAudioProcessor processor;
    RoastingChicken chicken (processor);
    EXPECT_TRUE (chicken.isTimerRunning());
    EXPECT_EQ (chicken.getTimerInterval(), 33);
    EXPECT_EQ (chicken.getCurrentFrame(), 0);

    for (auto [level, frame] : cases)
    {
        SCOPED_TRACE (level);
        processor.roastLevel.store (level);
        chicken.timerCallback();
        EXPECT_EQ (chicken.getCurrentFrame(), frame);
        EXPECT_EQ (RoastingChicken::frameForLevel (level, 30), frame);
    }
}

TEST (RoastingChickenTest, FollowsTheLevelOnItsOwnTimer)
{
    GribbTazoAudioProcessor processor;
    RoastingChicken chicken (processor);
    processor.roastLevel.store (0.5f);
    gribb::test::pumpMessages (200);
    EXPECT_EQ (chicken.getCurrentFrame(), 15);
}

TEST (RoastingChickenTest, RepaintsOnlyWhenTheFrameChanges)
{
    GribbTazoAudioProcessor processor;
    RoastingChicken chicken (processor);
    chicken.stopTimer();
    chicken.setBounds (0, 0, 300, 300);
    chicken.setVisible (true);
    auto* counter = new RepaintCounter();
    chicken.setCachedComponentImage (counter); // the chicken owns it from here
    counter->requests = 0;

    struct Step
    {
        float level;
        int frame;
        int requests; // repaint requests so far
    };
    // 0.134 .. 0.166 lie in frame 4's band; 0.9 is frame 27; 0 goes back to frame 0.
    const Step steps[] = { { 0.0f, 0, 0 },   { 0.02f, 0, 0 },   { 0.134f, 4, 1 }, { 0.15f, 4, 1 },
                           { 0.166f, 4, 1 }, { 0.14f, 4, 1 },   { 0.9f, 27, 2 },  { 0.9f, 27, 2 },
                           { 0.0f, 0, 3 } };

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.level);
        processor.roastLevel.store (step.level);
        chicken.timerCallback();
        EXPECT_EQ (chicken.getCurrentFrame(), step.frame);
        EXPECT_EQ (counter->requests, step.requests);
    }
}

namespace
{
/** A change made while the window is open by someone other than the window, and what the
    selector must show afterwards. */
struct OutsideChange
{
    const char* what;
    std::function<void (GribbTazoAudioProcessor&, const juce::File& presetFolder)> make;
    std::function<juce::String (const juce::File& presetFolder)> shown;
};

juce::MemoryBlock stateAtProgram (int program)
{
    GribbTazoAudioProcessor source;
    source.setCurrentProgram (program);
    juce::MemoryBlock state;
    source.getStateInformation (state);
    return state;
}

juce::String programName (int index) { return GribbTazoAudioProcessor::getProgramNames()[index]; }

const OutsideChange outsideChanges[] = {
    { "a program chosen by the host",
      [] (auto& p, auto&) { p.setCurrentProgram (4); },
      [] (auto&) { return programName (4); } },
    { "a restored state",
      [] (auto& p, auto&) { const auto state = stateAtProgram (12); p.setStateInformation (state.getData(), (int) state.getSize()); },
      [] (auto&) { return programName (12); } },
    { "a user preset loaded elsewhere",
      [] (auto& p, const juce::File& folder) { p.setCurrentProgram (2); gribb::loadUserPresetFile (p, folder.getChildFile ("Bass/Round.gribbpreset")); },
      [] (auto&) { return juce::String ("Bass/Round"); } },
    { "a restored state after a user preset (an undo)",
      [] (auto& p, const juce::File& folder) {
          const auto state = stateAtProgram (0);
          gribb::loadUserPresetFile (p, folder.getChildFile ("Bass/Round.gribbpreset"));
          p.setStateInformation (state.getData(), (int) state.getSize()); },
      [] (auto&) { return programName (0); } },
};
} // namespace

TEST (EditorBehaviour, TheSelectorFollowsChangesMadeOutsideTheWindowWithinOneTick)
{
    const gribb::test::ScratchXdgHome dataHome ("XDG_DATA_HOME", "gribb-data-home");
    const auto folder = dataHome.folder.getChildFile ("Gribb Tazo/Presets");
    {
        GribbTazoAudioProcessor maker;
        maker.setCurrentProgram (9);
        ASSERT_TRUE (gribb::saveUserPreset (maker, folder, "Bass/Round").isEmpty());
    }

    for (const auto& change : outsideChanges)
    {
        SCOPED_TRACE (change.what);
        GribbTazoAudioProcessor processor;
        processor.setCurrentProgram (7);
        GribbTazoAudioProcessorEditor editor (processor);
        ASSERT_EQ (editor.getProgramBox().getText(), programName (7));

        HostNotifications host;
        processor.addListener (&host);
        change.make (processor, folder);
        host.changed.clear();
        // The window's timer ticks every 30 ms.
        gribb::test::pumpMessages (70);
        processor.removeListener (&host);

        EXPECT_EQ (editor.getProgramBox().getText(), change.shown (folder));
        EXPECT_TRUE (host.changed.isEmpty()) << "showing the program must write nothing";
    }
}
