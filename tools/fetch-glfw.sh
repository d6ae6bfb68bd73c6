#!/bin/sh
# Downloads the GLFW 3.3 source tarball from Debian's source archive into a
# cache folder and checks it against the SHA-256 pinned below, whatever the
# .dsc that came with it says: a release names the third-party source it was
# built from, and a mirror that serves another tarball stops the build.
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
pinned=f30f42e05f11e5fc62483e513b0488d5bceeab7d9c5da0ffe2252ad81816c713

verify() {
    [ -f "$tarball" ] && [ "$(sha256sum "$tarball" | cut -d' ' -f1)" = "$pinned" ]
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
rm -f "$tarball"
# shellcheck disable=SC2086
(cd "$cache" && apt-get $opts -qq source --download-only glfw3=3.3.8-1 >&2)

if ! verify; then
    have=$( [ -f "$tarball" ] && sha256sum "$tarball" | cut -d' ' -f1 || echo "no file")
    echo "fetch-glfw: $tarball has SHA-256 $have, not the pinned $pinned; refusing it" >&2
    exit 1
fi
echo "$tarball"
