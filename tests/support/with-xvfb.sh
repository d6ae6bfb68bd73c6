#!/bin/sh
# with-xvfb.sh COMMAND...: runs COMMAND on an Xvfb of its own (1920x1080x24,
# a free display number), then stops exactly that server.
set -u
exec 3>&1
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 4 -screen 0 1920x1080x24 -nolisten tcp 4>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -f "$fifo"' EXIT INT TERM
display=$(timeout 20 head -n 1 "$fifo")
if [ -z "$display" ]; then
    echo "with-xvfb: Xvfb did not start" >&2
    exit 1
fi
DISPLAY=":$display" "$@"
