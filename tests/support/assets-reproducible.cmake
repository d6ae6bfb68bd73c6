# cmake -DASSETGEN=<tolvane-assetgen> -DWORK_DIR=<scratch> -P assets-reproducible.cmake
#
# Runs the asset generator twice into fresh folders, the second time under
# another locale and time zone, and fails unless both runs wrote the same
# files with the same bytes.
cmake_minimum_required(VERSION 3.22)
foreach(var ASSETGEN WORK_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "assets-reproducible: ${var} is not set")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
set(_runs first second)
set(_env_first "LC_ALL=C" "TZ=UTC")
set(_env_second "LC_ALL=de_DE.UTF-8" "LANG=fr_FR.UTF-8" "TZ=Pacific/Auckland")
foreach(run IN LISTS _runs)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env ${_env_${run}} "${ASSETGEN}" "${WORK_DIR}/${run}"
        RESULT_VARIABLE _rc
        TIMEOUT 60)
    if(NOT _rc EQUAL 0)
        message(FATAL_ERROR "assets-reproducible: run ${run} failed: ${_rc}")
    endif()
endforeach()

file(GLOB _first RELATIVE "${WORK_DIR}/first" "${WORK_DIR}/first/*")
file(GLOB _second RELATIVE "${WORK_DIR}/second" "${WORK_DIR}/second/*")
list(SORT _first)
list(SORT _second)
if(NOT _first STREQUAL _second)
    message(FATAL_ERROR "assets-reproducible: the runs wrote different files: "
                        "[${_first}] and [${_second}]")
endif()
list(LENGTH _first _count)
if(_count EQUAL 0)
    message(FATAL_ERROR "assets-reproducible: the generator wrote nothing")
endif()
foreach(name IN LISTS _first)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK_DIR}/first/${name}"
                "${WORK_DIR}/second/${name}"
        RESULT_VARIABLE _same)
    if(NOT _same EQUAL 0)
        message(FATAL_ERROR "assets-reproducible: ${name} differs between two runs")
    endif()
endforeach()
message(STATUS "assets-reproducible: ${_count} files identical")
file(REMOVE_RECURSE "${WORK_DIR}")
