#!/usr/bin/env python3
"""`make run` on a machine without a display: the clock runs for a few
seconds on a virtual X display of its own (Xvfb), and a picture of it is
saved as PNG.

    tools/run-headless.py PICTURE PROGRAM [ARG...]

The server picks a free display itself (-displayfd), so it never meets
another X server, inside a chroot or not. The picture is taken from xwd's
dump of the screen (x11-apps); no image tool is needed.
"""

import os
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SHOW_SECONDS = 3
START_TIMEOUT = 30
SETTLE_TIMEOUT = 10


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    with os.fdopen(read_end, "rb", buffering=0) as pipe:
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = pipe.read(16)
            if not chunk:
                break
            number += chunk
    if not number.strip().isdigit():
        server.kill()
        server.wait()
        raise SystemExit("make run: Xvfb did not start")
    return server, ":" + number.strip().decode()


def stop(proc, grace=5):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def screen_dump(env):
    return subprocess.run(["xwd", "-root", "-silent"], env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, timeout=30, check=True).stdout


def xwd_to_rgb(dump):
    """Width, height and packed RGB rows of a 24/32-bit TrueColor xwd dump."""
    (header_size, _version, _format, _depth, width, height, _xoffset, byte_order, _unit,
     _bit_order, _pad, bits_per_pixel, bytes_per_line, _visual, red_mask, green_mask,
     blue_mask, _bits_per_rgb, _entries, ncolors) = struct.unpack(">20I", dump[:80])
    if bits_per_pixel != 32:
        raise SystemExit("make run: the virtual screen has %d bits per pixel, not 32" % bits_per_pixel)
    data = dump[header_size + 12 * ncolors:]

    def byte_of(mask):
        index = (mask & -mask).bit_length() // 8  # lowest set bit, in bytes
        return index if byte_order == 0 else 3 - index

    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:y * bytes_per_line + 4 * width]
        rgb = bytearray(3 * width)
        for channel, mask in enumerate((red_mask, green_mask, blue_mask)):
            rgb[channel::3] = line[byte_of(mask)::4]
        rows.append(bytes(rgb))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\x00" + row for row in rows)
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
    directory = os.path.dirname(os.path.abspath(path))
    os.makedirs(directory, exist_ok=True)
    with tempfile.NamedTemporaryFile(dir=directory, delete=False) as out:
        out.write(png)
    os.replace(out.name, path)


def uniform(dump):
    pixels = dump[-4 * 1920 * 1080:]
    return pixels == pixels[:4] * (len(pixels) // 4)


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    picture, program = sys.argv[1], sys.argv[2]
    # Full screen always: with no display, there is no other saver to defer to.
    args = sys.argv[3:] or ["/s"]
    server, display = start_xvfb()
    clock = None
    try:
        env = dict(os.environ, DISPLAY=display)
        clock = subprocess.Popen([program] + args, env=env, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT)
        deadline = time.monotonic() + START_TIMEOUT
        while uniform(screen_dump(env)):
            if clock.poll() is not None:
                raise SystemExit("make run: the clock ended (exit %d) before it drew:\n%s"
                                 % (clock.returncode, clock.stdout.read().decode(errors="replace")))
            if time.monotonic() > deadline:
                raise SystemExit("make run: the clock drew nothing within %d s" % START_TIMEOUT)
            time.sleep(0.2)
        drawn = time.monotonic()
        while time.monotonic() < drawn + SHOW_SECONDS and clock.poll() is None:
            time.sleep(0.1)
        # Between two flips: the same picture twice in a row.
        deadline = time.monotonic() + SETTLE_TIMEOUT
        previous = screen_dump(env)
        while True:
            taken = time.strftime("%H:%M:%S")
            current = screen_dump(env)
            if current == previous or time.monotonic() > deadline:
                break
            previous = current
        if clock.poll() is not None:
            raise SystemExit("make run: the clock ended early (exit %d)" % clock.returncode)
        write_png(picture, *xwd_to_rgb(current))
    finally:
        if clock is not None:
            stop(clock)
        stop(server)
    print("make run: there is no DISPLAY, so the clock ran for %d s on a virtual display of its own."
          % SHOW_SECONDS)
    print("Its picture, taken at %s: %s" % (taken, os.path.abspath(picture)))
    print("To see it on a real display, run `make run` in a terminal of an X session "
          "(or with DISPLAY set to one).")


if __name__ == "__main__":
    main()
