// The MIDI-learn menu on a display, opened by a right click that goes through the window's peer
// as the mouse's would: on the macro knobs of the main page and on the knobs and boxes of the
// technical page. Learning, a refused controller, the bound controller and forgetting it are read
// and answered in the real menu; a learned controller moves its knob. The menu of a bound knob is
// saved as screenshots/midi-learn-menu.png beside this program.
#include <gtest/gtest.h>

#include <functional>

#include "editor/GribbTazoAudioProcessorEditor.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/MessagePump.h"
#include "support/PopupMenus.h"

using gribb::test::chooseItem;
using gribb::test::findMenuWindow;
using gribb::test::lineTitles;
using gribb::test::pumpMessages;
using gribb::test::pumpUntil;
using gribb::test::rightClick;

namespace
{
/** A window on the display with the page asked for. */
struct OpenWindow
{
    explicit OpenWindow (GribbTazoAudioProcessor& processor, bool technicalPage = false) : editor (processor)
    {
        editor.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        editor.setVisible (true);
        if (technicalPage)
            editor.showTechnicalPage (true);
        pumpUntil ([this] { return editor.isShowing(); });
        pumpMessages (300);
    }
    ~OpenWindow() { editor.removeFromDesktop(); }

    /** Right-clicks the control and returns the menu that opened (nullptr for none). */
    juce::Component* openMenu (juce::Component& control)
    {
        const auto before = editor.getChildren();
        rightClick (editor, control);
        // The menu window exists at once; a display without focus may close it soon after.
        return findMenuWindow (editor, before);
    }

    void closeMenu (juce::Component& menu)
    {
        menu.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
        pumpMessages (100);
    }

    GribbTazoAudioProcessorEditor editor;
};

std::vector<float> allValues (GribbTazoAudioProcessor& processor)
{
    std::vector<float> values;
    for (auto* parameter : processor.getParameters())
        values.push_back (parameter->getValue());
    return values;
}

void play (GribbTazoAudioProcessor& processor, int controller, int value)
{
    juce::AudioBuffer<float> audio (2, 256);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::controllerEvent (1, controller, value), 0);
    processor.processBlock (audio, midi);
}
} // namespace

TEST (MidiLearnMenu, ARightClickOnEveryKnobAndBoxOpensItsMenuAndMidiLearnWaitsForAController)
{
    struct Case
    {
        const char* what;
        bool technicalPage;
        std::function<juce::Component& (GribbTazoAudioProcessorEditor&)> control;
        int target;
    };
    const Case cases[] = {
        { "CRUSH", false, [] (auto& e) -> juce::Component& { return e.getCrushKnob(); }, gribb::crushLearnTarget },
        { "WARP", false, [] (auto& e) -> juce::Component& { return e.getWarpKnob(); }, gribb::warpLearnTarget },
        { "PW", true, [] (auto& e) -> juce::Component& { return e.getTechnicalPanel().getKnob (0).slider; }, gribb::pulseWidth },
        { "Cutoff", true, [] (auto& e) -> juce::Component& { return e.getTechnicalPanel().getKnob (8).slider; }, gribb::cutoff },
        { "Gain", true, [] (auto& e) -> juce::Component& { return e.getTechnicalPanel().getKnob (17).slider; }, gribb::outputGain },
        { "oscillator type", true, [] (auto& e) -> juce::Component& { return e.getTechnicalPanel().getOscTypeBox(); }, gribb::oscType },
        { "LFO shape", true, [] (auto& e) -> juce::Component& { return e.getTechnicalPanel().getLfoShapeBox(); }, gribb::lfoShape },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GribbTazoAudioProcessor processor;
        OpenWindow window (processor, c.technicalPage);
        auto& control = c.control (window.editor);
        // Away from the defaults, where a double click would send the knobs.
        for (auto* parameter : processor.getParameters())
            parameter->setValueNotifyingHost (0.3f);
        const auto valuesBefore = allValues (processor);

        auto* menu = window.openMenu (control);
        ASSERT_NE (menu, nullptr) << "no menu opened";
        const auto titles = lineTitles (*menu);
        EXPECT_TRUE (titles.contains ("MIDI Learn")) << titles.joinIntoString (" | ");
        EXPECT_FALSE (titles.contains ("Forget MIDI")) << "nothing is bound yet";
        EXPECT_TRUE (titles.joinIntoString ("|").contains ("Not learnable: CC 6, 38, 64, 66, 70, 74, 98"));

        ASSERT_TRUE (chooseItem (*menu, "MIDI Learn"));
        pumpUntil ([&] { return processor.midiLearn.learningTarget() >= 0; });
        EXPECT_EQ (processor.midiLearn.learningTarget(), c.target);

        // A second right click at once opens the menu again; neither click moves anything (a
        // double click of the left button sets a technical knob to its default).
        menu = window.openMenu (control);
        ASSERT_NE (menu, nullptr) << "no menu at the second click";
        window.closeMenu (*menu);
        EXPECT_EQ (allValues (processor), valuesBefore);
    }
}

