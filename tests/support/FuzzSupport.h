// Shared by the fuzzers: numbers from the environment, a watchdog that catches a hang, and the
// file a failing input is written to.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <mutex>
#include <thread>

#include <juce_core/juce_core.h>

namespace gribb::test
{
/** An integer from the environment, or the fallback when the variable is unset or empty. */
inline long long environmentNumber (const char* name, long long fallback)
{
    if (const char* text = std::getenv (name))
        if (*text != 0)
            return std::strtoll (text, nullptr, 10);
    return fallback;
}

/** Where a fuzzer leaves an input worth keeping: the temporary folder. */
inline juce::File fuzzDumpFile (const char* name)
{
    return juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile (name);
}

/** Catches a hang: when one step stays busy for longer than the limit, `onHang` runs (it writes
    the input out, so that the hang can be reproduced) and the program aborts. */
class HangWatchdog
{
public:
    HangWatchdog (int seconds, std::function<void()> onHangToCall)
        : limit (seconds), onHang (std::move (onHangToCall)), thread ([this] { run(); })
    {
    }

    ~HangWatchdog()
    {
        {
            const std::lock_guard<std::mutex> lock (mutex);
            stopping = true;
        }
        wake.notify_all();
        thread.join();
    }

    void starting()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        ++generation;
        busy = true;
        wake.notify_all();
    }

    void finished()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        busy = false;
    }

    HangWatchdog (const HangWatchdog&) = delete;
    HangWatchdog& operator= (const HangWatchdog&) = delete;

private:
    void run()
    {
        std::unique_lock<std::mutex> lock (mutex);

        while (! stopping)
        {
            wake.wait (lock, [this] { return stopping || busy; });
            const auto watched = generation;

            if (wake.wait_for (lock, std::chrono::seconds (limit), [&] { return stopping || ! busy || generation != watched; }))
                continue;

            std::cout << "[fuzz] one step has run for " << limit << " s" << std::endl;
            onHang();
            std::abort();
        }
    }

    const int limit;
    const std::function<void()> onHang;
    std::mutex mutex;
    std::condition_variable wake;
    long long generation = 0;
    bool busy = false, stopping = false;
    std::thread thread;
};
} // namespace gribb::test
