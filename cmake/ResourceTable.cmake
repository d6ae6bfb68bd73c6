# tolvane_resource_table(TARGET SCRIPTS <rc files> DIRS <folders> DEPENDS <files>)
#
# An object library carrying a resource table; link it into every executable
# that looks resources up. Windows compiles the scripts with windres; Linux
# turns them into an embedded table (tools/embed_resources.py) behind the
# same lookup interface (src/platform/Resources.h). The embedding step's
# depfile names every file the scripts pull in, so editing any of them
# embeds it anew.
function(tolvane_resource_table target)
    cmake_parse_arguments(ARG "" "" "SCRIPTS;DIRS;DEPENDS" ${ARGN})
    if(WIN32)
        add_library(${target} OBJECT ${ARG_SCRIPTS})
        foreach(script ${ARG_SCRIPTS})
            set_property(SOURCE "${script}" APPEND PROPERTY INCLUDE_DIRECTORIES ${ARG_DIRS})
            set_property(SOURCE "${script}" APPEND PROPERTY OBJECT_DEPENDS ${ARG_DEPENDS})
        endforeach()
    else()
        get_filename_component(root "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
        set(out "${CMAKE_BINARY_DIR}/generated/${target}")
        set(tool "${root}/tools/embed_resources.py")
        list(JOIN ARG_SCRIPTS "," scripts)
        add_custom_command(
            OUTPUT "${out}.S" "${out}.cpp"
            COMMAND "${Python3_EXECUTABLE}" "${tool}" "${scripts}" "${out}" ${ARG_DIRS}
            DEPENDS "${tool}" ${ARG_SCRIPTS} ${ARG_DEPENDS}
            DEPFILE "${out}.d"
            COMMENT "Embedding resources (${target})"
            VERBATIM)
        add_library(${target} OBJECT "${out}.S" "${out}.cpp")
        target_include_directories(${target} PRIVATE "${root}/src")
    endif()
endfunction()
