# The sound engine (engine/) as a library of its own, and the JUCE it needs for its own tests.
#
#   gribb_engine       the engine's objects. The plug-in's shared code (GribbTazo) takes them into
#                      its archive and supplies JUCE; the engine's test programs link them with
#                      gribb_engine_juce. It sees JUCE's headers only, never compiles a JUCE source.
#   gribb_engine_juce  the JUCE modules the engine uses (core, audio basics, DSP, and the audio
#                      formats that the DSP module requires), compiled once for programs that have
#                      the engine without the plug-in.
#
# JUCE's modules are interface targets whose sources compile into every target that links them, so
# a library that linked them would bring a second copy of JUCE into the plug-in. The engine is an
# object library for the same reason: its objects need JUCE's symbols, which in the plug-in live in
# the plug-in's own archive, so they go into that archive instead of an archive linked after it.
#
# The engine's objects are the same in both programs, so the definitions that shape JUCE's classes
# must agree with the plug-in's: both take NDEBUG (or DEBUG) from the build type through JUCE and the
# project's GRIBB_JUCE_COMMON_DEFINITIONS. The plug-in's other definitions (JucePlugin_*,
# JUCE_SHARED_CODE, JUCE_STANDALONE_APPLICATION and the other modules' JUCE_MODULE_AVAILABLE_*) are
# read by none of these four modules' headers.

add_library(gribb_engine_juce STATIC EXCLUDE_FROM_ALL)
target_link_libraries(gribb_engine_juce
    PRIVATE
        juce::juce_core
        juce::juce_audio_basics
        juce::juce_audio_formats
        juce::juce_dsp
    PUBLIC
        juce::juce_recommended_config_flags
        juce::juce_recommended_warning_flags)
target_compile_definitions(gribb_engine_juce PUBLIC ${GRIBB_JUCE_COMMON_DEFINITIONS})
# The modules' headers and definitions, for whoever uses this JUCE (the modules stay private, so
# their sources are compiled here only).
target_include_directories(gribb_engine_juce INTERFACE
    $<TARGET_PROPERTY:gribb_engine_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(gribb_engine_juce INTERFACE
    $<TARGET_PROPERTY:gribb_engine_juce,COMPILE_DEFINITIONS>)

file(GLOB GRIBB_ENGINE_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/engine/*.cpp")
add_library(gribb_engine OBJECT ${GRIBB_ENGINE_SOURCES})
target_include_directories(gribb_engine PUBLIC
    "${CMAKE_CURRENT_SOURCE_DIR}"
    $<TARGET_PROPERTY:gribb_engine_juce,INTERFACE_INCLUDE_DIRECTORIES>)
target_compile_definitions(gribb_engine PUBLIC
    $<TARGET_PROPERTY:gribb_engine_juce,INTERFACE_COMPILE_DEFINITIONS>)
# In the order the shared code lists them, so that the engine is compiled with the same command line.
target_link_libraries(gribb_engine
    PRIVATE
        gribb_warnings
    PUBLIC
        juce::juce_recommended_config_flags
        juce::juce_recommended_warning_flags)
# Built as the plug-in's shared code is: position-independent (it ends up in the plug-in's shared
# modules) and with hidden symbols.
set_target_properties(gribb_engine PROPERTIES
    POSITION_INDEPENDENT_CODE TRUE
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN TRUE)

# The engine's build contract. Its vector kernels are held, bit for bit, to plain per-sample
# loops and to the processing they replaced; a fused multiply-add rounds once where the plain
# code rounds twice, so no multiply and add may be fused (an FMA clone target or -march=native
# would otherwise change the samples). And the kernels that select between values instead of
# branching are vectorised only when the compiler may assume that floating-point exceptions are
# not trapped (they never are in a plug-in); that changes no result.
set_property(SOURCE ${GRIBB_ENGINE_SOURCES} APPEND PROPERTY COMPILE_OPTIONS -ffp-contract=off)
set_property(SOURCE engine/BitQuantiser.cpp engine/DriveShaper.cpp engine/OscillatorKernels.cpp
             APPEND PROPERTY COMPILE_OPTIONS $<$<CXX_COMPILER_ID:GNU>:-fno-trapping-math>)
