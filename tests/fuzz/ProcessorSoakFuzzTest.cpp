// A seeded soak fuzzer for the audio path. It drives a processor as a careless host and a wild
// MIDI stream would: notes on all sixteen channels (0 and 127, velocity 0, offs without ons, the
// same note twice), bends to both ends, pressure, timbre, pedals, the channel-mode controllers,
// RPNs, program changes, system exclusive of any length, clock and transport bytes, and events on
// a block's last sample; parameter writes at any normalised value between blocks; blocks of 0 to
// 8192 samples, longer than prepared too; prepareToPlay again at another rate and block size,
// releaseResources, and switches between mono and stereo between prepares.
//
// Every block must be finite and peak no higher than the output gain times the most the chain can
// give: the clip keeps the shaped signal within full scale, the 4x oversampler's way back down can
// overshoot that by its impulse response's absolute sum, and the quantiser can add one more full
// scale below by its formula (so without oversampling the limit is twice the output gain). No
// block may run longer than the watchdog allows.
// Every few hundred steps, and at the end, every note and pedal is released and the release time
// and the chain's tail are rendered: then no voice may sound and the output must be exactly what
// the chain gives for silence.
//
// The suite runs 5000 steps (also under AddressSanitizer and UndefinedBehaviorSanitizer). Longer
// runs, from the build folder:
//   GRIBB_SOAK_SECONDS=3600 GRIBB_SOAK_SEED=11 tests/fuzz/gribb_processor_soak
//   GRIBB_SOAK_STEPS=200000 GRIBB_SOAK_SEED=11 tests/fuzz/gribb_processor_soak
// A failing sequence (the steps of its episode, from a fresh processor) is written to
// gribb-soak-failure.txt in the temporary folder (a hang to gribb-soak-hang.txt, a sanitizer
// report to gribb-soak-crash.txt) and replays with
//   GRIBB_SOAK_REPLAY=/tmp/gribb-soak-failure.txt tests/fuzz/gribb_processor_soak

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <juce_dsp/juce_dsp.h>

#include "SoakSteps.h"
#include "support/FuzzSupport.h"
#include "support/ProcessorAccess.h"

using gribb::test::environmentNumber;
using gribb::test::fuzzDumpFile;
using gribb::test::SoakStep;

namespace
{
constexpr long long defaultSteps = 5000;
constexpr int stepsPerEpisode = 2500; // a fresh processor, and a fresh failure record, this often
constexpr int stepsBetweenQuiesces = 400;
constexpr double tailSeconds = 20.0;  // a resonant filter at 20 Hz rings for seconds before it is exactly silent

/** The most the 4x oversampler's way back down gives for a shaped signal within full scale: the
    absolute sum of its impulse response over every phase of the oversampled input. */
float downsamplingPeakGain()
{
    constexpr int length = 8192;
    juce::dsp::Oversampling<float> oversampler (1, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, true, false);
    oversampler.initProcessing (length);
    juce::AudioBuffer<float> in (1, length), out (1, length);
    double sum = 0.0;

    for (int phase = 0; phase < 4; ++phase)
    {
        oversampler.reset();
        in.clear();
        juce::dsp::AudioBlock<float> inBlock (in), outBlock (out);
        auto up = oversampler.processSamplesUp (inBlock);
        up.clear();
        up.setSample (0, phase, 1.0f);
        oversampler.processSamplesDown (outBlock);
        for (int i = 0; i < length; ++i)
            sum += std::abs (out.getSample (0, i));
    }
    return (float) juce::jmax (1.0, sum);
}

/** Makes the random steps. */
class StepMaker
{
public:
    explicit StepMaker (std::uint64_t seed) : rng (seed) {}

    int below (int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int> (0, n - 1) (rng); }
    bool chance (int percent) { return below (100) < percent; }

    SoakStep next (int preparedBlockSize)
    {
        const int roll = below (100);
        if (roll < 3)
            return prepare();
        if (roll < 4)
            return kindOnly (SoakStep::Kind::release);
        if (roll < 24)
            return parameter();
        return block (preparedBlockSize);
    }

