#!/bin/sh
# Installs the Debian packages that building and testing need, and nothing
# else. Idempotent: when every package is already present it does nothing.
set -eu

PACKAGES="
build-essential cmake pkg-config python3 make
libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev libxext-dev
libgl-dev libgl1-mesa-dev
g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
xvfb xauth libgl1-mesa-dri mesa-utils x11-apps x11-utils imagemagick xdotool
xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
wine wine64 fonts-wine libasound2-plugins
pulseaudio pulseaudio-utils sox libopenal-dev
googletest libgtest-dev faketime
clang libclang-rt-14-dev clang-format
libfreetype-dev fonts-dejavu-core libpng-dev zlib1g-dev
libxft-dev libfontconfig-dev
dpkg-dev ca-certificates
nsis lintian xscreensaver file osslsigncode
mate-screensaver xsecurelock desktop-file-utils
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

echo "bootstrap: installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "bootstrap: these packages are missing and I am not root:$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $missing
