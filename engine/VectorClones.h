#pragma once

// Run-time dispatch for the vectorised kernels: the compiler builds each marked function once per
// listed instruction set and the loader picks the best one the processor has. ThreadSanitizer
// instruments that picking function, which runs before its runtime has started, so the
// ThreadSanitizer build keeps the plain x86-64 version only.
#if defined(__x86_64__) && defined(__GNUC__) && ! defined(__clang__) && ! defined(__SANITIZE_THREAD__)
 #define GRIBB_VECTOR_CLONES __attribute__ ((target_clones ("avx2", "default")))
 // SSE4.1 and AVX2 have a floor instruction; plain x86-64 takes the library call.
 #define GRIBB_FLOOR_CLONES __attribute__ ((target_clones ("avx2", "sse4.1", "default")))
#else
 #define GRIBB_VECTOR_CLONES
 #define GRIBB_FLOOR_CLONES
#endif
