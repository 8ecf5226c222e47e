#include <gtest/gtest.h>

#include <cstdlib>

#include <juce_audio_formats/juce_audio_formats.h>

#include "support/RenderHostRun.h"

namespace
{
using Run = gribb::test::RenderHostRun;
using gribb::test::runRenderHost;

struct RenderHost : ::testing::Test
{
    juce::TemporaryFile tempDir;
    juce::File dir;
    juce::File wav;

    void SetUp() override
    {
        dir = tempDir.getFile();
        dir.createDirectory();
        wav = dir.getChildFile ("out.wav");
    }

    void TearDown() override { dir.deleteRecursively(); }

    void expectNothingWritten() const
    {
        EXPECT_FALSE (wav.exists());
        EXPECT_EQ (dir.getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*"), 0);
        juce::Array<juce::File> hidden;
        dir.findChildFiles (hidden, juce::File::findFiles, false, ".*");
        EXPECT_TRUE (hidden.isEmpty()) << "a partial file was left behind";
    }
};
} // namespace

TEST_F (RenderHost, RendersTheDemoWithParametersAndProgram)
{
    const auto run = runRenderHost ({ "--out", wav.getFullPathName(), "--tail", "0.5", "--rate", "44100",
                                      "--block", "333", "--param", "cutoff=800", "--param", "Oscillator=Triangle",
                                      "--param", "oversample=0" });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.contains ("x realtime")) << run.output;
    EXPECT_TRUE (run.output.contains ("channel 1: peak")) << run.output;

    juce::WavAudioFormat format;
    std::unique_ptr<juce::AudioFormatReader> reader (format.createReaderFor (new juce::FileInputStream (wav), true));
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->sampleRate, 44100.0);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_GT (reader->lengthInSamples, 44100 * 7);

    juce::AudioBuffer<float> audio (2, (int) reader->lengthInSamples);
    reader->read (&audio, 0, audio.getNumSamples(), 0, true, true);
    EXPECT_GT (audio.getRMSLevel (0, 0, audio.getNumSamples()), 0.001f);
}

TEST_F (RenderHost, MonoOutput)
{
    const auto run = runRenderHost ({ "--out", wav.getFullPathName(), "--channels", "1", "--tail", "0" });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.contains ("channel 0: peak"));
    EXPECT_FALSE (run.output.contains ("channel 1: peak"));
}

TEST_F (RenderHost, BadInputGetsAMessageAnExitCodeAndNoFile)
{
    const auto notMidi = dir.getParentDirectory().getChildFile ("gribb-not-midi.mid");
    notMidi.replaceWithText ("this is not a MIDI file");

    struct Case { juce::StringArray args; int exitCode; const char* message; };
    const Case cases[] = {
        { { "--plugin", "/nonexistent/Nothing.vst3" },            2, "plug-in not found" },
        { { "--plugin", notMidi.getFullPathName() },              2, "no VST3 or LV2 plug-in" },
        { { "--midi", "/nonexistent/song.mid" },                  3, "cannot open MIDI file" },
        { { "--midi", notMidi.getFullPathName() },                3, "not a readable standard MIDI file" },
        { { "--param", "wobble=3" },                              4, "unknown parameter 'wobble'" },
        { { "--param", "cutoff=99999" },                          4, "outside the range" },
        { { "--param", "oscType=Saw" },                           4, "not a choice" },
        { { "--param", "cutoff" },                                1, "expected ID=VALUE" },
        { { "--program", "20" },                                  4, "program 20 does not exist" },
        { { "--program", "Nope" },                                4, "no program is called 'Nope'" },
        { { "--program", "21." },                                 4, "no program is called '21.'" },
        { { "--program", " " },                                   1, "bad value '' for --program" },
        { { "--param", "9=2500" },                                4, "unknown parameter '9'" },
        { { "--out", "/nonexistent-gribb/x.wav" },                5, "/nonexistent-gribb does not exist (--mkdir creates it)" },
        { { "--out", "/" },                                       5, "is a folder" },
        { { "--rate", "fast" },                                   1, "bad value 'fast' for --rate" },
        { { "--block", "0" },                                     1, "bad value '0' for --block" },
        { { "--channels", "6" },                                  1, "bad value '6' for --channels" },
        { { "--frobnicate" },                                     1, "unknown option" },
        { { "--tail" },                                           1, "needs a value" },
    };

    for (const auto& c : cases)
    {
        juce::StringArray args { "--out", wav.getFullPathName() };
        args.addArray (c.args);
        const auto run = runRenderHost (args);
        SCOPED_TRACE (c.args.joinIntoString (" "));
        EXPECT_EQ (run.exitCode, c.exitCode) << run.output;
        EXPECT_TRUE (run.output.contains (c.message)) << run.output;
        EXPECT_TRUE (run.output.contains ("error:")) << run.output;
        expectNothingWritten();
    }

    EXPECT_FALSE (juce::File ("/nonexistent-gribb").exists()) << "a missing folder was created";
    notMidi.deleteFile();
}

