# One static library of JUCE modules with VST3 and LV2 hosting switched on, shared by the render
# host, the hosted-plug-in tests and the other tools so that the modules are compiled once.
add_library(gribb_juce_host STATIC)
target_link_libraries(gribb_juce_host
    PRIVATE
        juce::juce_audio_utils
        juce::juce_audio_processors
        juce::juce_audio_formats
        juce::juce_dsp
        juce::juce_gui_basics
    PUBLIC
        juce::juce_recommended_config_flags
        juce::juce_recommended_warning_flags
        PkgConfig::GRIBB_SYSTEM_IMAGE_LIBS)
target_compile_definitions(gribb_juce_host
    PUBLIC
        ${GRIBB_JUCE_COMMON_DEFINITIONS}
        JUCE_PLUGINHOST_VST3=1
        JUCE_PLUGINHOST_LV2=1
        JUCE_STANDALONE_APPLICATION=1
        JUCE_MODAL_LOOPS_PERMITTED=1)
target_include_directories(gribb_juce_host INTERFACE
    $<TARGET_PROPERTY:gribb_juce_host,INCLUDE_DIRECTORIES>)
target_compile_definitions(gribb_juce_host INTERFACE
    $<TARGET_PROPERTY:gribb_juce_host,COMPILE_DEFINITIONS>)
set_target_properties(gribb_juce_host PROPERTIES POSITION_INDEPENDENT_CODE TRUE)
