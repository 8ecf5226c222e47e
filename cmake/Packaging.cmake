# What a package installs, and the Debian package that CPack builds from it (scripts/package.sh).
#
#   /usr/lib/vst3/Gribb Tazo.vst3          the VST3 bundle
#   /usr/lib/lv2/Gribb Tazo.lv2            the LV2 bundle
#   /usr/bin/gribb-tazo                    the Standalone app, with a desktop entry, icons and
#                                          AppStream metainfo
#   /usr/bin/gribb-render                  the offline render host, with a man page
#   /usr/share/doc/gribb-tazo/             copyright, changelog, the manual and its pictures
#
# Installing builds nothing by itself (scripts/package.sh builds the targets first), so packaging
# never waits for the tests and benchmarks.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(GRIBB_PACKAGE_NAME gribb-tazo)
set(GRIBB_PACKAGE_DIR "${CMAKE_CURRENT_BINARY_DIR}/package-files")
set(GRIBB_PACKAGING_SOURCE "${CMAKE_CURRENT_SOURCE_DIR}/cmake/packaging")
set(GRIBB_DOC_DIR "share/doc/${GRIBB_PACKAGE_NAME}")

if(GRIBB_VENDOR_EMAIL)
    set(GRIBB_PACKAGE_MAINTAINER "Vorlen Pakkt <${GRIBB_VENDOR_EMAIL}>")
else()
    # Debian requires a maintainer address; the reserved ".invalid" domain says plainly that
    # there is none.
    set(GRIBB_PACKAGE_MAINTAINER "Vorlen Pakkt <packages@vorlen-pakkt.invalid>")
endif()

# --- Files made for the package: icons from the chicken's artwork, compressed docs ----------------
find_program(GRIBB_CONVERT convert)
find_program(GRIBB_GZIP gzip REQUIRED)

set(GRIBB_SPRITE_SHEET "${CMAKE_CURRENT_SOURCE_DIR}/resources/gribb_roast_sprites.png")
set(GRIBB_ICON_FRAME 24) # the roast chicken in sunglasses, flames at its feet
set(GRIBB_ICON_SIZES 48 128 256)
set(GRIBB_PACKAGE_OUTPUTS)

# The frame is cut out of the sheet, its flat grey background made transparent from the corners
# inwards, trimmed to the figure and centred on a square canvas, then scaled to each size.
math(EXPR icon_top "${GRIBB_ICON_FRAME} * 256")
set(icon_master "${GRIBB_PACKAGE_DIR}/icons/gribb-tazo-master.png")
add_custom_command(OUTPUT "${icon_master}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${GRIBB_PACKAGE_DIR}/icons"
    COMMAND "${GRIBB_CONVERT}" "${GRIBB_SPRITE_SHEET}" -crop "256x256+0+${icon_top}" +repage
            -alpha set -fuzz 4% -fill none
            -draw "color 0,0 floodfill" -draw "color 255,0 floodfill"
            -draw "color 0,255 floodfill" -draw "color 255,255 floodfill"
            -trim +repage -background none -gravity center -extent 240x240
            -define png:exclude-chunks=date,time "${icon_master}"
    DEPENDS "${GRIBB_SPRITE_SHEET}"
    VERBATIM)
foreach(size IN LISTS GRIBB_ICON_SIZES)
    set(icon "${GRIBB_PACKAGE_DIR}/icons/${size}/gribb-tazo.png")
    add_custom_command(OUTPUT "${icon}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${GRIBB_PACKAGE_DIR}/icons/${size}"
        COMMAND "${GRIBB_CONVERT}" "${icon_master}" -resize "${size}x${size}"
                -define png:exclude-chunks=date,time "${icon}"
        DEPENDS "${icon_master}"
        VERBATIM)
    list(APPEND GRIBB_PACKAGE_OUTPUTS "${icon}")
    install(FILES "${icon}" DESTINATION "share/icons/hicolor/${size}x${size}/apps")
endforeach()

# Debian wants man pages and changelogs compressed with gzip -9n (no name or time stamp).
function(gribb_gzip_for_package source output)
    add_custom_command(OUTPUT "${output}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${GRIBB_PACKAGE_DIR}"
        COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" gzip "${GRIBB_GZIP}" "${source}" "${output}"
        DEPENDS "${source}"
        VERBATIM)
    set(GRIBB_PACKAGE_OUTPUTS ${GRIBB_PACKAGE_OUTPUTS} "${output}" PARENT_SCOPE)
endfunction()

foreach(page gribb-render gribb-tazo)
    gribb_gzip_for_package("${CMAKE_CURRENT_SOURCE_DIR}/docs/man/${page}.1" "${GRIBB_PACKAGE_DIR}/${page}.1.gz")
    install(FILES "${GRIBB_PACKAGE_DIR}/${page}.1.gz" DESTINATION share/man/man1)
