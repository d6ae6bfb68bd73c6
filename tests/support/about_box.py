"""The About window's facts, as both builds show it (native and under Wine):
where it stands on a 1920x1080 screen, its parts, its colours and picture,
the address its button opens; and a fake xdg-open, first on the program's
PATH, that records each address it is given, so a click on the button can
be seen without a browser."""
import os
import struct

import harness
from harness import check

BUILD = os.environ["TOLVANE_BUILD_DIR"]
PICTURE = os.path.join(BUILD, "assets", "about_clock.bmp")  # bitmap 182

ORIGIN = (760, 390)  # the centred corner on 1920x1080
SIZE = (400, 300)
ADDRESS = "https://www.tolvane.app/?utm_source=About"
BACKGROUND = (177, 232, 179)
BUTTON = (150, 210, 100, 32)
NOTICE = (20, 150, 380, 80)
PRODUCT_LINE = (112, 20, 280, 20)


def fake_opener(scratch, exit_code=0):
    """A folder holding a fake xdg-open, which records the address it is
    given and ends with exit_code, and the file it writes to."""
    folder = os.path.join(scratch, "bin")
    os.makedirs(folder)
    record = os.path.join(scratch, "opened.txt")
    script = os.path.join(folder, "xdg-open")
    with open(script, "w") as f:
        f.write("#!/bin/sh\nprintf '%%s\\n' \"$*\" >> '%s'\nexit %d\n" % (record, exit_code))
    os.chmod(script, 0o755)
    return folder, record


def opened(record):
    if not os.path.exists(record):
        return []
    with open(record) as f:
        return f.read().splitlines()


def window_rgb(path):
    """The window's pixels from a root screenshot: a function (x, y) -> RGB."""
    raw = harness.run_bytes(["convert", path, "-crop", "%dx%d+%d+%d" % (SIZE + ORIGIN),
                             "+repage", "-depth", "8", "rgb:-"])
    check(len(raw) == SIZE[0] * SIZE[1] * 3, "screenshot crop of %d bytes" % len(raw))
    return lambda x, y: tuple(raw[(y * SIZE[0] + x) * 3:(y * SIZE[0] + x) * 3 + 3])


def picture_rgb():
    """Bitmap 182's pixels, top row first: a function (x, y) -> RGB."""
    with open(PICTURE, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    check((width, abs(height), bits) == (110, 83, 32), "bitmap 182 is not 110x83x32")

    def pixel(x, y):
        row = height - 1 - y if height > 0 else y
        b, g, r = data[offset + row * width * 4 + x * 4:][:3]
        return (r, g, b)
    return pixel


def count(rgb, box, predicate):
    x0, y0, w, h = box
    return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w) if predicate(rgb(x, y)))


def is_blue(p):
    return p[2] > 200 and p[0] < 100 and p[1] < 140


def is_dark(p):
    return max(p) < 70
