# GLFW 3.3 as a static library built from source, with our one addition,
# glfwAttachHostWindow, compiled into it (it needs GLFW's internal header).
#
# The source comes from TOLVANE_GLFW_SOURCE when set (an unpacked GLFW 3.3
# tree or its tarball); otherwise tools/fetch-glfw.sh downloads Debian's
# source tarball into TOLVANE_CACHE_DIR, checked against the SHA-256 pinned in
# that script.

set(TOLVANE_GLFW_SOURCE "" CACHE PATH "GLFW 3.3 source tree or tarball (empty: download from Debian)")
set(TOLVANE_CACHE_DIR "${PROJECT_SOURCE_DIR}/.cache" CACHE PATH "Download cache outside the build folders")

set(_glfw_input "${TOLVANE_GLFW_SOURCE}")
if(_glfw_input STREQUAL "")
    execute_process(
        COMMAND sh "${PROJECT_SOURCE_DIR}/tools/fetch-glfw.sh" "${TOLVANE_CACHE_DIR}"
        OUTPUT_VARIABLE _glfw_input
        RESULT_VARIABLE _fetch_result
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT _fetch_result EQUAL 0)
        message(FATAL_ERROR
            "Could not get the pinned GLFW 3.3 source from Debian's archive (the line above says why).\n"
            "Either make apt reach a Debian mirror (and run 'make bootstrap'), or point the "
            "build at a GLFW 3.3 source tree or tarball:\n"
            "  cmake --preset linux -DTOLVANE_GLFW_SOURCE=/path/to/glfw-3.3.x[.tar.gz]")
    endif()
endif()

if(IS_DIRECTORY "${_glfw_input}")
    set(_glfw_dir "${_glfw_input}")
elseif(EXISTS "${_glfw_input}")
    get_filename_component(_glfw_name "${_glfw_input}" NAME)
    string(REGEX REPLACE "\\.(tar\\.gz|tgz|tar\\.xz|zip)$" "" _glfw_name "${_glfw_name}")
    set(_glfw_unpack "${TOLVANE_CACHE_DIR}/unpacked/${_glfw_name}")
    if(NOT EXISTS "${_glfw_unpack}/.unpacked")
        file(REMOVE_RECURSE "${_glfw_unpack}")
        file(ARCHIVE_EXTRACT INPUT "${_glfw_input}" DESTINATION "${_glfw_unpack}")
        file(TOUCH "${_glfw_unpack}/.unpacked")
    endif()
    file(GLOB _glfw_top LIST_DIRECTORIES true "${_glfw_unpack}/*")
    list(FILTER _glfw_top EXCLUDE REGEX "/\\.unpacked$")
    list(LENGTH _glfw_top _glfw_top_count)
    if(_glfw_top_count EQUAL 1 AND IS_DIRECTORY "${_glfw_top}")
        set(_glfw_dir "${_glfw_top}")
    else()
        set(_glfw_dir "${_glfw_unpack}")
    endif()
else()
    message(FATAL_ERROR "TOLVANE_GLFW_SOURCE='${_glfw_input}' is neither a folder nor a file.")
endif()

if(NOT EXISTS "${_glfw_dir}/include/GLFW/glfw3.h" OR NOT EXISTS "${_glfw_dir}/src/internal.h")
    message(FATAL_ERROR "'${_glfw_dir}' does not look like a GLFW 3.3 source tree "
                        "(include/GLFW/glfw3.h and src/internal.h are missing).")
endif()
file(STRINGS "${_glfw_dir}/include/GLFW/glfw3.h" _glfw_minor REGEX "#define GLFW_VERSION_MINOR")
if(NOT _glfw_minor MATCHES "GLFW_VERSION_MINOR[ \t]+3")
    message(FATAL_ERROR "'${_glfw_dir}' is not GLFW 3.3 (${_glfw_minor}).")
endif()

set(GLFW_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_TESTS OFF CACHE BOOL "" FORCE)
set(GLFW_BUILD_DOCS OFF CACHE BOOL "" FORCE)
set(GLFW_INSTALL OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF)
add_subdirectory("${_glfw_dir}" "${CMAKE_BINARY_DIR}/glfw" EXCLUDE_FROM_ALL)

if(WIN32)
    set(_attach "${PROJECT_SOURCE_DIR}/src/host/glfw_attach_win32.c")
else()
    set(_attach "${PROJECT_SOURCE_DIR}/src/host/glfw_attach_x11.c")
endif()
target_sources(glfw PRIVATE "${_attach}")
set_source_files_properties("${_attach}" PROPERTIES COMPILE_OPTIONS "${TOLVANE_WARNING_FLAGS}")