    SoakStep prepare()
    {
        static const double rates[] = { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
        static const int sizes[] = { 1, 16, 32, 64, 128, 256, 441, 512, 1024, 2048, 4096 };
        SoakStep step;
        step.kind = SoakStep::Kind::prepare;
        step.sampleRate = chance (80) ? rates[below ((int) std::size (rates))]
                                      : std::uniform_real_distribution<double> (22050.0, 192000.0) (rng);
        step.blockSize = chance (80) ? sizes[below ((int) std::size (sizes))] : 1 + below (4096);
        step.channels = chance (30) ? 1 : 2;
        return step;
    }

    SoakStep parameter()
    {
        SoakStep step;
        step.kind = SoakStep::Kind::parameter;
        step.parameterIndex = below (gribb::numParameters);
        const int roll = below (100);
        step.normalised = roll < 20 ? 0.0f : roll < 40 ? 1.0f : std::uniform_real_distribution<float> (0.0f, 1.0f) (rng);
        return step;
    }

    SoakStep block (int preparedBlockSize)
    {
        SoakStep step;
        step.kind = SoakStep::Kind::block;
        const int roll = below (100);
        step.numSamples = roll < 8    ? 0
                          : roll < 16 ? 1
                          : roll < 30 ? preparedBlockSize
                          : roll < 40 ? 1 << below (11)
                          : roll < 92 ? 1 + below (512)
                                      : 513 + below (8192 - 512);

        const int numEvents = chance (30) ? 0 : chance (75) ? 1 + below (4) : 5 + below (60);
        for (int i = 0; i < numEvents; ++i)
            step.events.push_back ({ position (step.numSamples), message() });
        return step;
    }

    static SoakStep kindOnly (SoakStep::Kind kind)
    {
        SoakStep step;
        step.kind = kind;
        return step;
    }

private:
    std::mt19937_64 rng;

    int position (int numSamples)
    {
        if (numSamples <= 1)
            return 0;
        const int roll = below (100);
        return roll < 30 ? numSamples - 1 : roll < 50 ? 0 : below (numSamples);
    }

    std::uint8_t data7() { return (std::uint8_t) below (128); }
    std::uint8_t extreme7() { return chance (50) ? (std::uint8_t) (chance (50) ? 0 : 127) : data7(); }
    std::uint8_t note() { static const std::uint8_t pool[] = { 0, 127, 60, 64, 67 }; return chance (50) ? pool[below (5)] : data7(); }
    std::uint8_t status (int high) { return (std::uint8_t) (high | below (16)); }

    std::vector<std::uint8_t> controller (std::uint8_t number, std::uint8_t value)
    {
        return { status (0xb0), number, value };
    }

    std::vector<std::uint8_t> message()
    {
        switch (below (20))
        {
            case 0: case 1: case 2: case 3:
                return { status (0x90), note(), (std::uint8_t) (chance (12) ? 0 : 1 + below (127)) };
            case 4: case 5: case 6:
                return { status (0x80), note(), data7() };
            case 7: {
                const int value = chance (60) ? (chance (50) ? 0 : 16383) : chance (20) ? 8192 : below (16384);
                return { status (0xe0), (std::uint8_t) (value & 0x7f), (std::uint8_t) (value >> 7) };
            }
            case 8: return { status (0xd0), extreme7() };
            case 9: return { status (0xa0), note(), extreme7() };
            case 10: return controller (74, extreme7());
            case 11: return controller (chance (50) ? 64 : 66, chance (80) ? (chance (50) ? 0 : 127) : data7());
            case 12: {
                static const std::uint8_t modes[] = { 120, 121, 123, 124, 125, 126, 127 };
                return controller (modes[below ((int) std::size (modes))], 0);
            }
            case 13: {
                // One byte of an RPN or NRPN exchange (pitch-bend range, the MPE configuration, data entry).
                static const std::uint8_t numbers[] = { 101, 100, 99, 98, 6, 38, 96, 97 };
                return controller (numbers[below ((int) std::size (numbers))], chance (50) ? (std::uint8_t) below (8) : data7());
            }
            case 14: return controller (data7(), data7());
            case 15: return { status (0xc0), data7() };
            case 16: {
                std::vector<std::uint8_t> sysex { 0xf0 };
                const int length = chance (5) ? below (4000) : below (64);
                for (int i = 0; i < length; ++i)
                    sysex.push_back (data7());
                if (chance (90))
                    sysex.push_back (0xf7);
                return sysex;
            }
            case 17: {
                static const std::uint8_t realtime[] = { 0xf8, 0xfa, 0xfb, 0xfc, 0xfe, 0xff, 0xf6, 0xf9, 0xfd };
                return { realtime[below ((int) std::size (realtime))] };
            }
            case 18: {
                static const std::uint8_t common[] = { 0xf1, 0xf2, 0xf3 };
                return { common[below (3)], data7(), data7() };
            }
            default: {
                // Any status byte with whatever follows it.
                std::vector<std::uint8_t> bytes { (std::uint8_t) (0x80 + below (128)) };
                for (int i = below (3); --i >= 0;)
                    bytes.push_back ((std::uint8_t) below (256));
                return bytes;
            }
        }
    }
};

/** Runs steps on one processor and checks every block; an empty string means all is well. */
class SoakRunner
{
public:
    /** Every call into the processor is timed by the watchdog. */
    explicit SoakRunner (gribb::test::HangWatchdog& dog) : processor (std::make_unique<GribbTazoAudioProcessor>()), watchdog (dog) {}

