// A host's automation in a test: random normalised values written to random parameters on a
// thread of its own, until stopped.
#pragma once

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include <juce_audio_processors/juce_audio_processors.h>

namespace gribb::test
{
/** Writes random parameter values on its own thread until stopped, as host automation does. */
class AutomationThread
{
public:
    explicit AutomationThread (juce::AudioProcessor& p) : processor (p), thread ([this] { run(); }) {}

    ~AutomationThread()
    {
        keepGoing = false;
        thread.join();
    }

    int writes() const { return count.load(); }

private:
    void run()
    {
        std::mt19937 rng (5);
        auto& parameters = processor.getParameters();
        while (keepGoing)
        {
            auto* parameter = parameters[(int) (rng() % (unsigned) parameters.size())];
            parameter->setValueNotifyingHost (std::uniform_real_distribution<float> (0.0f, 1.0f) (rng));
            ++count;
            std::this_thread::sleep_for (std::chrono::microseconds (300));
        }
    }

    juce::AudioProcessor& processor;
    std::atomic<bool> keepGoing { true };
    std::atomic<int> count { 0 };
    std::thread thread;
};
} // namespace gribb::test
