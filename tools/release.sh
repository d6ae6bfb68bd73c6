#!/bin/sh
# make release: the files people download, from the committed tree, in
# build/release/ (TOLVANE_RELEASE_DIR): Tolvane.scr, the installer, the
# Debian package, the commit's source (git archive), TOOLS (the Debian
# release and the versions of the packages that made them) and SHA256SUMS.
#
# The builds are those of `make run`/`make package` (the presets' folders,
# the pinned GLFW source). Every time written into a file is the commit's
# (SOURCE_DATE_EPOCH from git), so the same commit built with the same tools
# gives the same bytes.
#
# Signing (Authenticode, osslsigncode), one of:
#   TOLVANE_SIGN_CERT, TOLVANE_SIGN_KEY  certificate (chain) and private key
#       files; TOLVANE_SIGN_PASSFILE, when the key has a passphrase. Signs
#       Tolvane.scr before the installer is made from it, the uninstaller
#       while makensis writes it, and the installer, and writes each
#       signature on its own (<file>.sig) and the sums of the unsigned files
#       (SHA256SUMS.unsigned).
#   TOLVANE_SIGNATURES  a folder of published signatures (*.sig): each is
#       attached at the same stage, which gives the signed files of that
#       release byte for byte.
#   TOLVANE_SIGN_CAFILE  certificates that signatures are checked against
#       when attached (default: the system's).
# Without them the release is unsigned.
set -eu

die() {
    echo "release: $*" >&2
    exit 1
}

# sign_pe NAME IN OUT: OUT is IN signed (or with NAME's published signature
# attached, or a copy when unsigned); the unsigned file's sum is recorded.
sign_pe() {
    name=$1 in=$2 signed=$3
    case $TOLVANE_RELEASE_MODE in
    sign)
        # shellcheck disable=SC2086
        osslsigncode sign -certs "$TOLVANE_SIGN_CERT" -key "$TOLVANE_SIGN_KEY" \
            ${TOLVANE_SIGN_PASSFILE:+-readpass "$TOLVANE_SIGN_PASSFILE"} \
            -h sha256 -n "Tolvane Screensaver" -time "$SOURCE_DATE_EPOCH" \
            -in "$in" -out "$signed" >/dev/null || die "could not sign $name"
        osslsigncode extract-signature -in "$signed" -out "$TOLVANE_RELEASE_OUT/$name.sig" \
            >/dev/null || die "could not extract the signature of $name"
        ;;
    attach)
        sig="$TOLVANE_SIGNATURES/$name.sig"
        [ -f "$sig" ] || die "no published signature $sig"
        # shellcheck disable=SC2086
        osslsigncode attach-signature -sigin "$sig" \
            ${TOLVANE_SIGN_CAFILE:+-CAfile "$TOLVANE_SIGN_CAFILE"} \
            -in "$in" -out "$signed" >/dev/null ||
            die "$sig does not fit this build of $name (or its certificate is not trusted)"
        cp "$sig" "$TOLVANE_RELEASE_OUT/$name.sig"
        ;;
    *)
        [ "$in" = "$signed" ] || cp "$in" "$signed"
        return 0
        ;;
    esac
    echo "$(sha256sum <"$in" | cut -d' ' -f1)  $name" >>"$TOLVANE_RELEASE_OUT/SHA256SUMS.unsigned"
}

# makensis runs this on the uninstaller it has just written.
if [ "${1:-}" = "--finalize-uninstaller" ]; then
    sign_pe Uninstall.exe "$2" "$2.signed"
    mv "$2.signed" "$2"
    exit 0
fi

# Files named relative to where make release was started.
for var in TOLVANE_SIGN_CERT TOLVANE_SIGN_KEY TOLVANE_SIGN_PASSFILE TOLVANE_SIGN_CAFILE \
    TOLVANE_SIGNATURES TOLVANE_RELEASE_DIR; do
    eval "value=\${$var:-}"
    # shellcheck disable=SC2154
    [ -z "$value" ] || eval "$var=\$(readlink -m \"\$value\"); export $var"
done
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${TOLVANE_RELEASE_DIR:-$root/build/release}
jobs=${JOBS:-$(nproc)}

[ -z "$(git status --porcelain)" ] ||
    die "the tree has changes (git status): a release is made from a commit; commit or stash them"

TOLVANE_RELEASE_MODE=unsigned
if [ -n "${TOLVANE_SIGN_CERT:-}${TOLVANE_SIGN_KEY:-}" ]; then
    [ -f "${TOLVANE_SIGN_CERT:-}" ] && [ -f "${TOLVANE_SIGN_KEY:-}" ] ||
        die "TOLVANE_SIGN_CERT and TOLVANE_SIGN_KEY must both name files"
    [ -z "${TOLVANE_SIGNATURES:-}" ] || die "give a key or published signatures, not both"
    TOLVANE_RELEASE_MODE=sign
