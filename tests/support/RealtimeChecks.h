// What the audio thread may do with the heap: nothing of ours. Two pieces of JUCE's MPE
// synthesiser reach the C heap on note events: the instrument's list of sounding notes, an array
// that grows when a note starts and shrinks when one ends, and the synthesiser's list of voices to
// steal from, which it empties, storage and all, before every steal. Those are the only call sites
// allowed.
#pragma once

#include <gtest/gtest.h>

#include "support/AllocationCounter.h"

namespace gribb::test
{
/** True when the heap call comes from JUCE's MPE note list or voice-stealing list: the first
    function past JUCE's array helpers is one of those two. */
inline bool isJucesMpeBookkeeping (const HeapCallSite& site)
{
    const auto startsWith = [] (const std::string& s, const char* prefix) { return s.rfind (prefix, 0) == 0; };

    for (size_t f = 1; f < site.frames.size(); ++f) // frame 0 is the heap function itself
    {
        const auto& name = site.frames[f];
        if (startsWith (name, "juce::MPEInstrument::") || startsWith (name, "juce::MPESynthesiser::findVoiceToSteal"))
            return true;
        if (! (startsWith (name, "juce::ArrayBase<") || startsWith (name, "juce::Array<") || startsWith (name, "juce::HeapBlock<")))
            return false;
    }
    return false;
}

/** No operator new at all, and no C heap call but JUCE's MPE bookkeeping. Stops the counter. */
inline void expectNoHeapCallOfOurs (ScopedAllocationCounter& counter)
{
    counter.stop();
    EXPECT_EQ (counter.count(), 0u) << counter.describe();
    if (! heapFunctionsAreCounted())
        return;

    ASSERT_TRUE (counter.recordedEveryCall()) << counter.describe();
    EXPECT_TRUE (counter.allocatingCallSitesExcept (isJucesMpeBookkeeping).empty()) << counter.describe();
}
} // namespace gribb::test