TEST_F (RenderHost, UnwritableOutputFailsCleanly)
{
    const auto run = runRenderHost ({ "--out", "/proc/gribb/out.wav", "--tail", "0" });
    EXPECT_EQ (run.exitCode, 5) << run.output;
    EXPECT_TRUE (run.output.contains ("error:"));
}

namespace
{
juce::StringArray linesOf (const Run& run) { return juce::StringArray::fromLines (run.output.trimEnd()); }

juce::StringArray withoutFirstLine (juce::StringArray lines)
{
    lines.remove (0);
    return lines;
}
} // namespace

TEST_F (RenderHost, MissingOutputFolderIsMadeOnlyWhenAskedFor)
{
    const auto nested = dir.getChildFile ("new/deeper/out.wav");
    const auto run = runRenderHost ({ "--out", nested.getFullPathName(), "--tail", "0", "--mkdir" });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (nested.existsAsFile());
}

TEST_F (RenderHost, BothFormatsListTheSameProgramsInFactoryOrder)
{
    const auto vst3 = runRenderHost ({ "--plugin", GRIBB_VST3_PATH, "--list-programs" });
    const auto lv2 = runRenderHost ({ "--plugin", GRIBB_LV2_PATH, "--list-programs" });
    ASSERT_EQ (vst3.exitCode, 0) << vst3.output;
    ASSERT_EQ (lv2.exitCode, 0) << lv2.output;

    const auto vst3Lines = linesOf (vst3), lv2Lines = linesOf (lv2);
    EXPECT_TRUE (vst3Lines[0].contains ("in the plug-in's own order")) << vst3Lines[0];
    EXPECT_TRUE (lv2Lines[0].contains ("sorted by name")) << lv2Lines[0];
    EXPECT_EQ (withoutFirstLine (vst3Lines), withoutFirstLine (lv2Lines));
    ASSERT_EQ (vst3Lines.size(), 21);
    EXPECT_EQ (vst3Lines[1], "0\t01. Vorlen Pakkt Wobble");
    EXPECT_EQ (vst3Lines[5], "4\t05. Final Destination");
    EXPECT_EQ (vst3Lines[20], "19\t20. Motherboard Melt");
}

