#!/usr/bin/env python3
"""`make run` on a machine without a display: the clock runs for a few
seconds on a virtual X display of its own (Xvfb), and a picture of it is
saved as PNG.

    tools/run-headless.py PICTURE PROGRAM [ARG...]

The server picks a free display itself (-displayfd), so it never meets
another X server, inside a chroot or not. The picture is read through
Xlib and written by the script itself: no screenshot or image tool is
needed.
"""

import ctypes
import ctypes.util
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
WIDTH, HEIGHT = 1920, 1080


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT),
         "-nolisten", "tcp"],
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


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, as far as the masks.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class Screen:
    """The root window's pixels through Xlib (the program's own library),
    so that a screenshot needs no tool of its own."""

    ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)
    Z_PIXMAP = 2

    def __init__(self, display):
        self.xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.xlib.XGetImage.restype = ctypes.POINTER(XImage)
        self.xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_int, ctypes.c_uint, ctypes.c_uint,
                                        ctypes.c_ulong, ctypes.c_int]
        self.xlib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.xlib.XOpenDisplay(display.encode())
        if not self.display:
            raise SystemExit("make run: cannot open the virtual display " + display)
        self.root = self.xlib.XDefaultRootWindow(self.display)

    def close(self):
        self.xlib.XCloseDisplay(self.display)

    def shot(self):
        """Width, height and packed RGB rows of the whole screen."""
        image = self.xlib.XGetImage(self.display, self.root, 0, 0, WIDTH, HEIGHT,
                                    self.ALL_PLANES, self.Z_PIXMAP)
        if not image:
            raise SystemExit("make run: could not read the virtual screen")
        try:
            i = image.contents
            if i.bits_per_pixel != 32:
                raise SystemExit("make run: the virtual screen has %d bits per pixel, not 32"
                                 % i.bits_per_pixel)
            data = ctypes.string_at(i.data, i.bytes_per_line * i.height)

            def byte_of(mask):
                index = (mask & -mask).bit_length() // 8  # the lowest set bit's byte
                return index if i.byte_order == 0 else 3 - index

            offsets = [byte_of(m) for m in (i.red_mask, i.green_mask, i.blue_mask)]
            rows = []
            for y in range(i.height):
                line = data[y * i.bytes_per_line:y * i.bytes_per_line + 4 * i.width]
                rgb = bytearray(3 * i.width)
                for channel, offset in enumerate(offsets):
                    rgb[channel::3] = line[offset::4]
                rows.append(bytes(rgb))
            return i.width, i.height, rows
        finally:
            self.xlib.XDestroyImage(image)


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


def uniform(rows):
    return all(row == rows[0] for row in rows) and rows[0] == rows[0][:3] * (len(rows[0]) // 3)


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    picture, program = sys.argv[1], sys.argv[2]
    # Full screen always: with no display, there is no other saver to defer to.
    args = sys.argv[3:] or ["/s"]
    server, display = start_xvfb()
    clock = None
    screen = None
    try:
        screen = Screen(display)
        clock = subprocess.Popen([program] + args, env=dict(os.environ, DISPLAY=display),
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + START_TIMEOUT
        while uniform(screen.shot()[2]):
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
        previous = screen.shot()
        while True:
            taken = time.strftime("%H:%M:%S")
            current = screen.shot()
            if current == previous or time.monotonic() > deadline:
                break
            previous = current
        if clock.poll() is not None:
            raise SystemExit("make run: the clock ended early (exit %d)" % clock.returncode)
        write_png(picture, *current)
    finally:
        if clock is not None:
            stop(clock)
        if screen is not None:
            screen.close()
        stop(server)
    print("make run: there is no DISPLAY, so the clock ran for %d s on a virtual display"
          " of its own." % SHOW_SECONDS)
    print("Its picture, taken at about %s: %s" % (taken, os.path.abspath(picture)))
    print("To see it on a real display, run `make run` in a terminal of an X session "
          "(or with DISPLAY set to one).")


if __name__ == "__main__":
    main()
