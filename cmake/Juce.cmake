# Locates the JUCE 8 source tree that scripts/bootstrap.sh unpacks into the cache folder and adds
# it to the build. GRIBB_JUCE_DIR (CMake cache or environment) overrides the location.
if(NOT GRIBB_JUCE_DIR)
    if(DEFINED ENV{GRIBB_JUCE_DIR})
        set(GRIBB_JUCE_DIR "$ENV{GRIBB_JUCE_DIR}")
    elseif(DEFINED ENV{GRIBB_JUCE_CACHE})
        set(GRIBB_JUCE_DIR "$ENV{GRIBB_JUCE_CACHE}/juce-src")
    else()
        set(GRIBB_JUCE_DIR "$ENV{HOME}/.cache/gribb-tazo/juce/juce-src")
    endif()
endif()
set(GRIBB_JUCE_DIR "${GRIBB_JUCE_DIR}" CACHE PATH "JUCE 8 source tree")

if(NOT EXISTS "${GRIBB_JUCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "JUCE not found at ${GRIBB_JUCE_DIR}: run scripts/bootstrap.sh first")
endif()

add_subdirectory("${GRIBB_JUCE_DIR}" "${CMAKE_BINARY_DIR}/juce" EXCLUDE_FROM_ALL)

# This JUCE carries no image or compression code of its own: it links the system libraries.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GRIBB_SYSTEM_IMAGE_LIBS REQUIRED IMPORTED_TARGET zlib libpng libjpeg)

# Definitions every JUCE consumer of this project shares.
set(GRIBB_JUCE_COMMON_DEFINITIONS
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_USE_MP3AUDIOFORMAT=0
    JUCE_REPORT_APP_USAGE=0)

# JUCE's own sources in the sanitizer builds. They are compiled at -O1, the level the sanitizers'
# manuals recommend (the project's code keeps the Release build's -O3, so the samples and the kernels
# these builds test are the product's). And in the AddressSanitizer build UndefinedBehaviorSanitizer
# checks the project's code, with the JUCE code it inlines from JUCE's headers, but not JUCE's own
# sources: a report from inside them could only be suppressed, since JUCE is never patched.
# AddressSanitizer and ThreadSanitizer still instrument them. Each of the two halves the time to
# compile JUCE there, which is most of those builds.
if(GRIBB_ASAN OR GRIBB_TSAN)
    file(GLOB GRIBB_JUCE_MODULE_SOURCES
        "${GRIBB_JUCE_DIR}/modules/juce_*/juce_*.cpp" "${GRIBB_JUCE_DIR}/modules/juce_*/juce_*.c")
    set_property(SOURCE ${GRIBB_JUCE_MODULE_SOURCES} APPEND PROPERTY COMPILE_OPTIONS -O1)
    if(GRIBB_ASAN)
        set_property(SOURCE ${GRIBB_JUCE_MODULE_SOURCES} APPEND PROPERTY COMPILE_OPTIONS -fno-sanitize=undefined)
    endif()
endif()
