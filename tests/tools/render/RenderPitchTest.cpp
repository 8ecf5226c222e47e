// The pitch options of the render host through the built VST3 and LV2: the bend range, RPN 0,
// MPE zones and Scala tunings, each note's pitch measured in the WAV; and bad tuning files, which
// stop the render before anything is loaded or written.
#include <gtest/gtest.h>

#include <iomanip>
#include <iostream>

#include <juce_audio_formats/juce_audio_formats.h>

#include "support/PitchCases.h"
#include "support/PitchMeasure.h"
#include "support/RenderHostRun.h"
#include "support/ScratchFolder.h"

namespace
{
using gribb::test::PitchCase;

using Run = gribb::test::RenderHostRun;
using gribb::test::runRenderHost;

/** A MIDI file of the case: its messages 12.5 ms apart, then the note for a second. The VST3
    format carries controllers as parameter changes, one value per controller at an instant, so
    an RPN sent twice at one instant would reach the plug-in as its last values only. */
void writeMidiFile (const PitchCase& c, const juce::File& file)
{
    juce::MidiMessageSequence track;
    track.addEvent (juce::MidiMessage::tempoMetaEvent (500000), 0.0); // 120 bpm: 960 ticks a second
    double tick = 0.0;
    for (const auto& m : c.before)
    {
        track.addEvent (m, tick);
        tick += 12.0;
    }
    track.addEvent (juce::MidiMessage::noteOn (c.channel, c.note, (juce::uint8) 100), tick);
    track.addEvent (juce::MidiMessage::noteOff (c.channel, c.note), tick + 960.0);
    juce::MidiFile midi;
    midi.setTicksPerQuarterNote (480);
    midi.addTrack (track);
    file.deleteFile();
    juce::FileOutputStream out (file);
    midi.writeTo (out);
}

juce::AudioBuffer<float> readWav (const juce::File& file, double& rate)
{
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file.createInputStream().release(), true));
    juce::AudioBuffer<float> buffer;
    if (reader == nullptr)
        return buffer;
    rate = reader->sampleRate;
    buffer.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&buffer, 0, (int) reader->lengthInSamples, 0, true, true);
    return buffer;
}

struct RenderPitch : ::testing::Test
{
    gribb::test::ScratchFolder scratch { "gribb-render-pitch" };
    const juce::File dir = scratch.folder;

    void expectPitch (const PitchCase& c, const char* plugin, const char* format)
    {
        const auto midi = dir.getChildFile ("case.mid");
        const auto wav = dir.getChildFile ("case.wav");
        writeMidiFile (c, midi);
        juce::StringArray args { "--plugin", plugin, "--midi", midi.getFullPathName(), "--out", wav.getFullPathName(),
                                 "--tail", "0", "--param", "Oscillator=Triangle", "--channels", "1" };
        if (c.bendRange > 0.0f)
            args.addArray ({ "--bend-range", juce::String (c.bendRange) });
        if (c.followMpe)
            args.add ("--mpe");
        if (c.scale != nullptr)
        {
            dir.getChildFile ("case.scl").replaceWithText (c.scale);
            args.addArray ({ "--scl", dir.getChildFile ("case.scl").getFullPathName() });
        }
        if (c.mapping != nullptr)
        {
            dir.getChildFile ("case.kbm").replaceWithText (c.mapping);
            args.addArray ({ "--kbm", dir.getChildFile ("case.kbm").getFullPathName() });
        }
        const auto run = runRenderHost (args);
        ASSERT_EQ (run.exitCode, 0) << c.name << "\n" << run.output;

        double rate = 0.0;
        const auto audio = readWav (wav, rate);
        ASSERT_GT (audio.getNumSamples(), (int) (0.5 * rate)) << c.name;
        const int from = (int) (0.35 * rate);
        if (c.expectedHz <= 0.0)
        {
            EXPECT_EQ (audio.getMagnitude (0, 0, audio.getNumSamples()), 0.0f) << c.name << " (" << format << ")";
            std::cout << "[pitch " << format << "] " << std::left << std::setw (56) << c.name << " expected silence, peak "
                      << audio.getMagnitude (0, 0, audio.getNumSamples()) << "\n";
            return;
        }
        const double hz = gribb::test::measuredFrequency (audio.getReadPointer (0), audio.getNumSamples(), rate, from);
        const double cents = gribb::test::centsBetween (hz, c.expectedHz);
        std::cout << "[pitch " << format << "] " << std::left << std::setw (56) << c.name << std::fixed << std::setprecision (3)
                  << " expected " << c.expectedHz << " Hz, measured " << hz << " Hz, " << std::showpos << cents << std::noshowpos << " cents\n";
        EXPECT_NEAR (cents, 0.0, 0.5) << c.name << " (" << format << "): expected " << c.expectedHz << " Hz, measured " << hz;
    }
};
} // namespace

TEST_F (RenderPitch, EveryCaseSoundsAtItsPitchThroughTheVst3AndTheLv2)
{
    auto cases = gribb::test::pitchCases();
    for (const auto& c : gribb::test::zoneCases())
        cases.push_back (c);
    for (const auto& c : cases)
    {
        expectPitch (c, GRIBB_VST3_PATH, "VST3");
        expectPitch (c, GRIBB_LV2_PATH, "LV2");
    }
}

TEST_F (RenderPitch, ABadTuningFileStopsTheRenderBeforeAnythingIsWritten)
{
    const auto wav = dir.getChildFile ("out.wav");
    struct Case
    {
        const char* option;
        const char* fileName;
        juce::String text;
        const char* message;
    };
    const Case cases[] = {
        { "--scl", "zero.scl", "z\n2\n0/1\n2/1\n", "is not positive" },
        { "--scl", "short.scl", "s\n5\n100.0\n", "declares 5 notes but lists 1" },
        { "--scl", "missing.scl", {}, "cannot be opened" },
        { "--kbm", "bad.kbm", "12\n0\n", "fewer than the seven" },
    };
    for (const auto& c : cases)
    {
        const auto file = dir.getChildFile (c.fileName);
        if (c.text.isNotEmpty())
            file.replaceWithText (c.text);
        const auto run = runRenderHost ({ "--plugin", GRIBB_VST3_PATH, "--out", wav.getFullPathName(), "--tail", "0", c.option, file.getFullPathName() });
        EXPECT_EQ (run.exitCode, 6) << c.fileName << "\n" << run.output;
        EXPECT_TRUE (run.output.contains (file.getFullPathName())) << run.output;
        EXPECT_TRUE (run.output.contains (c.message)) << run.output;
        EXPECT_FALSE (wav.exists()) << c.fileName;
    }
    const auto bad = runRenderHost ({ "--out", wav.getFullPathName(), "--bend-range", "200" });
    EXPECT_EQ (bad.exitCode, 1) << bad.output;
    EXPECT_TRUE (bad.output.contains ("--bend-range")) << bad.output;
}