    std::string run (const SoakStep& step)
    {
        switch (step.kind)
        {
            case SoakStep::Kind::prepare: return prepare (step);
            case SoakStep::Kind::release:
                watchdog.starting();
                processor->releaseResources();
                watchdog.finished();
                return {};
            case SoakStep::Kind::parameter: return writeParameter (step);
            case SoakStep::Kind::block: return block (step);
            case SoakStep::Kind::quiesce: return quiesce();
        }
        return {};
    }

    int preparedBlockSize() const { return blockSize; }

    long long blocks = 0, samples = 0, events = 0, quiesces = 0;
    double slowestBlockMs = 0.0;

private:
    std::unique_ptr<GribbTazoAudioProcessor> processor;
    gribb::test::HangWatchdog& watchdog;
    int channels = 2, blockSize = 512;
    double sampleRate = 44100.0;
    bool prepared = false;

    static juce::AudioProcessor::BusesLayout layoutFor (int numChannels)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.outputBuses.add (numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo());
        return layout;
    }

    std::string prepare (const SoakStep& step)
    {
        if (step.channels != 1 && step.channels != 2)
            return "a prepare step with " + std::to_string (step.channels) + " channels";

        processor->releaseResources();
        if (step.channels != channels && ! processor->setBusesLayout (layoutFor (step.channels)))
            return "the processor refused a " + std::to_string (step.channels) + "-channel layout";

        channels = step.channels;
        sampleRate = step.sampleRate;
        blockSize = step.blockSize;
        prepared = true;
        watchdog.starting();
        processor->prepareToPlay (sampleRate, blockSize);
        watchdog.finished();
        return {};
    }

    std::string writeParameter (const SoakStep& step)
    {
        auto& parameters = processor->getParameters();
        if (step.parameterIndex < 0 || step.parameterIndex >= parameters.size())
            return "no parameter " + std::to_string (step.parameterIndex);
        parameters[step.parameterIndex]->setValueNotifyingHost (step.normalised);
        return {};
    }

    float outputGain() const
    {
        return juce::Decibels::decibelsToGain (processor->parameters.getRawParameterValue ("outputGain")->load());
    }

    /** Renders one block and checks it. */
    std::string render (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
    {
        // Whatever the host left in the buffer must not matter.
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 1.0e30f, buffer.getNumSamples());

        const auto start = std::chrono::steady_clock::now();
        watchdog.starting();
        processor->processBlock (buffer, midi);
        watchdog.finished();
        slowestBlockMs = std::max (slowestBlockMs, std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count());
        ++blocks;
        samples += buffer.getNumSamples();

        static const float chainPeak = downsamplingPeakGain() + 1.0f;
        const float limit = chainPeak * outputGain() * 1.0001f + 1.0e-6f;
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const float x = buffer.getSample (ch, i);
                if (! std::isfinite (x))
                    return "sample " + std::to_string (i) + " of channel " + std::to_string (ch) + " is not finite";
                if (std::abs (x) > limit)
                    return "sample " + std::to_string (i) + " of channel " + std::to_string (ch) + " is " + std::to_string (x)
                           + ", above " + std::to_string (chainPeak) + " times the output gain (" + std::to_string (limit) + ")";
            }
        return {};
    }

    std::string block (const SoakStep& step)
    {
        juce::AudioBuffer<float> buffer (channels, step.numSamples);
        juce::MidiBuffer midi;
        for (const auto& event : step.events)
            if (! event.bytes.empty())
                midi.addEvent (event.bytes.data(), (int) event.bytes.size(), event.position);
        events += (long long) step.events.size();
        return render (buffer, midi);
    }

    /** What the chain gives for silence with the same parameters, rate and layout: a fresh
        processor that has never played a note. */
    juce::AudioBuffer<float> silentOutput (int numSamples)
    {
        GribbTazoAudioProcessor reference;
        juce::MemoryBlock state;
        processor->getStateInformation (state);
        reference.setStateInformation (state.getData(), (int) state.getSize());
        if (channels != 2)
            reference.setBusesLayout (layoutFor (channels));
        if (prepared)
            reference.prepareToPlay (sampleRate, blockSize);

        juce::AudioBuffer<float> buffer (channels, numSamples);
        juce::MidiBuffer none;
        for (int i = 0; i < 3; ++i)
            reference.processBlock (buffer, none);
        return buffer;
    }