elif [ -n "${TOLVANE_SIGNATURES:-}" ]; then
    [ -d "$TOLVANE_SIGNATURES" ] || die "TOLVANE_SIGNATURES is not a folder: $TOLVANE_SIGNATURES"
    TOLVANE_SIGNATURES=$(cd "$TOLVANE_SIGNATURES" && pwd)
    TOLVANE_RELEASE_MODE=attach
fi
if [ "$TOLVANE_RELEASE_MODE" != unsigned ]; then
    command -v osslsigncode >/dev/null || die "osslsigncode is missing (apt install osslsigncode)"
fi

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
TOLVANE_RELEASE_OUT=$out
export SOURCE_DATE_EPOCH TOLVANE_RELEASE_MODE TOLVANE_RELEASE_OUT TOLVANE_SIGNATURES
version=$(sed -n 's/^project(TolvaneScreensaver VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "no version in CMakeLists.txt"
setup="Tolvane-Setup-$version.exe"

if [ -d "$out" ] && [ -n "$(ls -A "$out")" ] && [ ! -f "$out/SHA256SUMS" ]; then
    die "$out holds files that are not an earlier release's; name an empty folder"
fi
mkdir -p "$out"
find "$out" -mindepth 1 -delete
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "release: $version at $(git rev-parse HEAD), SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH ($TOLVANE_RELEASE_MODE)"
cmake --preset linux-user -DTOLVANE_GLFW_SOURCE= >/dev/null
cmake --build --preset linux-user -j "$jobs"
cmake --preset windows -DTOLVANE_GLFW_SOURCE= >/dev/null
cmake --build --preset windows -j "$jobs" --target tolvane-screensaver

# CPack takes the modes of its folders and archive members from the umask.
(umask 022 && cpack -G DEB --config build/linux-user/CPackConfig.cmake -B "$work/deb" >/dev/null)
cp "$work/deb/tolvane-screensaver_${version}_amd64.deb" "$out/"

sign_pe Tolvane.scr build/windows/src/host/Tolvane.scr "$out/Tolvane.scr"
if [ "$TOLVANE_RELEASE_MODE" = unsigned ]; then
    sh build/windows/packaging/makensis.sh "$out/Tolvane.scr" "$out/$setup"
else
    sh build/windows/packaging/makensis.sh "$out/Tolvane.scr" "$work/$setup" \
        "-DFINALIZE_UNINSTALLER=sh \"$root/tools/release.sh\" --finalize-uninstaller"
    sign_pe "$setup" "$work/$setup" "$out/$setup"
fi

git archive --format=tar --prefix="tolvane-screensaver-$version/" HEAD |
    gzip -9 -n >"$out/tolvane-screensaver-$version.tar.gz"

python=$(sed -n 's/^_Python3_EXECUTABLE:INTERNAL=//p' build/linux-user/CMakeCache.txt)
{
    echo "Tolvane Screensaver $version, commit $(git rev-parse HEAD)"
    echo "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"
    echo "Debian $(cat /etc/debian_version) ($(. /etc/os-release && echo "$VERSION_CODENAME")), $(dpkg --print-architecture)"
    echo "GLFW source: glfw3_3.3.8.orig.tar.gz SHA-256 $(sed -n 's/^pinned=//p' tools/fetch-glfw.sh)"
    echo
    echo "Packages:"
    # The programs the build ran and the packages of what went into the
    # files; a program from no package is named with its own version.
    for tool in cc c++ "$(gcc -print-prog-name=cc1plus)" ld strip \
        x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix \
        "$(x86_64-w64-mingw32-g++-posix -print-prog-name=cc1plus)" \
        x86_64-w64-mingw32-ld x86_64-w64-mingw32-windres \
        "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++.a)" \
        "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread.a)" \
        cmake cpack make makensis dpkg-deb dpkg-shlibdeps "$python" gzip tar git osslsigncode; do
        path=$(readlink -f "$(command -v "$tool" || echo "$tool")")
        [ -e "$path" ] || continue
        # usrmerge: dpkg may know the file under /bin or /lib.
        owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null || true)
        if [ -n "$owner" ]; then
            echo "$owner" | sed 's/: .*//; s/, /\n/g' >>"$work/packages"
        else
            echo "$path: $("$path" --version 2>&1 | head -n 1)" >>"$work/others"
        fi
    done
    printf '%s\n' nsis-common libc6-dev libstdc++-12-dev mingw-w64-x86-64-dev mingw-w64-common \
        libx11-dev libgl-dev libopenal-dev libfreetype6 libpng16-16 zlib1g fonts-dejavu-core \
        >>"$work/packages"
    sort -u "$work/packages" | xargs dpkg-query -W -f='  ${Package} ${Version}\n' 2>/dev/null || true
    if [ -s "$work/others" ]; then
        echo
        echo "Not from a package:"
        sort -u "$work/others" | sed 's/^/  /'
    fi
} >"$out/TOOLS"

(cd "$out" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
    xargs sha256sum >SHA256SUMS)
echo "release: $out"
(cd "$out" && cat SHA256SUMS)
