#include "support/AllocationCounter.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <sstream>

#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
 #define GRIBB_COUNT_HEAP_FUNCTIONS 0
#else
 #define GRIBB_COUNT_HEAP_FUNCTIONS 1
#endif

extern "C"
{
void* __libc_malloc (std::size_t);
void* __libc_calloc (std::size_t, std::size_t);
void* __libc_realloc (void*, std::size_t);
void __libc_free (void*);
}

namespace
{
using gribb::test::HeapCall;

constexpr int numKinds = 5;
constexpr int maxRecords = 256;
constexpr int maxFrames = 24;

struct Record
{
    HeapCall kind;
    std::size_t size;
    int numFrames;
    void* frames[maxFrames];
};

// Plain thread-local data only: these are touched from inside malloc, where nothing may allocate.
thread_local bool counting = false;
thread_local bool insideHook = false;
thread_local std::size_t counts[numKinds] {};
thread_local std::size_t numRecorded = 0;
thread_local Record records[maxRecords];

__attribute__ ((noinline)) void note (HeapCall kind, std::size_t size)
{
    if (! counting || insideHook)
        return;

    insideHook = true; // backtrace may allocate on its first use
    ++counts[(int) kind];
    if (numRecorded < maxRecords)
    {
        auto& r = records[numRecorded++];
        r.kind = kind;
        r.size = size;
        r.numFrames = backtrace (r.frames, maxFrames);
    }
    insideHook = false;
}

void* rawMalloc (std::size_t size)
{
   #if GRIBB_COUNT_HEAP_FUNCTIONS
    return __libc_malloc (size);
   #else
    return std::malloc (size);
   #endif
}

void* allocate (std::size_t size)
{
    note (HeapCall::operatorNew, size);
    if (void* p = rawMalloc (size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::size_t alignment)
{
    note (HeapCall::operatorNew, size);
    void* p = nullptr;
    if (posix_memalign (&p, alignment < sizeof (void*) ? sizeof (void*) : alignment, size == 0 ? 1 : size) != 0)
        throw std::bad_alloc();
    return p;
}

/** Names the function behind each address: from the dynamic symbol table where the symbol is
    exported, otherwise from the file's full symbol table through addr2line (JUCE's and the
    plug-in's functions are hidden from the dynamic table). */
std::vector<std::string> functionsAt (const std::vector<void*>& addresses)
{
    static std::map<void*, std::string> known; // call sites repeat: resolve each address once
    std::vector<std::string> names (addresses.size());
    std::map<std::string, std::vector<std::pair<size_t, std::uintptr_t>>> unresolvedByFile;

    for (size_t i = 0; i < addresses.size(); ++i)
    {
        if (auto found = known.find (addresses[i]); found != known.end())
        {
            names[i] = found->second;
            continue;
        }

        Dl_info info {};
        if (dladdr (addresses[i], &info) != 0 && info.dli_sname != nullptr)
        {
            int status = 0;
            char* demangled = abi::__cxa_demangle (info.dli_sname, nullptr, nullptr, &status);
            names[i] = status == 0 && demangled != nullptr ? demangled : info.dli_sname;
            std::free (demangled);
            continue;
        }

        std::ostringstream fallback;
        fallback << addresses[i] << " in " << (info.dli_fname != nullptr ? info.dli_fname : "?");
        names[i] = fallback.str();
        if (info.dli_fname != nullptr)
            // One byte back: the return address may already belong to the next function.
            unresolvedByFile[info.dli_fname].push_back ({ i, (std::uintptr_t) addresses[i] - (std::uintptr_t) info.dli_fbase - 1 });
    }

    for (const auto& [file, entries] : unresolvedByFile)
    {
        std::ostringstream command;
        command << "addr2line -f -C -e '" << file << "'";
        for (const auto& entry : entries)
            command << " 0x" << std::hex << entry.second;

        if (auto* pipe = popen (command.str().c_str(), "r"))
        {
            char line[4096];
            for (const auto& entry : entries)
            {
                if (std::fgets (line, sizeof (line), pipe) == nullptr)
                    break;
                std::string function (line);
                function.erase (function.find_last_not_of ("\r\n") + 1);
                if (function != "??")
                    names[entry.first] = function;
                if (std::fgets (line, sizeof (line), pipe) == nullptr) // file and line
                    break;
            }
            pclose (pipe);
        }
    }

    for (size_t i = 0; i < addresses.size(); ++i)
        known[addresses[i]] = names[i];
    return names;
}

const char* nameOf (HeapCall kind)
{
    switch (kind)
    {
        case HeapCall::operatorNew: return "operator new";
        case HeapCall::malloc: return "malloc";
        case HeapCall::calloc: return "calloc";
        case HeapCall::realloc: return "realloc";
        case HeapCall::free: return "free";
    }
    return "?";
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

#if GRIBB_COUNT_HEAP_FUNCTIONS
// The C heap functions of the whole program, JUCE's and the standard library's included, pass
// through here on their way to the C library's allocator.
extern "C"
{
void* malloc (std::size_t size)
{
    note (HeapCall::malloc, size);
    return __libc_malloc (size);
}

void* calloc (std::size_t count, std::size_t size)
{
    note (HeapCall::calloc, count * size);
    return __libc_calloc (count, size);
}

void* realloc (void* p, std::size_t size)
{
    note (HeapCall::realloc, size);
    return __libc_realloc (p, size);
}

void free (void* p)
{
    if (p != nullptr)
        note (HeapCall::free, 0);
    __libc_free (p);
}
}
#endif

namespace gribb::test
{
bool heapFunctionsAreCounted() noexcept { return GRIBB_COUNT_HEAP_FUNCTIONS != 0; }

std::string HeapCallSite::describe() const
{
    std::ostringstream out;
    out << nameOf (kind) << " (" << size << " bytes)";
    for (const auto& frame : frames)
        out << "\n      " << frame;
    return out.str();
}

ScopedAllocationCounter::ScopedAllocationCounter() : firstRecord (numRecorded)
{
    void* warmUp[2];
    backtrace (warmUp, 2); // loads the unwinder now, not inside the first counted call

    for (int i = 0; i < numKinds; ++i)
        start[i] = counts[i];
    counting = true;
}

ScopedAllocationCounter::~ScopedAllocationCounter()
{
    counting = false;
    numRecorded = firstRecord;
}

void ScopedAllocationCounter::stop() noexcept
{
    if (stopped)
        return;
    counting = false;
    stopped = true;
    for (int i = 0; i < numKinds; ++i)
        end[i] = counts[i];
    lastRecord = numRecorded;
}

std::size_t ScopedAllocationCounter::count() const noexcept { return count (HeapCall::operatorNew); }

std::size_t ScopedAllocationCounter::count (HeapCall kind) const noexcept
{
    return (stopped ? end[(int) kind] : counts[(int) kind]) - start[(int) kind];
}

std::size_t ScopedAllocationCounter::allocations() const noexcept
{
    return count (HeapCall::operatorNew) + count (HeapCall::malloc) + count (HeapCall::calloc) + count (HeapCall::realloc);
}

std::vector<HeapCallSite> ScopedAllocationCounter::callSites() const
{
    const bool wasCounting = counting;
    counting = false; // resolving names allocates

    const auto last = stopped ? lastRecord : numRecorded;

    // Frame 0 is the recorder itself; frame 1 on are the heap function and its callers. All
    // frames of all calls are resolved in one go, each distinct address once.
    std::vector<void*> addresses;
    for (std::size_t i = firstRecord; i < last; ++i)
        for (int f = 1; f < records[i].numFrames; ++f)
            addresses.push_back (records[i].frames[f]);
    std::sort (addresses.begin(), addresses.end());
    addresses.erase (std::unique (addresses.begin(), addresses.end()), addresses.end());
    functionsAt (addresses);

    std::vector<HeapCallSite> sites;
    for (std::size_t i = firstRecord; i < last; ++i)
    {
        const auto& r = records[i];
        const std::vector<void*> frames (r.frames + 1, r.frames + std::max (1, r.numFrames));
        sites.push_back ({ r.kind, r.size, functionsAt (frames) });
    }

    counting = wasCounting;
    return sites;
}

std::vector<HeapCallSite> ScopedAllocationCounter::allocatingCallSitesExcept (const std::function<bool (const HeapCallSite&)>& accepted) const
{
    auto sites = callSites();
    const bool wasCounting = counting;
    counting = false;
    sites.erase (std::remove_if (sites.begin(), sites.end(), [&] (const HeapCallSite& site)
                                 { return site.kind == HeapCall::free || accepted (site); }),
                 sites.end());
    counting = wasCounting;
    return sites;
}

bool ScopedAllocationCounter::recordedEveryCall() const noexcept
{
    std::size_t total = 0;
    for (int i = 0; i < numKinds; ++i)
        total += count ((HeapCall) i);
    return (stopped ? lastRecord : numRecorded) - firstRecord == total;
}

std::string ScopedAllocationCounter::describe() const
{
    const auto sites = callSites();
    const bool wasCounting = counting;
    counting = false;

    std::ostringstream out;
    out << count (HeapCall::operatorNew) << " operator new, " << count (HeapCall::malloc) << " malloc, "
        << count (HeapCall::calloc) << " calloc, " << count (HeapCall::realloc) << " realloc, "
        << count (HeapCall::free) << " free";
    for (const auto& site : sites)
        out << "\n  " << site.describe();
    auto text = out.str();

    counting = wasCounting;
    return text;
}
} // namespace gribb::test
