#!/bin/sh
# Downloads the GLFW 3.3 source tarball from Debian's source archive into a
# cache folder and checks it against the checksum in the package's .dsc.
#
#   tools/fetch-glfw.sh CACHE_DIR      prints the tarball's path on success
#
# It uses a private apt configuration inside CACHE_DIR, pointed at the same
# mirror as the system's own "deb" entry, and never touches the system's apt
# sources. A tarball that is already cached and verified is reused.
set -eu

cache=${1:?usage: fetch-glfw.sh CACHE_DIR}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
tarball="$cache/glfw3_3.3.8.orig.tar.gz"
dsc="$cache/glfw3_3.3.8-1.dsc"

verify() {
    [ -f "$tarball" ] && [ -f "$dsc" ] || return 1
    want=$(awk '/^Checksums-Sha256:/{f=1;next} /^[^ ]/{f=0} f && $3 ~ /orig\.tar/ {print $1}' "$dsc")
    have=$(sha256sum "$tarball" | cut -d' ' -f1)
    [ -n "$want" ] && [ "$want" = "$have" ]
}

if verify; then
    echo "$tarball"
    exit 0
fi

# The mirror of the system's main "deb" entry (deb822 first, then the classic list).
uri=""
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    uri=$(awk '
        /^Types:/ { deb = ($0 ~ /[[:space:]]deb([[:space:]]|$)/) }
        /^URIs:/ && deb && $2 ~ /debian\/?$/ { print $2; exit }
    ' "$f")
    [ -n "$uri" ] && break
done
if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" && $2 !~ /^\[/ && $2 ~ /debian\/?$/ { print $2; exit }
               $1 == "deb" && $2 ~ /^\[/ && $3 ~ /debian\/?$/ { print $3; exit }' /etc/apt/sources.list)
fi
uri=${uri:-http://deb.debian.org/debian}

apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/sources.list.d" "$apt_dir/cache/archives/partial"
cat > "$apt_dir/sources.list.d/glfw-src.sources" <<SRC
Types: deb-src
URIs: $uri
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC

opts="-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$apt_dir/sources.list.d \
 -o Dir::State::Lists=$apt_dir/lists -o Dir::Cache=$apt_dir/cache -o APT::Sandbox::User=root"
# shellcheck disable=SC2086
apt-get $opts -qq update >&2
# shellcheck disable=SC2086
(cd "$cache" && apt-get $opts -qq source --download-only glfw3=3.3.8-1 >&2)

if ! verify; then
    echo "fetch-glfw: the downloaded tarball does not match the checksum in $dsc" >&2
    exit 1
fi
echo "$tarball"
