#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/Tuning.h"

namespace gribb
{
/** Hands a tuning from the message thread to the audio thread without a lock, and frees a
    replaced tuning on the message thread once the audio thread can no longer be using it.

    The audio thread takes the current tuning once at the start of each block (acquire) and uses
    it until the next block's acquire; each acquire loads the pointer and then counts the block.
    A tuning replaced when the count was E was read at most by block E + 1, which has ended once
    the count reaches E + 2: from then on the message thread may free it. */
class TuningExchange
{
public:
    TuningExchange() = default;
    ~TuningExchange() = default;

    /** Message thread: the tuning from the next block on (nullptr: standard tuning). */
    void set (std::unique_ptr<Tuning> tuning)
    {
        const Tuning* next = tuning.get();
        published.store (next);
        const auto epoch = blocks.load();
        if (current != nullptr)
            retired.push_back ({ std::move (current), epoch });
        current = std::move (tuning);
        freeUnused();
    }

    /** Message thread: frees the replaced tunings no block can still be using. */
    void freeUnused()
    {
        const auto now = blocks.load();
        for (size_t i = retired.size(); i-- > 0;)
            if (now >= retired[i].epoch + 2)
                retired.erase (retired.begin() + (std::ptrdiff_t) i);
    }

    /** Message thread: the tuning last set. */
    const Tuning* get() const noexcept { return current.get(); }

    /** Audio thread, once per block. */
    const Tuning* acquire() noexcept
    {
        const auto* tuning = published.load();
        blocks.fetch_add (1);
        return tuning;
    }

    /** Message thread: how many replaced tunings wait to be freed (for tests). */
    size_t numRetired() const noexcept { return retired.size(); }

private:
    struct Retired
    {
        std::unique_ptr<Tuning> tuning;
        std::uint64_t epoch;
    };

    std::atomic<const Tuning*> published { nullptr };
    std::atomic<std::uint64_t> blocks { 0 };
    std::unique_ptr<Tuning> current;
    std::vector<Retired> retired;

    TuningExchange (const TuningExchange&) = delete;
    TuningExchange& operator= (const TuningExchange&) = delete;
};
} // namespace gribb
