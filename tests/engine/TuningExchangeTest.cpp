#include <gtest/gtest.h>

#include "engine/TuningExchange.h"
#include "support/AllocationCounter.h"

namespace
{
/** A tuning that says when it is freed. */
std::unique_ptr<gribb::Tuning> tuningWithKey0At (double hz)
{
    auto tuning = std::make_unique<gribb::Tuning>();
    tuning->frequencies[0] = hz;
    return tuning;
}
} // namespace

TEST (TuningExchange, AReplacedTuningIsFreedOnlyOnceNoBlockCanUseIt)
{
    gribb::TuningExchange exchange;
    EXPECT_EQ (exchange.acquire(), nullptr);

    exchange.set (tuningWithKey0At (100.0));
    const auto* first = exchange.acquire(); // a block starts with the first tuning
    ASSERT_NE (first, nullptr);
    EXPECT_EQ (first->frequencies[0], 100.0);

    exchange.set (tuningWithKey0At (200.0)); // replaced while that block may still run
    EXPECT_EQ (exchange.numRetired(), 1u);

    const auto* second = exchange.acquire(); // the next block: the first block has ended
    EXPECT_EQ (second->frequencies[0], 200.0);
    exchange.freeUnused();
    EXPECT_EQ (exchange.numRetired(), 1u) << "a block that began before the swap may have used it until now";

    exchange.acquire();
    exchange.freeUnused();
    EXPECT_EQ (exchange.numRetired(), 0u);

    exchange.set (nullptr);
    EXPECT_EQ (exchange.acquire(), nullptr);
}

TEST (TuningExchange, TheAudioThreadsSideAllocatesNothing)
{
    gribb::TuningExchange exchange;
    exchange.set (tuningWithKey0At (100.0));
    gribb::test::ScopedAllocationCounter counter;
    for (int i = 0; i < 100; ++i)
        exchange.acquire();
    counter.stop();
    EXPECT_EQ (counter.allocations(), 0u) << counter.describe();
}
