# cmake -DWORK_DIR=<scratch> -DGENERATOR=<generator> -P embedding-follows-inputs.cmake
#
# Builds a one-text resource table with the project's embedding step, edits
# only the embedded text, builds again, and fails unless the program built
# from the table then holds the new bytes.
cmake_minimum_required(VERSION 3.22)
foreach(var WORK_DIR GENERATOR)
    if(NOT ${var})
        message(FATAL_ERROR "embedding-follows-inputs: ${var} is not set")
    endif()
endforeach()

set(_inputs "${WORK_DIR}/inputs")
set(_build "${WORK_DIR}/build")
file(REMOVE_RECURSE "${WORK_DIR}")
file(WRITE "${_inputs}/inputs.rc" "100 TEXTFILE \"text.txt\"\n")

function(build_and_expect text)
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${_build}"
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out TIMEOUT 120)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "embedding-follows-inputs: the build failed:\n${out}")
    endif()
    execute_process(COMMAND "${_build}/print_text" RESULT_VARIABLE rc OUTPUT_VARIABLE shown
        TIMEOUT 10)
    if(NOT rc EQUAL 0 OR NOT shown STREQUAL text)
        message(FATAL_ERROR "embedding-follows-inputs: the program holds '${shown}' "
                            "(${rc}), not '${text}'")
    endif()
endfunction()

file(WRITE "${_inputs}/text.txt" "first")
execute_process(
    COMMAND ${CMAKE_COMMAND} -G "${GENERATOR}" -S "${CMAKE_CURRENT_LIST_DIR}/embedding"
            -B "${_build}" "-DINPUT_DIR=${_inputs}"
    RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out TIMEOUT 120)
if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "embedding-follows-inputs: configuring failed:\n${_out}")
endif()
build_and_expect("first")
# Same size, so only the bytes tell the two apart.
file(WRITE "${_inputs}/text.txt" "other")
build_and_expect("other")
message(STATUS "embedding-follows-inputs: an edited input was embedded anew")
file(REMOVE_RECURSE "${WORK_DIR}")
