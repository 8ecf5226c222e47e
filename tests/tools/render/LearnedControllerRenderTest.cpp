// gribb-render with learned controllers and saved states, through the built VST3 and LV2, where
// no message thread runs: a controller sweep through a binding sounds as the same sweep written as
// the parameter's automation at the same block boundaries; a saved state carries the bindings
// from one format to the other; bad states, targets and controllers stop it with a message.
#include <gtest/gtest.h>

#include <cmath>

#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "support/RenderHostRun.h"
#include "support/SameSamples.h"
#include "support/ScratchFolder.h"

namespace
{
using Run = gribb::test::RenderHostRun;
using gribb::test::runRenderHost;

juce::AudioBuffer<float> readWav (const juce::File& file)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    juce::AudioBuffer<float> audio;
    if (reader == nullptr)
        return audio;
    audio.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&audio, 0, (int) reader->lengthInSamples, 0, true, true);
    return audio;
}

/** Two chords and controller 21 swept up and down over 3 seconds, 40 moves a second at times
    that fall anywhere inside the blocks, on changing channels. */
void writeSweep (const juce::File& file)
{
    juce::MidiMessageSequence track;
    const auto at = [] (juce::MidiMessage m, double seconds) { m.setTimeStamp (seconds * 960.0 * 2.0); return m; };
    for (int note : { 48, 55, 60, 64 })
        track.addEvent (at (juce::MidiMessage::noteOn (1, note, 0.8f), 0.01));
    for (int note : { 48, 55, 60, 64 })
        track.addEvent (at (juce::MidiMessage::noteOff (1, note), 1.6));
    for (int note : { 50, 57, 62 })
        track.addEvent (at (juce::MidiMessage::noteOn (1, note, 0.7f), 1.61));
    for (int note : { 50, 57, 62 })
        track.addEvent (at (juce::MidiMessage::noteOff (1, note), 3.0));
    for (int i = 0; i < 120; ++i)
    {
        const int value = (int) std::lround (63.5 - 63.5 * std::cos (i * 0.11));
        track.addEvent (at (juce::MidiMessage::controllerEvent (1 + i % 3, 21, value), 0.013 + i * 0.0251));
    }
    track.updateMatchedPairs();

    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (960);
    midi.addTrack (track);
    file.deleteFile();
    juce::FileOutputStream out (file);
    ASSERT_TRUE (out.openedOk());
    ASSERT_TRUE (midi.writeTo (out));
}

struct LearnedRender : ::testing::Test
{
    gribb::test::ScratchFolder scratch { "gribb-learned-render" };
    const juce::File dir = scratch.folder;

    void SetUp() override { writeSweep (dir.getChildFile ("sweep.mid")); }

    /** Renders the sweep with these options; the samples, or nothing when gribb-render failed. */
    juce::AudioBuffer<float> render (const char* plugin, const juce::String& name, juce::StringArray options)
    {
        const auto wav = dir.getChildFile (name + ".wav");
        juce::StringArray args { "--plugin", plugin, "--midi", dir.getChildFile ("sweep.mid").getFullPathName(),
                                 "--out", wav.getFullPathName(), "--tail", "0.3", "--block", "256" };
        args.addArray (options);
        const auto run = runRenderHost (args);
        EXPECT_EQ (run.exitCode, 0) << run.output;
        return readWav (wav);
    }
};

float rmsOf (const juce::AudioBuffer<float>& audio) { return audio.getRMSLevel (0, 0, audio.getNumSamples()); }
} // namespace

TEST_F (LearnedRender, ASweepThroughABindingSoundsAsTheSameAutomationInBothFormats)
{
    // JUCE's LV2 host sees a parameter's port range as linear, so there value / 127 of a skewed
    // parameter (the cutoff) is another value than the plug-in's own value / 127; the resonance's
    // range is linear in both formats.
    struct Case
    {
        const char* plugin;
        const char* parameter;
    };
    const Case cases[] = {
        { GRIBB_VST3_PATH, "cutoff" },
        { GRIBB_VST3_PATH, "resonance" },
        { GRIBB_LV2_PATH, "resonance" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.plugin) + ", " + c.parameter);
        const auto binding = juce::String ("21=") + c.parameter;
        const auto learned = render (c.plugin, "learned", { "--param", "cutoff=900", "--learn", binding });
        const auto automated = render (c.plugin, "automated", { "--param", "cutoff=900", "--automate", binding });
        const auto unbound = render (c.plugin, "unbound", { "--param", "cutoff=900" });

        ASSERT_GT (learned.getNumSamples(), 48000 * 3);
        ASSERT_GT (rmsOf (learned), 0.01f);
        EXPECT_TRUE (gribb::test::sameSamples (learned, automated, -1, "learned against automated"));
        EXPECT_FALSE (gribb::test::sameSamples (learned, unbound)) << "the sweep moved nothing";
    }
}

