# The resource table. Windows compiles resources/Tolvane.rc with windres;
# Linux turns the same script into an embedded table (tools/embed_resources.py)
# behind the same lookup interface (src/platform/Resources.h). Either way an
# object library carries it: link it into every executable that looks
# resources up.
#
# tolvane_resource_table(TARGET SCRIPTS <rc files> DIRS <folders> DEPENDS <files>)
function(tolvane_resource_table target)
    cmake_parse_arguments(ARG "" "" "SCRIPTS;DIRS;DEPENDS" ${ARGN})
    if(WIN32)
        add_library(${target} OBJECT ${ARG_SCRIPTS})
        foreach(script ${ARG_SCRIPTS})
            set_property(SOURCE "${script}" APPEND PROPERTY INCLUDE_DIRECTORIES ${ARG_DIRS})
            set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS ${ARG_DEPENDS})
        endforeach()
    else()
        set(out "${CMAKE_BINARY_DIR}/generated/${target}")
        list(JOIN ARG_SCRIPTS "," scripts)
        add_custom_command(
            OUTPUT "${out}.S" "${out}.cpp"
            COMMAND "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/tools/embed_resources.py"
                    "${scripts}" "${out}" ${ARG_DIRS}
            DEPENDS "${PROJECT_SOURCE_DIR}/tools/embed_resources.py" ${ARG_SCRIPTS} ${ARG_DEPENDS}
            DEPFILE "${out}.d"
            COMMENT "Embedding resources (${target})"
            VERBATIM)
        add_library(${target} OBJECT "${out}.S" "${out}.cpp")
        target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
    endif()
endfunction()

set(TOLVANE_RC "${PROJECT_SOURCE_DIR}/resources/Tolvane.rc")
tolvane_resource_table(tolvane_resources
    SCRIPTS "${TOLVANE_RC}"
    DIRS "${PROJECT_SOURCE_DIR}/resources" "${TOLVANE_ASSET_DIR}"
    DEPENDS ${TOLVANE_ASSET_FILES})
add_dependencies(tolvane_resources tolvane_assets)
