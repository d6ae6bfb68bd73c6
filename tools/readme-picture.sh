#!/bin/sh
# Makes the README's picture of the clock: the real Linux program full screen
# on an Xvfb of its own (tests/support/with-xvfb.sh, 1920x1080), with its
# clock stopped at 10:09:30 by libfaketime (a FAKETIME without "@" stands
# still, so no tile is caught in a flip), one screenshot scaled to 960x540.
#
#   make picture                                   (builds, then runs this)
#   sh tools/readme-picture.sh [PROGRAM] [OUTPUT]  (defaults below)
set -eu
if [ -z "${TOLVANE_PICTURE_DISPLAY:-}" ]; then
    TOLVANE_PICTURE_DISPLAY=1 exec sh "$(dirname "$0")/../tests/support/with-xvfb.sh" \
        sh "$0" "$@"
fi
program=${1:-build/linux/src/host/tolvane-screensaver}
output=${2:-docs/clock.png}
preload=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
if [ -z "$preload" ]; then
    echo "readme-picture: libfaketime is missing (apt-get install faketime)" >&2
    exit 1
fi
shot=$(mktemp --suffix=.png)
TZ=UTC LD_PRELOAD="$preload" FAKETIME="2026-03-14 10:09:30" "$program" /s >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; rm -f "$shot"' EXIT

# Wait (at most 20 s) until the clock is drawn: the face of the hours tile,
# left of the centre, is lit.
tries=0
until import -window root "$shot" 2>/dev/null &&
    [ "$(convert "$shot" -format '%[fx:int(255*p{413,389}.g)]' info:)" -gt 40 ]; do
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ] || ! kill -0 "$pid" 2>/dev/null; then
        echo "readme-picture: no clock on the screen" >&2
        exit 1
    fi
    sleep 0.2
done
mkdir -p "$(dirname "$output")"
# -strip: no time stamps in the file, so the same picture gives the same bytes.
convert "$shot" -resize 960x540 -strip "$output"
echo "readme-picture: wrote $output"
