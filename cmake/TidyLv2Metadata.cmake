# Run after JUCE's LV2 helper has written the bundle's Turtle files (cmake -DBUNDLE=<dir> -P ...).
# The helper always writes the vendor's homepage and e-mail address as IRIs: an empty value
# becomes "<>", which resolves to the Turtle file itself, and a bare address becomes a relative
# IRI. Empty entries are dropped and a bare address gets its "mailto:" scheme.
if(NOT BUNDLE OR NOT IS_DIRECTORY "${BUNDLE}")
    message(FATAL_ERROR "TidyLv2Metadata: no LV2 bundle at '${BUNDLE}'")
endif()

file(GLOB turtle_files "${BUNDLE}/*.ttl")
foreach(turtle IN LISTS turtle_files)
    file(READ "${turtle}" text)
    set(original "${text}")
    string(REGEX REPLACE "[ \t]*foaf:(homepage|mbox)[ \t]*<>[ \t]*;[ \t]*\n" "" text "${text}")
    string(REGEX REPLACE "foaf:mbox([ \t]*)<([^:<>]+@[^<>]+)>" "foaf:mbox\\1<mailto:\\2>" text "${text}")
    if(NOT text STREQUAL original)
        file(WRITE "${turtle}" "${text}")
    endif()
endforeach()
