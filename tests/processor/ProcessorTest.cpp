#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "support/ProcessorAccess.h"
#include "support/RealtimeChecks.h"

using Inspector = GribbTazoAudioProcessorInspector;
using gribb::test::allFinite;
using gribb::test::setPlain;

namespace
{
juce::AudioBuffer<float> processBlock (GribbTazoAudioProcessor& p, int numSamples, juce::MidiBuffer midi = {}, int channels = 2)
{
    juce::AudioBuffer<float> buffer (channels, numSamples);
    buffer.clear();
    p.processBlock (buffer, midi);
    return buffer;
}

juce::MidiBuffer midiOf (std::initializer_list<juce::MidiMessage> messages)
{
    juce::MidiBuffer midi;
    for (const auto& m : messages)
        midi.addEvent (m, 0);
    return midi;
}

/** Frequency from the rising zero crossings of a channel (enough for a clean triangle). */
double estimateFrequency (const juce::AudioBuffer<float>& b, double rate, int from)
{
    int first = -1, last = -1, crossings = 0;
    for (int i = from + 1; i < b.getNumSamples(); ++i)
        if (b.getSample (0, i - 1) < 0.0f && b.getSample (0, i) >= 0.0f)
        {
            if (first < 0)
                first = i;
            else
                ++crossings;
            last = i;
        }
    return crossings > 0 ? rate * crossings / (double) (last - first) : 0.0;
}
} // namespace

TEST (Processor, AnswersTheHostsFixedQuestions)
{
    GribbTazoAudioProcessor p;
    EXPECT_EQ (p.getName(), "Gribb Tazo");
    EXPECT_EQ (p.getTailLengthSeconds(), 2.0);
    EXPECT_TRUE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_FALSE (p.isMidiEffect());
    EXPECT_FALSE (p.supportsMPE());
    EXPECT_TRUE (p.hasEditor());
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_EQ (p.getTotalNumInputChannels(), 0);
    EXPECT_EQ (p.getTotalNumOutputChannels(), 2);
    EXPECT_EQ (p.roastLevel.load(), 0.0f);
    EXPECT_EQ (Inspector::synth (p).getNumVoices(), 16);
}

TEST (Processor, AcceptsMonoOrStereoOutputOnly)
{
    GribbTazoAudioProcessor p;
    struct Case { juce::AudioChannelSet out; bool accepted; };
    const Case cases[] = { { juce::AudioChannelSet::stereo(), true },  { juce::AudioChannelSet::mono(), true },
                           { juce::AudioChannelSet::create5point1(), false }, { juce::AudioChannelSet::disabled(), false },
                           { juce::AudioChannelSet::quadraphonic(), false } };

    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.outputBuses.add (c.out);
        EXPECT_EQ (p.checkBusesLayoutSupported (layout), c.accepted) << c.out.getDescription();

        layout.inputBuses.add (juce::AudioChannelSet::stereo()); // inputs are not examined
        EXPECT_EQ (p.isBusesLayoutSupported (layout), c.accepted) << c.out.getDescription();
    }
}

TEST (Processor, ClearsWhateverTheHostPassedIn)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    for (int ch = 0; ch < 2; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.75f, 256);

    juce::MidiBuffer midi;
    p.processBlock (buffer, midi);
    EXPECT_EQ (buffer.getMagnitude (0, 256), 0.0f);
}

TEST (Processor, ANoteSoundsOnBothChannels)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (48000.0, 512);
    auto out = processBlock (p, 512, midiOf ({ juce::MidiMessage::noteOn (1, 60, 0.8f) }));
    EXPECT_GT (out.getMagnitude (0, 0, 512), 0.01f);
    EXPECT_GT (out.getMagnitude (1, 0, 512), 0.01f);
}

TEST (Processor, SixteenVoicesThenStealing)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (48000.0, 128);

    for (int i = 0; i < 16; ++i)
        processBlock (p, 128, midiOf ({ juce::MidiMessage::noteOn (1 + i, 40 + i, 0.8f) }));
    EXPECT_EQ (Inspector::numActiveVoices (p), 16);

    processBlock (p, 128, midiOf ({ juce::MidiMessage::noteOn (1, 90, 0.8f) }));
    EXPECT_EQ (Inspector::numActiveVoices (p), 16);

    bool seventeenthSounds = false;
    for (int i = 0; i < 16; ++i)
        seventeenthSounds |= Inspector::voice (p, i).getCurrentlyPlayingNote().initialNote == 90;
    EXPECT_TRUE (seventeenthSounds);
}

