# The resource table. Windows compiles resources/Tolvane.rc with windres;
# Linux turns the same script into an embedded table (tools/embed_resources.py)
# behind the same lookup interface (src/platform/Resources.h). Either way the
# object library tolvane_resources carries it: link it into every executable
# that looks resources up.

set(TOLVANE_RC "${PROJECT_SOURCE_DIR}/resources/Tolvane.rc")

if(WIN32)
    add_library(tolvane_resources OBJECT "${TOLVANE_RC}")
    set_property(SOURCE "${TOLVANE_RC}" APPEND PROPERTY INCLUDE_DIRECTORIES
        "${PROJECT_SOURCE_DIR}/resources" "${TOLVANE_ASSET_DIR}")
    set_property(SOURCE "${TOLVANE_RC}" APPEND PROPERTY OBJECT_DEPENDS ${TOLVANE_ASSET_FILES})
else()
    set(_embedded "${CMAKE_BINARY_DIR}/generated/embedded_resources")
    add_custom_command(
        OUTPUT "${_embedded}.S" "${_embedded}.cpp"
        COMMAND "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/tools/embed_resources.py"
                "${TOLVANE_RC}" "${_embedded}"
                "${PROJECT_SOURCE_DIR}/resources" "${TOLVANE_ASSET_DIR}"
        DEPENDS "${PROJECT_SOURCE_DIR}/tools/embed_resources.py" "${TOLVANE_RC}"
                ${TOLVANE_ASSET_FILES}
        DEPFILE "${_embedded}.d"
        COMMENT "Embedding resources"
        VERBATIM)
    add_library(tolvane_resources OBJECT "${_embedded}.S" "${_embedded}.cpp")
    target_include_directories(tolvane_resources PRIVATE "${PROJECT_SOURCE_DIR}/src")
endif()
add_dependencies(tolvane_resources tolvane_assets)
