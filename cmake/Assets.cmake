# Binary assets (pictures, sound, icons, the window icon's pixel table) are
# not committed: tools/assetgen writes them into TOLVANE_ASSET_DIR at build
# time, byte for byte the same on every run. In a cross build the generator
# is built for the build machine through a nested project.

set(TOLVANE_ASSET_DIR "${CMAKE_BINARY_DIR}/assets")
set(TOLVANE_ASSET_FILES
    "${TOLVANE_ASSET_DIR}/window_icon.cpp"
    "${TOLVANE_ASSET_DIR}/glyph_atlas.bmp"
    "${TOLVANE_ASSET_DIR}/background.bmp"
    "${TOLVANE_ASSET_DIR}/about_clock.bmp"
    "${TOLVANE_ASSET_DIR}/click.wav"
    "${TOLVANE_ASSET_DIR}/tolvane.ico"
    "${TOLVANE_ASSET_DIR}/tolvane_tile.ico"
    "${TOLVANE_ASSET_DIR}/emblem.png")
# The font the digits are drawn with (Debian package fonts-dejavu-core).
set(TOLVANE_ASSET_FONT "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
    CACHE FILEPATH "TrueType font the asset generator draws the digits with")

if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(_assetgen "${CMAKE_BINARY_DIR}/host-tools/tolvane-assetgen")
    ExternalProject_Add(tolvane_assetgen_host
        SOURCE_DIR "${PROJECT_SOURCE_DIR}/tools/assetgen"
        BINARY_DIR "${CMAKE_BINARY_DIR}/host-tools"
        CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release "-DTOLVANE_ASSET_FONT=${TOLVANE_ASSET_FONT}"
                   "-DTOLVANE_WERROR=${TOLVANE_WERROR}"
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
    DEPENDS ${_assetgen_target} "${_assetgen}" "${TOLVANE_ASSET_FONT}"
    COMMENT "Generating assets"
    VERBATIM)
add_custom_target(tolvane_assets DEPENDS ${TOLVANE_ASSET_FILES})