TEST (Processor, FullPitchBendOnEveryChannelIsFortyEightSemitones)
{
    for (int channel = 1; channel <= 16; ++channel)
    {
        for (int wheel : { 16383, 0 })
        {
            GribbTazoAudioProcessor p;
            setPlain (p, "oscType", 1.0f);
            setPlain (p, "cutoff", 20000.0f);
            p.prepareToPlay (48000.0, 4800);

            // A-2 (45) bent up four octaves is 1760 Hz; A6 (93) bent down four octaves is 110 Hz.
            const int note = wheel > 8192 ? 45 : 93;
            auto out = processBlock (p, 4800, midiOf ({ juce::MidiMessage::pitchWheel (channel, wheel),
                                                          juce::MidiMessage::noteOn (channel, note, 1.0f) }));
            SCOPED_TRACE ("channel " + std::to_string (channel) + " wheel " + std::to_string (wheel));

            auto& voice = Inspector::voice (p, 0);
            const double expected = wheel > 8192 ? 1760.0 : 110.0;
            EXPECT_NEAR (voice.mainOscillator.frequency, expected, expected * 1.0e-4);
            if (channel == 1 || channel == 16)
            {
                EXPECT_NEAR (estimateFrequency (out, 48000.0, 480), expected, expected * 0.01);
            }
        }
    }
}

TEST (Processor, BendMovesOnlyTheNotesOfItsChannel)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (48000.0, 64);
    processBlock (p, 64, midiOf ({ juce::MidiMessage::noteOn (3, 69, 1.0f), juce::MidiMessage::noteOn (4, 69, 1.0f) }));
    processBlock (p, 64, midiOf ({ juce::MidiMessage::pitchWheel (3, 8192 + 4096) }));

    std::vector<float> frequencies;
    for (int i = 0; i < 16; ++i)
        if (Inspector::voice (p, i).isActive())
            frequencies.push_back (Inspector::voice (p, i).mainOscillator.frequency);

    ASSERT_EQ (frequencies.size(), 2u);
    std::sort (frequencies.begin(), frequencies.end());
    EXPECT_FLOAT_EQ (frequencies[0], 440.0f);
    // 4096 / 8191 of 48 semitones up.
    EXPECT_NEAR (frequencies[1], 440.0 * std::pow (2.0, 48.0 * 4096.0 / 8191.0 / 12.0), 0.05);
}

TEST (Processor, ParameterChangesReachTheVoicesAtTheNextBlock)
{
    GribbTazoAudioProcessor p;
    p.prepareToPlay (48000.0, 64);
    processBlock (p, 64);

    setPlain (p, "oscType", 2.0f);
    setPlain (p, "unison", 12.5f);
    setPlain (p, "release", 1.5f);
    setPlain (p, "sustain", 0.25f);

    // Not before the next block...
    EXPECT_EQ (Inspector::voice (p, 5).params.oscType, 0);

    // ...and a note starting in that block already uses the new snapshot.
    processBlock (p, 64, midiOf ({ juce::MidiMessage::noteOn (1, 60, 1.0f) }));
    for (int i = 0; i < 16; ++i)
    {
        const auto& params = Inspector::voice (p, i).params;
        EXPECT_EQ (params.oscType, 2);
        EXPECT_FLOAT_EQ (params.unisonDetune, 12.5f);
        EXPECT_FLOAT_EQ (params.release, 1.5f);
        EXPECT_FLOAT_EQ (params.sustain, 0.25f);
        EXPECT_FLOAT_EQ (Inspector::voice (p, i).envelope.getParameters().release, 1.5f);
    }
    EXPECT_EQ (Inspector::voice (p, 0).mainOscillator.shape, 2);
}

TEST (Processor, NoAllocationWhileNotesStartBendAndStop)
{
    GribbTazoAudioProcessor p;
    setPlain (p, "unison", 9.0f);
    setPlain (p, "oscType", 2.0f);
    p.prepareToPlay (48000.0, 512);

    juce::AudioBuffer<float> buffer (2, 512);
    std::vector<juce::MidiBuffer> blocks (40);
    for (int i = 0; i < 20; ++i)
    {
        blocks[(size_t) i].addEvent (juce::MidiMessage::noteOn (1 + i % 16, 40 + i, 0.9f), i * 7);
        blocks[(size_t) i + 1].addEvent (juce::MidiMessage::pitchWheel (1 + i % 16, 1000 + 700 * i), 100);
        blocks[(size_t) i + 1].addEvent (juce::MidiMessage::channelPressureChange (1 + i % 16, 5 * i), 200);
        blocks[(size_t) i + 20].addEvent (juce::MidiMessage::noteOff (1 + i % 16, 40 + i), 3 * i);
    }

    gribb::test::ScopedAllocationCounter counter;
    for (auto& midi : blocks)
        p.processBlock (buffer, midi);
    gribb::test::expectNoHeapCallOfOurs (counter);
}