TEST_F (RenderHost, ParametersAreListedAndSetTheSameWayInBothFormats)
{
    // After the program and the settings, by ID and by name in any case.
    const juce::StringArray args { "--list-params", "--program", "05", "--param", "CUTOFF=2500",
                                   "--param", "analog drive=3", "--param", "lfoshape=Random" };
    juce::StringArray vst3Args { "--plugin", GRIBB_VST3_PATH }, lv2Args { "--plugin", GRIBB_LV2_PATH };
    vst3Args.addArray (args);
    lv2Args.addArray (args);
    const auto vst3 = runRenderHost (vst3Args);
    const auto lv2 = runRenderHost (lv2Args);
    ASSERT_EQ (vst3.exitCode, 0) << vst3.output;
    ASSERT_EQ (lv2.exitCode, 0) << lv2.output;
    EXPECT_EQ (vst3.output, lv2.output);

    const auto lines = linesOf (vst3);
    ASSERT_EQ (lines.size(), 23) << vst3.output; // a header and the plug-in's own 22
    EXPECT_EQ (lines[0], "ID\tname\trange\tunit\tvalue");
    for (const auto* row : { "oscType\tOscillator\tSquare|Triangle|FM\t\tFM",
                             "cutoff\tCutoff\t20 .. 20000\tHz\t2500",
                             "drive\tAnalog Drive\t1 .. 50\t\t3",
                             "fmRatio\tFM Ratio\t0.25 .. 12\t\t3",
                             "lfoShape\tLFO Shape\tSine|Triangle|Square|Random\t\tRandom",
                             "attack\tAttack\t0.001 .. 4\ts\t0.004" })
        EXPECT_TRUE (lines.contains (row)) << row << "\n" << vst3.output;

    const auto all = runRenderHost ({ "--plugin", GRIBB_VST3_PATH, "--list-all-params" });
    ASSERT_EQ (all.exitCode, 0);
    EXPECT_TRUE (all.output.contains ("MIDI CC 0|1"));
    EXPECT_GT (linesOf (all).size(), 2000);
}

TEST_F (RenderHost, AProgramIsFoundByNumberNameOrTheNumberItsNameStartsWith)
{
    for (const auto* program : { "4", "05", "05.", "05. final destination" })
    {
        SCOPED_TRACE (program);
        const auto run = runRenderHost ({ "--out", wav.getFullPathName(), "--tail", "0", "--program", program });
        ASSERT_EQ (run.exitCode, 0) << run.output;
        EXPECT_TRUE (run.output.contains ("program:  4 \"05. Final Destination\"")) << run.output;
    }
}

TEST_F (RenderHost, AnLv2RenderIsQuietOnStandardError)
{
    const auto run = runRenderHost ({ "--plugin", GRIBB_LV2_PATH, "--out", wav.getFullPathName(), "--tail", "0",
                                      "--program", "3" }, juce::ChildProcess::wantStdErr);
    EXPECT_EQ (run.exitCode, 0);
    EXPECT_EQ (run.output, "");
    EXPECT_TRUE (wav.existsAsFile());
}

TEST_F (RenderHost, AnLv2BundleShadowedByAnInstalledCopyIsNamedInTheMessage)
{
    // A copy of the same bundle in the user's LV2 folder (~/.lv2 of a private home): LV2 hosts keep
    // the first bundle they find for a plug-in URI, so the bundle given by path cannot load. The
    // message must say which installed copy is in the way, and nothing is written.
    const auto home = dir.getChildFile ("home");
    const auto installed = home.getChildFile (".lv2").getChildFile ("Gribb Tazo.lv2");
    ASSERT_TRUE (installed.createDirectory());
    ASSERT_TRUE (juce::File (GRIBB_LV2_PATH).copyDirectoryTo (installed));

    const auto previousHome = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    ::setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    const auto run = runRenderHost ({ "--plugin", GRIBB_LV2_PATH, "--out", wav.getFullPathName(), "--tail", "0" });
    ::setenv ("HOME", previousHome.toRawUTF8(), 1);

    EXPECT_NE (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.contains ("shadows it")) << run.output;
    EXPECT_TRUE (run.output.contains (installed.getFullPathName())) << run.output;
    EXPECT_FALSE (wav.exists());

    // The installed copy itself loads, by its own path.
    const auto fromInstalled = runRenderHost ({ "--plugin", installed.getFullPathName(), "--list-programs" });
    EXPECT_EQ (fromInstalled.exitCode, 0) << fromInstalled.output;
}
