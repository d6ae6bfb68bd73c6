""""The clock is drawn", for a window of any size, at the places the clock's
view puts things (clock_view): the face of the hours tens tile, at its
centre between the digit's top and the tile's, shows the tiles' grey, and
every corner the vignette's dark. A window not yet drawn, a host's own
colour, or a picture cut or scaled wrong fails it."""
import harness
from clock_view import TILE_X, to_pixel

FACE = (60, 100)  # the grey of a tile's face, each channel
CORNER = 30  # the vignette's corners stay below this, each channel
# Above every digit's top (129 units) and below the tile's (164), and
# inside a window of any shape.
FACE_AT = (TILE_X[4], 146)


def points(rect):
    """The pixels checked in rect = (x, y, w, h): the face, then the corners."""
    x, y, width, height = rect
    face = to_pixel(rect, *FACE_AT)
    return [face] + [(x + dx, y + dy) for dx in (1, width - 2) for dy in (1, height - 2)]


def shows_the_clock(rect, window="root"):
    """(whether the screen, or the X window of that id, shows the clock
    drawn in rect now, the pixels read)."""
    seen = harness.screen_pixels(points(rect), window)
    face, corners = seen[0], seen[1:]
    return (FACE[0] <= min(face) and max(face) <= FACE[1] and
            all(max(corner) < CORNER for corner in corners)), seen


def wait_drawn(rect, what, timeout=30, window="root", output=lambda: ""):
    """Waits until the clock is drawn in rect; fails saying what, with the
    pixels last read and output()."""
    seen = []

    def drawn():
        ok, seen[:] = shows_the_clock(rect, window)
        return ok
    harness.check(harness.wait_until(drawn, timeout, 0.1),
                  "%s: no clock drawn in %s (face, corners: %s); %s"
                  % (what, rect, seen, output()))