    std::string quiesce()
    {
        ++quiesces;
        const int size = std::max (256, blockSize); // the tail in blocks of a sensible size, even after a tiny prepare

        // Pedals up and every note off, on every channel.
        juce::MidiBuffer allOff;
        for (int channel = 1; channel <= 16; ++channel)
        {
            allOff.addEvent (juce::MidiMessage::controllerEvent (channel, 64, 0), 0);
            allOff.addEvent (juce::MidiMessage::controllerEvent (channel, 66, 0), 0);
            for (int note = 0; note < 128; ++note)
                allOff.addEvent (juce::MidiMessage::noteOff (channel, note), 0);
        }

        juce::AudioBuffer<float> buffer (channels, size);
        if (auto error = render (buffer, allOff); ! error.empty())
            return error;

        const double release = processor->parameters.getRawParameterValue ("release")->load();
        const auto tailBlocks = (long long) std::ceil ((release + tailSeconds) * sampleRate / size);
        juce::MidiBuffer none;
        for (long long i = 0; i < tailBlocks; ++i)
            if (auto error = render (buffer, none); ! error.empty())
                return error;

        if (const int sounding = GribbTazoAudioProcessorInspector::numActiveVoices (*processor); sounding != 0)
        {
            std::string which;
            for (int v = 0; v < 16; ++v)
            {
                auto& voice = GribbTazoAudioProcessorInspector::voice (*processor, v);
                if (! voice.isActive())
                    continue;
                const auto note = voice.getCurrentlyPlayingNote();
                which += " [channel " + std::to_string (note.midiChannel) + " note " + std::to_string (note.initialNote)
                         + " key state " + std::to_string ((int) note.keyState) + (voice.envelope.isActive() ? ", envelope on" : ", envelope idle");
                auto envelope = voice.envelope; // a copy: peek at its next level
                const auto p = envelope.getParameters();
                float level = 0.0f;
                envelope.render (&level, 1);
                which += " at " + std::to_string (level) + ", adsr " + std::to_string (p.attack) + " "
                         + std::to_string (p.decay) + " " + std::to_string (p.sustain) + " " + std::to_string (p.release) + "]";
            }
            return std::to_string (sounding) + " voices still sound after every note was released:" + which;
        }

        const auto silent = silentOutput (size);
        for (int block = 0; block < 2; ++block)
        {
            if (auto error = render (buffer, none); ! error.empty())
                return error;
            for (int ch = 0; ch < channels; ++ch)
                for (int i = 0; i < size; ++i)
                    if (! juce::exactlyEqual (buffer.getSample (ch, i), silent.getSample (ch, i)))
                        return "after the tail, sample " + std::to_string (i) + " of channel " + std::to_string (ch) + " is "
                               + std::to_string (buffer.getSample (ch, i)) + ", not the chain's silent output "
                               + std::to_string (silent.getSample (ch, i));
        }
        return {};
    }
};

/** The steps of the episode in flight, kept where the watchdog and a sanitizer can write them out. */
const std::vector<SoakStep>* stepsInFlight = nullptr;

void writeStepsInFlight (const char* fileName)
{
    if (stepsInFlight == nullptr)
        return;
    const auto text = gribb::test::writeSoakSteps (*stepsInFlight);
    if (auto* file = std::fopen (fuzzDumpFile (fileName).getFullPathName().toRawUTF8(), "wb"))
    {
        std::fwrite (text.data(), 1, text.size(), file);
        std::fclose (file);
    }
    std::cout << "[soak] the failing sequence is written to " << fuzzDumpFile (fileName).getFullPathName() << std::endl;
}

#if defined(__SANITIZE_ADDRESS__)
extern "C" void __sanitizer_set_death_callback (void (*callback)());
void writeStepsOnDeath() { writeStepsInFlight ("gribb-soak-crash.txt"); }
#endif

/** Runs the steps of one episode on a fresh processor; the first failure ends it. */
std::string runEpisode (const std::vector<SoakStep>& steps, SoakRunner& runner)
{
    for (size_t i = 0; i < steps.size(); ++i)
    {
        auto error = runner.run (steps[i]);
        if (! error.empty())
            return "step " + std::to_string (i + 1) + ": " + error;
    }
    return {};
}
} // namespace

