# The program's resource table, from resources/Tolvane.rc and the generated
# assets (see ResourceTable.cmake for how a table is made on each target).
include(${CMAKE_CURRENT_LIST_DIR}/ResourceTable.cmake)

set(TOLVANE_RC "${PROJECT_SOURCE_DIR}/resources/Tolvane.rc")
tolvane_resource_table(tolvane_resources
    SCRIPTS "${TOLVANE_RC}"
    DIRS "${PROJECT_SOURCE_DIR}/resources" "${TOLVANE_ASSET_DIR}"
    DEPENDS ${TOLVANE_ASSET_FILES})
add_dependencies(tolvane_resources tolvane_assets)
