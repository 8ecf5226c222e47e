# Warning flags for the project's own sources (JUCE's module sources keep their own settings).
add_library(gribb_warnings INTERFACE)
target_compile_options(gribb_warnings INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wno-unused-parameter>)