TEST_F (LearnedRender, ASavedStateCarriesTheBindingsAndTheValuesToEitherFormat)
{
    // The state is saved through one format after a program, a value and two bindings, and
    // rendered through both; the second binding takes CC 21 from the first.
    const auto state = dir.getChildFile ("learned.gribbstate");
    const auto save = runRenderHost ({ "--plugin", GRIBB_VST3_PATH, "--program", "05", "--param", "resonance=2",
                                       "--learn", "21=warp", "--learn", "21=Cutoff", "--save-state", state.getFullPathName() });
    ASSERT_EQ (save.exitCode, 0) << save.output;
    EXPECT_TRUE (save.output.contains ("saved state: ")) << save.output;
    EXPECT_FALSE (save.output.contains ("wrote:")) << "--save-state renders nothing";
    ASSERT_TRUE (state.existsAsFile());

    const auto direct = render (GRIBB_VST3_PATH, "direct", { "--program", "05", "--param", "resonance=2", "--learn", "21=cutoff" });
    EXPECT_TRUE (gribb::test::sameSamples (render (GRIBB_VST3_PATH, "vst3", { "--state", state.getFullPathName() }), direct, -1, "VST3"));
    EXPECT_TRUE (gribb::test::sameSamples (render (GRIBB_LV2_PATH, "lv2", { "--state", state.getFullPathName() }), direct, -1, "LV2"));

    // Options after --state go on top of it.
    const auto listed = runRenderHost ({ "--plugin", GRIBB_LV2_PATH, "--state", state.getFullPathName(), "--param", "drive=7", "--list-params" });
    ASSERT_EQ (listed.exitCode, 0) << listed.output;
    EXPECT_TRUE (listed.output.contains ("resonance\tResonance\t0.1 .. 10\t\t2")) << listed.output;
    EXPECT_TRUE (listed.output.contains ("drive\tAnalog Drive\t1 .. 50\t\t7")) << listed.output;
}

TEST_F (LearnedRender, BadStatesTargetsAndControllersStopItWithAMessageAndNothingWritten)
{
    const auto notAState = dir.getChildFile ("text.bin");
    notAState.replaceWithText ("this is not a saved state");
    const auto otherPlugin = dir.getChildFile ("other.bin");
    {
        juce::MemoryBlock block;
        juce::AudioProcessor::copyXmlToBinary (juce::XmlElement ("SOMEONE_ELSES_STATE"), block);
        otherPlugin.replaceWithData (block.getData(), block.getSize());
    }
    const auto huge = dir.getChildFile ("huge.bin");
    {
        juce::MemoryBlock block (2 * 1024 * 1024, true);
        huge.replaceWithData (block.getData(), block.getSize());
    }

    struct Case { juce::StringArray args; int exitCode; const char* message; };
    const Case cases[] = {
        { { "--state", "/nonexistent/state.bin" },                  3, "cannot open state file" },
        { { "--state", notAState.getFullPathName() },               3, "is not a saved state" },
        { { "--state", huge.getFullPathName() },                    3, "too large" },
        { { "--state", otherPlugin.getFullPathName() },             3, "is not a state of Gribb Tazo" },
        { { "--learn", "21=wobble" },                               4, "unknown --learn target 'wobble'" },
        { { "--learn", "64=cutoff" },                               4, "refuses to learn controller 64" },
        { { "--learn", "121=cutoff" },                              4, "refuses to learn controller 121" },
        { { "--learn", "cutoff" },                                  1, "expected CC=TARGET" },
        { { "--learn", "128=cutoff" },                              1, "expected CC=TARGET" },
        { { "--automate", "21=wobble" },                            4, "unknown parameter 'wobble' for --automate" },
        { { "--automate", "x=cutoff" },                             1, "expected CC=ID" },
        { { "--save-state", "/nonexistent-gribb/state.bin" },       5, "does not exist" },
        { { "--state" },                                            1, "needs a value" },
    };

    const auto wav = dir.getChildFile ("out.wav");
    for (const auto* plugin : { GRIBB_VST3_PATH, GRIBB_LV2_PATH })
    {
        for (const auto& c : cases)
        {
            juce::StringArray args { "--plugin", plugin, "--out", wav.getFullPathName(), "--tail", "0" };
            args.addArray (c.args);
            const auto run = runRenderHost (args);
            SCOPED_TRACE (args.joinIntoString (" "));
            EXPECT_EQ (run.exitCode, c.exitCode) << run.output;
            EXPECT_TRUE (run.output.contains (c.message)) << run.output;
            EXPECT_TRUE (run.output.contains ("error:")) << run.output;
            EXPECT_FALSE (wav.exists());
        }
    }
    EXPECT_FALSE (juce::File ("/nonexistent-gribb").exists());
}
