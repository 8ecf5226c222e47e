#pragma once

#include <functional>

#include <juce_events/juce_events.h>

namespace juce::detail
{
// JUCE's Linux message loop step (declared in juce_events, not in its public headers).
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce::detail

namespace gribb::test
{
/** Runs the message loop on this (the message) thread for the given time: timers, async updates
    and repaints happen as in a host. */
inline void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;
    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::detail::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}

/** Runs the message loop until the condition holds, for at most ten seconds (the display and
    the processors are shared with other work, which on a busy machine may hold this for
    seconds); returns whether it held. */
inline bool pumpUntil (const std::function<bool()>& condition)
{
    for (int waited = 0; waited < 10000 && ! condition(); waited += 10)
        pumpMessages (10);
    return condition();
}
} // namespace gribb::test
