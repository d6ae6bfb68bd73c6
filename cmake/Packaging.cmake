# Installing the screensaver the way each platform's users install one.
#
# Linux: `cmake --install` (prefix /usr/local by default, DESTDIR honoured)
# installs the program in libexec/xscreensaver/, the hack folder from which
# mate-screensaver and xsecurelock run programs, with a link to it in bin/
# (xscreensaver finds its hacks on the PATH), the hack description for
# xscreensaver's settings and the screensaver entry that MATE's and XFCE's
# screensavers list (both named after the program: XFCE opens the
# description of the entry of the same name), and the manual page in
# section 6, as for xscreensaver's own hacks; CPack makes a Debian package
# of the same files under /usr (`make package`).
# Windows: the target `installer` builds Tolvane-Setup-<version>.exe with
# NSIS (packaging/windows/Tolvane.nsi, `make installer`).

set(_packaging "${PROJECT_SOURCE_DIR}/packaging")

if(WIN32)
    find_program(TOLVANE_MAKENSIS makensis)
    set(_setup "${CMAKE_BINARY_DIR}/Tolvane-Setup-${PROJECT_VERSION}.exe")
    if(TOLVANE_MAKENSIS)
        # makensis with this build's definitions, for the target and for
        # tools/release.sh, which packs a signed Tolvane.scr and signs the
        # uninstaller: makensis.sh SCREENSAVER OUTFILE [makensis options].
        set(_makensis "${CMAKE_BINARY_DIR}/packaging/makensis.sh")
        file(CONFIGURE OUTPUT "${_makensis}" @ONLY CONTENT [[#!/bin/sh
# Made by CMake (cmake/Packaging.cmake).
scr=$1 out=$2
shift 2
exec "@TOLVANE_MAKENSIS@" -V2 -NOCD \
    "-DVERSION=@PROJECT_VERSION@" \
    "-DVERSION_MAJOR=@PROJECT_VERSION_MAJOR@" \
    "-DVERSION_MINOR=@PROJECT_VERSION_MINOR@" \
    "-DPUBLISHER=@TOLVANE_MAKER@" \
    "-DHOMEPAGE=@TOLVANE_HOMEPAGE@" \
    "-DICON=@TOLVANE_ASSET_DIR@/tolvane.ico" \
    "-DSCREENSAVER=$scr" "-DOUTFILE=$out" "$@" \
    "@_packaging@/windows/Tolvane.nsi"
]])
        add_custom_command(
            OUTPUT "${_setup}"
            COMMAND sh "${_makensis}" "$<TARGET_FILE:tolvane-screensaver>" "${_setup}"
            DEPENDS tolvane-screensaver "${_packaging}/windows/Tolvane.nsi"
                    "${TOLVANE_ASSET_DIR}/tolvane.ico" "${_makensis}"
            COMMENT "Building the installer ${_setup}"
            VERBATIM)
    else()
        add_custom_command(
            OUTPUT "${_setup}"
            COMMAND "${CMAKE_COMMAND}" -E echo "makensis not found: install nsis (tools/bootstrap.sh)"
            COMMAND "${CMAKE_COMMAND}" -E false
            VERBATIM)
    endif()
    add_custom_target(installer DEPENDS "${_setup}")
    return()
endif()

include(GNUInstallDirs)

# The manual page and the changelog, with the version filled in and
# compressed as Debian keeps them (gzip -n: the same bytes on every build).
function(tolvane_configure_gzipped source output)
    get_filename_component(name "${output}" NAME_WE)
    string(REGEX REPLACE "\\.gz$" "" plain "${output}")
    configure_file("${source}" "${plain}" @ONLY)
    add_custom_command(
        OUTPUT "${output}"
        COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" "${plain}" "${output}"
        DEPENDS "${plain}"
        VERBATIM)
    add_custom_target(${name}_gz ALL DEPENDS "${output}")
endfunction()
set(_manual "${CMAKE_BINARY_DIR}/packaging/tolvane-screensaver.6.gz")
set(_changelog "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
tolvane_configure_gzipped("${_packaging}/linux/tolvane-screensaver.6.in" "${_manual}")
tolvane_configure_gzipped("${_packaging}/linux/changelog.in" "${_changelog}")

# One program, in the hack folder, and a relative link on the PATH (Debian
# keeps links within /usr relative).
set(_hack_dir "${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver")
install(TARGETS tolvane-screensaver RUNTIME DESTINATION "${_hack_dir}")
file(RELATIVE_PATH _hack_from_bin "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_LIBEXECDIR}/xscreensaver/tolvane-screensaver")
set(_bin_link "${CMAKE_BINARY_DIR}/packaging/bin/tolvane-screensaver")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/packaging/bin")
file(CREATE_LINK "${_hack_from_bin}" "${_bin_link}" SYMBOLIC)
install(FILES "${_bin_link}" DESTINATION "${CMAKE_INSTALL_BINDIR}")
# The screensaver entry names the program by its full path, which only the
# install knows (CPack installs under /usr whatever the build's prefix), so
# the install writes it straight to its place: no file in the build folder
# that two installs at once would share.
install(CODE "
    set(_program \"\${CMAKE_INSTALL_PREFIX}/${_hack_dir}/tolvane-screensaver\")
    set(_entry \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/screensavers/tolvane-screensaver.desktop\")
    message(STATUS \"Installing: \${_entry}\")
    configure_file(\"${_packaging}/linux/tolvane-screensaver.desktop.in\" \"\${_entry}\" @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_entry}\")")
install(FILES "${_packaging}/linux/tolvane-screensaver.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/xscreensaver/config")
install(FILES "${_manual}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6")
install(FILES "${_packaging}/linux/copyright" "${_changelog}"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tolvane-screensaver")

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane-screensaver)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "${TOLVANE_MAKER}")
set(CPACK_PACKAGE_CONTACT "${TOLVANE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "flip-clock screensaver for xscreensaver, MATE and xsecurelock")
set(CPACK_PACKAGE_DESCRIPTION "Six split-flap tiles show the local time as HH MM SS over a dark
textured background; when a number changes, both tiles of its pair flip.
Drawn with OpenGL 3.0. It installs as an xscreensaver hack (add it to the
programs list of ~/.xscreensaver, as its manual page shows), as a
screensaver that MATE's and XFCE's screensaver preferences offer, and in
the hack folder from which xsecurelock runs its XSECURELOCK_SAVER.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVANE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TOLVANE_HOMEPAGE}")
# Computed from the shared libraries the program links, plus what it loads
# at run time: libGL (GLFW and the GL entry points open it) and, when they
# are there, the X extensions GLFW uses.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libxrandr2, libxinerama1, libxcursor1, libxi6")
set(CPACK_DEBIAN_PACKAGE_ENHANCES "xscreensaver, mate-screensaver, xfce4-screensaver, xsecurelock")
# The About window's button opens the web site through xdg-open.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xdg-utils)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
