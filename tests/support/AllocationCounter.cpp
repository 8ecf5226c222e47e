#include "support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool counting = false;
thread_local std::size_t allocations = 0;

void* allocate (std::size_t size)
{
    if (counting)
        ++allocations;

    if (void* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::size_t alignment)
{
    if (counting)
        ++allocations;

    void* p = nullptr;
    if (posix_memalign (&p, alignment < sizeof (void*) ? sizeof (void*) : alignment, size == 0 ? 1 : size) != 0)
        throw std::bad_alloc();
    return p;
}
} // namespace

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, (std::size_t) a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, (std::size_t) a); }
void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }

namespace gribb::test
{
ScopedAllocationCounter::ScopedAllocationCounter() : startCount (allocations) { counting = true; }
ScopedAllocationCounter::~ScopedAllocationCounter() { counting = false; }
std::size_t ScopedAllocationCounter::count() const noexcept { return allocations - startCount; }
} // namespace gribb::test