endforeach()

# The changelog's date is the day of configuring (or SOURCE_DATE_EPOCH, which CMake honours).
string(TIMESTAMP GRIBB_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file("${GRIBB_PACKAGING_SOURCE}/changelog.in" "${GRIBB_PACKAGE_DIR}/changelog" @ONLY)
gribb_gzip_for_package("${GRIBB_PACKAGE_DIR}/changelog" "${GRIBB_PACKAGE_DIR}/changelog.gz")
install(FILES "${GRIBB_PACKAGE_DIR}/changelog.gz" DESTINATION "${GRIBB_DOC_DIR}")
install(FILES "${GRIBB_PACKAGING_SOURCE}/copyright" DESTINATION "${GRIBB_DOC_DIR}")
# The manual reads its pictures from pictures/ beside it, as in the source tree.
install(FILES "${CMAKE_CURRENT_SOURCE_DIR}/docs/manual.md" DESTINATION "${GRIBB_DOC_DIR}")
install(DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/docs/pictures" DESTINATION "${GRIBB_DOC_DIR}")
install(FILES "${GRIBB_PACKAGING_SOURCE}/gribb-tazo.desktop" DESTINATION share/applications)

# The AppStream metainfo that software centres list the app by; its launchable is the desktop
# entry above.
string(TIMESTAMP GRIBB_RELEASE_DAY "%Y-%m-%d" UTC)
if(GRIBB_VENDOR_HOMEPAGE)
    set(GRIBB_METAINFO_URL "  <url type=\"homepage\">${GRIBB_VENDOR_HOMEPAGE}</url>\n")
else()
    set(GRIBB_METAINFO_URL "")
endif()
set(GRIBB_METAINFO "${GRIBB_PACKAGE_DIR}/com.vorlenpakkt.gribbtazo.metainfo.xml")
configure_file("${GRIBB_PACKAGING_SOURCE}/gribb-tazo.metainfo.xml.in" "${GRIBB_METAINFO}" @ONLY)
install(FILES "${GRIBB_METAINFO}" DESTINATION share/metainfo)

add_custom_target(gribb_package_files DEPENDS ${GRIBB_PACKAGE_OUTPUTS})

# --- The programs and bundles --------------------------------------------------------------------
set(bundle_file_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(bundle_dir_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:GribbTazo_VST3,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION lib/vst3
        FILE_PERMISSIONS ${bundle_file_permissions} DIRECTORY_PERMISSIONS ${bundle_dir_permissions})
install(DIRECTORY "$<GENEX_EVAL:$<TARGET_PROPERTY:GribbTazo_LV2,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION lib/lv2
        FILE_PERMISSIONS ${bundle_file_permissions} DIRECTORY_PERMISSIONS ${bundle_dir_permissions})
install(PROGRAMS "$<GENEX_EVAL:$<TARGET_PROPERTY:GribbTazo_Standalone,JUCE_PLUGIN_ARTEFACT_FILE>>"
        DESTINATION bin RENAME gribb-tazo)
install(PROGRAMS "$<TARGET_FILE:gribb-render>" DESTINATION bin)

# The build keeps symbols; the installed programs and plug-in modules do without them.
install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(GLOB_RECURSE gribb_binaries
        "${root}/bin/gribb-*" "${root}/lib/vst3/*.so" "${root}/lib/lv2/*.so")
    foreach(binary IN LISTS gribb_binaries)
        execute_process(COMMAND strip --strip-unneeded --remove-section=.comment
                                --remove-section=.note "${binary}"
                        RESULT_VARIABLE stripped)
        if(NOT stripped EQUAL 0)
            message(FATAL_ERROR "could not strip ${binary}")
        endif()
    endforeach()
]])

# --- CPack: the Debian package --------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME "${GRIBB_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "Vorlen Pakkt")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "polyphonic synthesiser plug-in with a roasting chicken")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/packages")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${GRIBB_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(GRIBB_VENDOR_HOMEPAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${GRIBB_VENDOR_HOMEPAGE}")
endif()
# The extended description; CPack puts the summary above it.
file(READ "${GRIBB_PACKAGING_SOURCE}/description.txt" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
string(STRIP "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_THREADS 0)
include(CPack)

# For scripts/package.sh: the package's name and version, taken from project().
file(WRITE "${GRIBB_PACKAGE_DIR}/package.env"
    "GRIBB_PACKAGE_NAME=${GRIBB_PACKAGE_NAME}\nGRIBB_PACKAGE_VERSION=${PROJECT_VERSION}\n")
