"""The tests' tile reader: the digit each of the clock's six tiles shows in
a screenshot, by comparing every tile with the glyphs of the atlas, at the
pixels the clock's view puts it (clock_view)."""
import os
import struct

import harness
from clock_view import CELLS, TILE_HALF_WIDTH, TILE_X, half_extent, to_pixel
from harness import check

ATLAS = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "assets", "glyph_atlas.bmp")
SAMPLE = (16, 24)  # each half is compared at this many pixels


class GreyPicture:
    """A picture's grey values, read once, sampled in parts."""

    def __init__(self, path=None, xwd=None):
        """Of the picture at path, or of xwd's bytes of a window."""
        if xwd is None:
            self.width, self.height = harness.picture_size(path)
        else:
            self.width, self.height = struct.unpack_from(">II", xwd, 16)
        self.values = harness.run_bytes(["convert", path or "xwd:-", "-colorspace", "gray",
                                         "-depth", "8", "gray:-"], stdin=xwd)
        check(len(self.values) == self.width * self.height, "a grey picture of %d bytes"
              % len(self.values))

    @classmethod
    def of_screen(cls, window="root"):
        """The screen, or the X window of that id, as shown now."""
        return cls(xwd=harness.xwd(window))

    def sample(self, crop):
        """The mean grey of each cell of a SAMPLE grid laid over crop = (x, y, w, h)."""
        x, y, w, h = crop
        columns, rows = SAMPLE
        result = []
        for r in range(rows):
            y0, y1 = y + r * h // rows, y + (r + 1) * h // rows
            for c in range(columns):
                x0, x1 = x + c * w // columns, x + (c + 1) * w // columns
                # Every third pixel each way is plenty for a mean.
                total = 0
                count = 0
                for yy in range(y0, y1, 3):
                    cells = self.values[yy * self.width + x0:yy * self.width + x1:3]
                    total += sum(cells)
                    count += len(cells)
                result.append(total / max(count, 1))
        return result


def normalised(values):
    low, high = min(values), max(values)
    span = max(high - low, 1)
    return [(v - low) / span for v in values]


_atlas = []


def glyph_templates(part=(0.0, 1.0)):
    """Upper and lower half of every digit's cell, from the atlas itself; of
    the columns part = (from, to) of its width only, for a tile that the
    edge of a narrower monitor cuts."""
    if not _atlas:
        _atlas.append(GreyPicture(ATLAS))
    atlas = _atlas[0]
    x0, x1 = round(part[0] * 200), round(part[1] * 200)
    templates = {}
    for digit, (left, top) in CELLS.items():
        # The picture is stored bottom-up, but convert shows it upright.
        upper = atlas.sample((left + x0, top, x1 - x0, 144))
        lower = atlas.sample((left + x0, top + 144, x1 - x0, 144))
        templates[digit] = normalised(upper) + normalised(lower)
    return templates


def _read_halves(shot, width, height, templates, origin):
    """Per tile position: the nearest template's digit and distance, and the
    nearest digit of the upper and of the lower half alone."""
    rect = tuple(origin) + (width, height)
    picture = shot if isinstance(shot, GreyPicture) else GreyPicture(shot)
    edge = half_extent(width, height)[0]

    def box(world_left, world_top, world_right, world_bottom):
        x0, y0 = to_pixel(rect, world_left, world_top)
        x1, y1 = to_pixel(rect, world_right, world_bottom)
        return (x0, y0, x1 - x0, y1 - y0)

    def nearest(seen, against, part):
        distances = {d: sum((a - b) ** 2 for a, b in zip(seen[part], t[part]))
                     for d, t in against.items()}
        best = min(distances, key=distances.get)
        return best, distances[best]

    read = {}
    for position, centre in TILE_X.items():
        # Inside the half-tiles, clear of the rounded corners' edges and the
        # hinge lines; on a narrow monitor only what is on it.
        half_width = TILE_HALF_WIDTH
        left, right = max(centre - half_width, -edge), min(centre + half_width, edge)
        if left == centre - half_width and right == centre + half_width:
            against = templates
        else:
            against = glyph_templates(((left - centre + half_width) / (2 * half_width),
                                       (right - centre + half_width) / (2 * half_width)))
        upper = picture.sample(box(left, 163.68, right, 8.13 + 1.3))
        lower = picture.sample(box(left, 6.27 - 1.3, right, -149.28))
        seen = normalised(upper) + normalised(lower)
        half = len(upper)
        whole, distance = nearest(seen, against, slice(None))
        read[position] = (whole, distance, nearest(seen, against, slice(0, half))[0],
                          nearest(seen, against, slice(half, None))[0])
    return read


def read_tiles(shot, width, height, templates, origin=(0, 0)):
    """The digit each tile shows, by the nearest template, and the distances,
    in the width x height rectangle at origin of the screenshot (a path, or
    a GreyPicture read once for several rectangles)."""
    return {p: (digit, distance)
            for p, (digit, distance, _, _) in _read_halves(shot, width, height, templates,
                                                             origin).items()}


def read_resting(shot, width, height, templates, origin=(0, 0)):
    """The six digits shown, as read_tiles reads them, or None while a flap
    falls: then some tile's halves show two glyphs (or a flap between
    them), and the whole tile's nearest glyph is no time the clock had."""
    read = _read_halves(shot, width, height, templates, origin)
    if any(upper != whole or lower != whole for whole, _, upper, lower in read.values()):
        return None
    return [read[p][0] for p in range(4, 10)]


def read_clock(scratch, name, templates, accept, timeout, size=(1920, 1080), window="root"):
    """Screenshots the clock (the screen, or the window of that id) of size
    until the digits it shows satisfy accept(shown), a list of the six
    digits; returns (screenshot, read), or fails with the last reading. The
    first frames may still be on their way (two loaded cores), and a flip in
    progress reads as neither digit."""
    last = {}

    def attempt():
        xwd = harness.xwd(window)
        read = read_tiles(GreyPicture(xwd=xwd), size[0], size[1], templates)
        last["read"] = read
        if not accept([read[p][0] for p in range(4, 10)]):
            return None
        return harness.save_xwd(xwd, os.path.join(scratch, name)), read
    found = harness.wait_until(attempt, timeout, 0.2)
    check(found, "%s: the clock showed %s" % (name, last.get("read")))
    return found


STARTED = "2026-03-14 12:34:21"


def seconds_of_day(shown):
    """The time of day that six read digits show, in seconds."""
    h1, h2, m1, m2, s1, s2 = shown
    return (h1 * 10 + h2) * 3600 + (m1 * 10 + m2) * 60 + s1 * 10 + s2


def soon_after(start, span=120):
    """A test of six read digits: they show start ("hh:mm:ss") or at most
    span seconds later, however long a loaded machine takes to start the
    clock and to read the screen; never the real time."""
    h, m, s = (int(v) for v in start.split(":"))
    return lambda shown: 0 <= seconds_of_day(shown) - (h * 3600 + m * 60 + s) <= span
