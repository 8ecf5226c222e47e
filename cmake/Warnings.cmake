# Warning flags for the project's own sources (JUCE's module sources keep their own settings).
add_library(gribb_warnings INTERFACE)
target_compile_options(gribb_warnings INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wno-unused-parameter>)
# GCC notes that an eight-float vector passed or returned by value goes differently with and
# without AVX. The functions that do so are always inlined (GRIBB_VECTOR_INLINE in
# engine/SimdTypes.h), so no call passes one; a test checks the library for out-of-line copies.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(gribb_warnings INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wno-psabi>)
endif()
