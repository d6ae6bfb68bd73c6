#!/bin/sh
# Installs the Debian packages that a make target needs, and nothing else.
#
#   tools/bootstrap.sh SET...     SET: build headless package unit test
#                                 windows wine installer release fuzz format
#
# Each target of the Makefile names its sets; `make run` needs only "build"
# (and "headless" when there is no display), so a person who wants to see
# the clock gets no Wine, no sound server and no screensaver hosts.
# Idempotent: when every package is already present it does nothing.
#
# The names are the same on Debian 12 and 13. A package that only some
# releases carry is listed as optional and installed where apt offers it.
set -eu

# Compiler, CMake, the libraries the program and the asset generator link,
# what the GLFW download needs, and a GL driver to run on.
SET_build="
build-essential cmake pkgconf python3 make ca-certificates
libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev libxext-dev
libgl-dev libgl1-mesa-dri libopenal-dev libxft-dev libfontconfig-dev
libfreetype-dev fonts-dejavu-core libpng-dev zlib1g-dev
"
# `make run` without a display: a virtual X server (the picture is read
# through Xlib, which the build has already).
SET_headless="xvfb"
# The Debian package: cpack's DEB generator reads the files with file(1)
# and the libraries with dpkg-shlibdeps.
SET_package="dpkg-dev file"
# What configuring the tests needs (every preset but linux-user does).
SET_unit="googletest libgtest-dev faketime"
# The native tests, the bench and the README's pictures.
SET_test="
xvfb xauth mesa-utils x11-apps x11-utils imagemagick xdotool
xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
pulseaudio pulseaudio-utils sox
lintian xscreensaver mate-screensaver xsecurelock desktop-file-utils
libglib2.0-bin
"
OPTIONAL_test="xfce4-screensaver"
# The Windows build (its unit and GL tests build from Debian's GoogleTest
# source, set "unit").
SET_windows="g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64"
# The Windows build's tests.
SET_wine="wine wine64 fonts-wine libasound2-plugins"
SET_installer="nsis"
# Making a release, and signing it.
SET_release="git osslsigncode"
SET_fuzz="clang libclang-rt-dev"
SET_format="clang-format"

[ $# -gt 0 ] || set -- build
wanted=""
optional=""
for set in "$@"; do
    case "$set" in
        build | headless | package | unit | test | windows | wine | installer | release | fuzz | format) ;;
        *) echo "bootstrap: no package set '$set'" >&2; exit 2 ;;
    esac
    eval "wanted=\"\$wanted \$SET_$set\""
    eval "optional=\"\$optional \${OPTIONAL_$set:-}\""
done

installed() {
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'
}
offered() {
    apt-cache policy "$1" 2>/dev/null | grep -q '^  Candidate: [^(]'
}

missing=""
for p in $wanted; do
    case " $missing " in *" $p "*) continue ;; esac
    installed "$p" || missing="$missing $p"
done
# An optional package that this release does not carry is no reason to
# call apt at all.
optional_missing() {
    for p in $optional; do
        installed "$p" || ! offered "$p" || printf ' %s' "$p"
    done
}
extra=$(optional_missing)

if [ -z "$missing$extra" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "bootstrap: these packages are missing and I am not root:$missing$extra" >&2
    exit 1
fi
$SUDO apt-get update
extra=$(optional_missing)
echo "bootstrap: installing:$missing$extra"
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing $extra
