# Binary assets (pictures, sound, icons, the window icon's pixel table) are
# not committed: tools/assetgen writes them into TOLVANE_ASSET_DIR at build
# time, byte for byte the same on every run. In a cross build the generator
# is built for the build machine through a nested project.

set(TOLVANE_ASSET_DIR "${CMAKE_BINARY_DIR}/assets")
set(TOLVANE_ASSET_FILES
    "${TOLVANE_ASSET_DIR}/window_icon.cpp")

if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(_assetgen "${CMAKE_BINARY_DIR}/host-tools/tolvane-assetgen")
    ExternalProject_Add(tolvane_assetgen_host
        SOURCE_DIR "${PROJECT_SOURCE_DIR}/tools/assetgen"
        BINARY_DIR "${CMAKE_BINARY_DIR}/host-tools"
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS "${_assetgen}")
    set(_assetgen_target tolvane_assetgen_host)
else()
    add_subdirectory(tools/assetgen)
    set(_assetgen "$<TARGET_FILE:tolvane-assetgen>")
    set(_assetgen_target tolvane-assetgen)
endif()

add_custom_command(
    OUTPUT ${TOLVANE_ASSET_FILES}
    COMMAND "${_assetgen}" "${TOLVANE_ASSET_DIR}"
    DEPENDS ${_assetgen_target} "${_assetgen}"
    COMMENT "Generating assets"
    VERBATIM)
add_custom_target(tolvane_assets DEPENDS ${TOLVANE_ASSET_FILES})
