// A host's audio thread in a test: renders blocks with notes starting and stopping (and, when
// asked, bending, pressing and turning controllers 21 and 22) on its own thread until stopped,
// and checks that every sample is finite.
#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb::test
{
class AudioThread
{
public:
    explicit AudioThread (juce::AudioProcessor& p, bool withExpression = false, int blockSize = 256)
        : processor (p), expression (withExpression), samplesPerBlock (blockSize)
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
        juce::AudioBuffer<float> buffer (juce::jmax (1, processor.getTotalNumOutputChannels()), samplesPerBlock);
        juce::MidiBuffer midi;

        for (int n = 0; keepGoing; ++n)
        {
            midi.clear();
            if (n % 40 == 0)
                for (int note : { 48, 55, 60, 64 })
                    midi.addEvent (juce::MidiMessage::noteOn (1 + note % 16, note, 0.9f), 0);
            if (expression && n % 40 == 10)
                midi.addEvent (juce::MidiMessage::pitchWheel (1, 12000), 3);
            if (expression && n % 40 == 20)
                midi.addEvent (juce::MidiMessage::channelPressureChange (1 + 55 % 16, 90), 7);
            if (expression && n % 4 == 2)
                midi.addEvent (juce::MidiMessage::controllerEvent (1 + n % 16, 21 + (n / 4) % 2, n % 128), 5);
            if (n % 40 == 30)
                midi.addEvent (juce::MidiMessage::allNotesOff (1), 0);

            buffer.clear();
            processor.processBlock (buffer, midi);

            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                for (int i = 0; i < buffer.getNumSamples(); ++i)
                    if (! std::isfinite (buffer.getSample (ch, i)))
                        finite = false;

            ++blocks;
            std::this_thread::sleep_for (std::chrono::milliseconds (2));
        }
    }

    juce::AudioProcessor& processor;
    const bool expression;
    const int samplesPerBlock;
    std::atomic<bool> keepGoing { true };
    std::atomic<int> blocks { 0 };
    std::atomic<bool> finite { true };
    std::thread thread;
};
} // namespace gribb::test
