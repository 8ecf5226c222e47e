#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace gribb::test
{
/** The heap calls the counter tells apart. */
enum class HeapCall { operatorNew, malloc, calloc, realloc, free };

/** One counted heap call and the functions it was made from, innermost first. */
struct HeapCallSite
{
    HeapCall kind;
    std::size_t size;
    std::vector<std::string> frames;

    std::string describe() const;
};

/** True when the test program sees malloc, calloc, realloc and free as well as operator new.
    The sanitizer builds keep their own allocator, so there only operator new is counted. */
bool heapFunctionsAreCounted() noexcept;

/** Counts heap calls made on the current thread while an instance is alive. The test program
    replaces the global operator new and, outside the sanitizer builds, malloc, calloc, realloc
    and free; the first calls are recorded with their call stacks. */
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    /** Stops counting (and recording), so that the test's own checks are not counted. */
    void stop() noexcept;

    /** Calls of operator new. */
    std::size_t count() const noexcept;
    std::size_t count (HeapCall kind) const noexcept;

    /** Every call that can allocate: operator new, malloc, calloc and realloc. */
    std::size_t allocations() const noexcept;

    /** The recorded calls (up to a fixed number), with their frames resolved to function names. */
    std::vector<HeapCallSite> callSites() const;

    /** The recorded allocating calls (free excluded) that the predicate does not accept. */
    std::vector<HeapCallSite> allocatingCallSitesExcept (const std::function<bool (const HeapCallSite&)>& accepted) const;

    /** False when more calls were made than could be recorded. */
    bool recordedEveryCall() const noexcept;

    /** The counts and the recorded call sites, for a test's output. */
    std::string describe() const;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

private:
    std::size_t start[5];
    std::size_t end[5] {};
    std::size_t firstRecord, lastRecord = 0;
    bool stopped = false;
};
} // namespace gribb::test
