#pragma once

#include <atomic>
#include <cstddef>

namespace gribb::test
{
/** Counts heap allocations made on the current thread while an instance is alive. The test
    program replaces the global operator new, so every allocation through it is seen. */
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    std::size_t count() const noexcept;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

private:
    std::size_t startCount;
};
} // namespace gribb::test