TEST (ProcessorSoak, NoMidiStreamAutomationOrHostCallOrderBreaksTheProcessor)
{
    std::vector<SoakStep> episode;
    stepsInFlight = &episode;
   #if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback (writeStepsOnDeath);
   #endif
    // One call into the processor (a block, a prepare) may take this long.
    gribb::test::HangWatchdog watchdog ((int) environmentNumber ("GRIBB_SOAK_HANG_SECONDS", 10),
                                        [] { writeStepsInFlight ("gribb-soak-hang.txt"); });

    if (const char* replay = std::getenv ("GRIBB_SOAK_REPLAY"); replay != nullptr && *replay != 0)
    {
        const auto steps = gribb::test::readSoakSteps (juce::File (replay).loadFileAsString().toStdString());
        ASSERT_TRUE (steps.has_value()) << "cannot read the steps in " << replay;
        episode = *steps;
        SoakRunner runner (watchdog);
        const auto error = runEpisode (episode, runner);
        std::cout << "[soak] replayed " << episode.size() << " steps from " << replay << std::endl;
        stepsInFlight = nullptr;
        EXPECT_EQ (error, "");
        return;
    }

    const auto totalSteps = environmentNumber ("GRIBB_SOAK_STEPS", defaultSteps);
    const auto seconds = environmentNumber ("GRIBB_SOAK_SECONDS", 0);
    const auto seed = (std::uint64_t) environmentNumber ("GRIBB_SOAK_SEED", 20261210);
    std::cout << "[soak] peak limit: " << downsamplingPeakGain() + 1.0f << " times the output gain" << std::endl;
    std::cout << "[soak] seed " << seed << ", "
              << (seconds > 0 ? std::to_string (seconds) + " s" : std::to_string (totalSteps) + " steps") << std::endl;

    StepMaker maker (seed);
    const auto started = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count(); };
    long long steps = 0, episodes = 0, blocks = 0, samples = 0, events = 0, quiesces = 0;
    double slowestBlockMs = 0.0;

    while (seconds > 0 ? elapsed() < (double) seconds : steps < totalSteps)
    {
        // One episode: a fresh processor, sometimes played before it is prepared.
        episode.clear();
        SoakRunner runner (watchdog);
        ++episodes;
        if (maker.chance (80))
            episode.push_back (maker.prepare());

        std::string error;
        for (int i = 0; error.empty() && i < stepsPerEpisode; ++i)
        {
            const bool last = i == stepsPerEpisode - 1 || (seconds <= 0 && steps + 1 >= totalSteps);
            episode.push_back (last || (i + 1) % stepsBetweenQuiesces == 0 ? StepMaker::kindOnly (SoakStep::Kind::quiesce)
                                                                            : maker.next (runner.preparedBlockSize()));
            error = runner.run (episode.back());
            ++steps;
            if (last)
                break;
        }

        blocks += runner.blocks;
        samples += runner.samples;
        events += runner.events;
        quiesces += runner.quiesces;
        slowestBlockMs = std::max (slowestBlockMs, runner.slowestBlockMs);

        if (! error.empty())
        {
            writeStepsInFlight ("gribb-soak-failure.txt");
            stepsInFlight = nullptr;
            FAIL() << "episode " << episodes << ", step " << episode.size() << ": " << error;
        }

        if (seconds > 0 && episodes % 20 == 0)
            std::cout << "[soak] " << (long long) elapsed() << " s: " << steps << " steps, " << blocks << " blocks" << std::endl;
    }

    stepsInFlight = nullptr;
    std::cout << "[soak] " << steps << " steps in " << episodes << " episodes, " << blocks << " blocks, " << samples
              << " samples, " << events << " MIDI events, " << quiesces << " tails checked, slowest block "
              << slowestBlockMs << " ms, " << elapsed() << " s" << std::endl;
}

TEST (ProcessorSoak, SavedSequencesReadBackStepForStep)
{
    StepMaker maker (7);
    std::vector<SoakStep> steps { maker.prepare(), StepMaker::kindOnly (SoakStep::Kind::release),
                                  StepMaker::kindOnly (SoakStep::Kind::quiesce) };
    for (int i = 0; i < 300; ++i)
        steps.push_back (maker.next (512));

    const auto text = gribb::test::writeSoakSteps (steps);
    const auto read = gribb::test::readSoakSteps (text);
    ASSERT_TRUE (read.has_value());
    ASSERT_EQ (read->size(), steps.size());
    EXPECT_EQ (gribb::test::writeSoakSteps (*read), text);

    EXPECT_FALSE (gribb::test::readSoakSteps ("block 12 1\n  3 zz\n").has_value());
    EXPECT_FALSE (gribb::test::readSoakSteps ("block 12 2\n  3 90 40 40\n").has_value());
    EXPECT_FALSE (gribb::test::readSoakSteps ("jump 3\n").has_value());
}
