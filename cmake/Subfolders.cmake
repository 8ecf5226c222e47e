# gribb_add_subfolders(): adds every sub-folder of the current source folder that has a
# CMakeLists.txt, so a new tool or test program only needs a folder of its own.
function(gribb_add_subfolders)
    file(GLOB subfolders LIST_DIRECTORIES true CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*")
    foreach(dir IN LISTS subfolders)
        if(IS_DIRECTORY "${dir}" AND EXISTS "${dir}/CMakeLists.txt")
            add_subdirectory("${dir}")
        endif()
    endforeach()
endfunction()