TEST (MidiLearnMenu, TheMenuSaysWhyAControllerWasRefusedShowsTheBindingAndForgetsIt)
{
    GribbTazoAudioProcessor processor;
    OpenWindow window (processor, true);
    auto& knob = window.editor.getTechnicalPanel().getKnob (8).slider; // Cutoff

    auto* menu = window.openMenu (knob);
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (chooseItem (*menu, "MIDI Learn"));
    ASSERT_TRUE (pumpUntil ([&] { return processor.midiLearn.learningTarget() == gribb::cutoff; }));

    // CC 74 (timbre) is refused: the menu says so while the knob still waits.
    play (processor, 74, 100);
    menu = window.openMenu (knob);
    ASSERT_NE (menu, nullptr);
    auto titles = lineTitles (*menu);
    EXPECT_TRUE (titles.contains (juce::String::fromUTF8 ("Stop learning (move a controller\xe2\x80\xa6)"))) << titles.joinIntoString (" | ");
    EXPECT_TRUE (titles.contains ("CC 74 refused: MPE timbre, which sets the notes' pulse width")) << titles.joinIntoString (" | ");
    window.closeMenu (*menu);

    // CC 21 is learned, and the knob follows it.
    play (processor, 21, 127);
    pumpUntil ([&] { return juce::exactlyEqual (knob.getValue(), 20000.0); });
    EXPECT_EQ (processor.midiLearn.bindingOf (gribb::cutoff), (gribb::ControllerBinding { 21, 0 }));
    EXPECT_DOUBLE_EQ (knob.getValue(), 20000.0);

    menu = window.openMenu (knob);
    ASSERT_NE (menu, nullptr);
    titles = lineTitles (*menu);
    EXPECT_TRUE (titles.contains ("MIDI Learn")) << titles.joinIntoString (" | ");
    EXPECT_TRUE (titles.contains ("CC 21 (ch any)")) << titles.joinIntoString (" | ");
    EXPECT_FALSE (titles.joinIntoString ("|").contains ("refused"));
    gribb::test::saveScreenshot (window.editor, menu, "midi-learn-menu.png");

    ASSERT_TRUE (chooseItem (*menu, "Forget MIDI"));
    pumpUntil ([&] { return ! processor.midiLearn.bindingOf (gribb::cutoff).isBound(); });
    EXPECT_FALSE (processor.midiLearn.bindingOf (gribb::cutoff).isBound());

    play (processor, 21, 0);
    pumpMessages (100);
    EXPECT_DOUBLE_EQ (knob.getValue(), 20000.0) << "a forgotten controller moves nothing";
}

TEST (MidiLearnMenu, ALearnedControllerMovesItsMacroKnobAndWritesWhatADragThereWrites)
{
    const char* const crushTargets[] = { "bitDepth", "drive", "hardClip" };

    GribbTazoAudioProcessor learned;
    OpenWindow window (learned);
    auto* menu = window.openMenu (window.editor.getCrushKnob());
    ASSERT_NE (menu, nullptr);
    ASSERT_TRUE (chooseItem (*menu, "MIDI Learn"));
    ASSERT_TRUE (pumpUntil ([&] { return learned.midiLearn.learningTarget() == gribb::crushLearnTarget; }));

    play (learned, 22, 90);
    const double position = std::round (90.0 / 127.0 * 1000.0) / 1000.0;
    pumpUntil ([&] { return juce::exactlyEqual (window.editor.getCrushKnob().getValue(), position); });
    EXPECT_DOUBLE_EQ (window.editor.getCrushKnob().getValue(), position);

    // A drag to the same place in another window writes the same values.
    GribbTazoAudioProcessor dragged;
    GribbTazoAudioProcessorEditor other (dragged);
    other.getCrushKnob().setValue (position, juce::sendNotificationSync);
    for (const auto* id : crushTargets)
        EXPECT_EQ (learned.parameters.getRawParameterValue (id)->load(), dragged.parameters.getRawParameterValue (id)->load()) << id;

    // Every move writes the targets again.
    play (learned, 22, 0);
    learned.midiLearn.applyPendingMoves();
    EXPECT_FLOAT_EQ (learned.parameters.getRawParameterValue ("bitDepth")->load(), 16.0f);
}
