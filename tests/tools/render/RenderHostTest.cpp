#include <gtest/gtest.h>

#include <juce_audio_formats/juce_audio_formats.h>

namespace
{
struct Run
{
    int exitCode = -1;
    juce::String output;
};

Run runRenderHost (juce::StringArray args)
{
    args.insert (0, GRIBB_RENDER_PATH);
    juce::ChildProcess process;
    Run run;
    if (! process.start (args, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return run;
    run.output = process.readAllProcessOutput();
    process.waitForProcessToFinish (60000);
    run.exitCode = (int) process.getExitCode();
    return run;
}

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
        { { "--program", "20" },                                  4, "does not exist" },
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

    notMidi.deleteFile();
}

TEST_F (RenderHost, UnwritableOutputFailsCleanly)
{
    const auto run = runRenderHost ({ "--out", "/proc/gribb/out.wav", "--tail", "0" });
    EXPECT_EQ (run.exitCode, 5) << run.output;
    EXPECT_TRUE (run.output.contains ("error:"));
}