TEST (Processor, NoteEventsReachTheHeapOnlyInJucesMpeBookkeeping)
{
    if (! gribb::test::heapFunctionsAreCounted())
        GTEST_SKIP() << "the sanitizer builds keep their own allocator";

    struct Case
    {
        const char* what;
        float release;   // seconds: short frees each voice before the next note
        bool holdChord;  // sixteen held notes first, so that every later note steals a voice
    };
    const Case cases[] = { { "a legato line, voices free", 0.001f, false },
                           { "a legato line over a held chord, each note steals a voice", 2.0f, true } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        GribbTazoAudioProcessor p;
        setPlain (p, "release", c.release);
        p.prepareToPlay (48000.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);

        // Sixteen notes at once grow JUCE's note list to sixteen entries: a pre-sizing that
        // does not last, since the list gives its room back as notes end.
        juce::MidiBuffer chordOn, chordOff;
        for (int i = 0; i < 16; ++i)
        {
            chordOn.addEvent (juce::MidiMessage::noteOn (1 + i, 40 + i, 0.8f), 0);
            chordOff.addEvent (juce::MidiMessage::noteOff (1 + i, 40 + i), 0);
        }
        p.processBlock (buffer, chordOn);
        if (! c.holdChord)
            p.processBlock (buffer, chordOff);

        // Then a legato line: each note starts before the one before it ends.
        std::vector<juce::MidiBuffer> blocks (17);
        for (int i = 0; i < 16; ++i)
        {
            blocks[(size_t) i].addEvent (juce::MidiMessage::noteOn (1, 70 + i, 0.8f), 10);
            blocks[(size_t) i + 1].addEvent (juce::MidiMessage::noteOff (1, 70 + i), 20);
        }

        gribb::test::ScopedAllocationCounter counter;
        for (auto& midi : blocks)
            p.processBlock (buffer, midi);

        gribb::test::expectNoHeapCallOfOurs (counter);
        const auto report = counter.describe();
        std::cout << "[alloc] " << c.what << ", 32 note events: " << report.substr (0, report.find ('\n')) << std::endl;
        std::map<std::string, int> callers; // the function that called the heap, and how often
        for (const auto& site : counter.callSites())
            if (site.kind != gribb::test::HeapCall::free && site.frames.size() > 1)
                ++callers[site.frames[1]];
        for (const auto& [caller, n] : callers)
            std::cout << "[alloc]   " << n << " from " << caller << std::endl;
        for (const auto& [caller, n] : callers)
            EXPECT_EQ (caller.find ("findVoiceToSteal"), std::string::npos) << "the steal search reached the heap";
        EXPECT_GT (counter.allocations(), 0u)
            << "JUCE's MPE bookkeeping no longer reaches the heap here: update the known limits in the README";
    }
}

TEST (Processor, NotesReleasedWhileDecayingTowardsZeroSustainFreeTheirVoices)
{
    // A pluck: sustain 0. Notes let go while they still decay must leave no voice busy.
    GribbTazoAudioProcessor p;
    setPlain (p, "sustain", 0.0f);
    setPlain (p, "decay", 2.0f);
    setPlain (p, "release", 0.3f);
    p.prepareToPlay (48000.0, 512);

    processBlock (p, 512, midiOf ({ juce::MidiMessage::noteOn (1, 60, 0.9f), juce::MidiMessage::noteOn (2, 64, 0.9f) }));
    processBlock (p, 512);
    processBlock (p, 512, midiOf ({ juce::MidiMessage::noteOff (1, 60), juce::MidiMessage::noteOff (2, 64) }));
    for (int i = 0; i < 40; ++i) // 0.43 s, longer than the release
        processBlock (p, 512);
    EXPECT_EQ (Inspector::numActiveVoices (p), 0);
}

TEST (Processor, FiniteOutputForAnyBlockSizeAndRate)
{
    for (double rate : { 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0 })
    {
        GribbTazoAudioProcessor p;
        setPlain (p, "oscType", 0.0f);
        setPlain (p, "pulseWidth", 0.05f);
        p.prepareToPlay (rate, 256);

        for (int size : { 0, 1, 37, 256, 1000 })
        {
            auto midi = midiOf ({ juce::MidiMessage::noteOn (2, 127, 1.0f), juce::MidiMessage::pitchWheel (2, 16383) });
            auto out = processBlock (p, size, midi);
            EXPECT_TRUE (allFinite (out)) << rate << " Hz, block " << size;
        }
        EXPECT_TRUE (allFinite (processBlock (p, 1, {}, 1))) << "mono";
    }
}

TEST (Processor, BlocksBeforePrepareToPlayAreFiniteAndTerminate)
{
    for (int shape : { 0, 1, 2 })
    {
        GribbTazoAudioProcessor p;
        setPlain (p, "oscType", (float) shape);
        auto first = processBlock (p, 512, midiOf ({ juce::MidiMessage::noteOn (1, 60, 1.0f) }));
        auto second = processBlock (p, 33);
        EXPECT_TRUE (allFinite (first));
        EXPECT_TRUE (allFinite (second));
        EXPECT_GT (first.getMagnitude (0, 512), 0.0f) << "plays at the default rate";
    }
}
