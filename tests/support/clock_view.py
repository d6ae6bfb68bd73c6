"""Where the clock puts things in a window of any size: its view maps world
units onto pixels as the clock's own view does (ClockViewOf): 1000 units
high and the aspect ratio times as many across from 5:4 up; narrower, 1250
units across and higher as it narrows. The origin is at the window's
centre. The tiles' places are those of clock_tiles.json, which the GL
picture test reads too."""
import json
import os

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "clock_tiles.json")) as _f:
    _TILES = json.load(_f)

# World x of each tile's centre, by position (hours tens at 4, seconds units at 9).
TILE_X = dict(enumerate(_TILES["tile_centre_x"], start=4))
# The atlas's cell of each digit: (left, top) in its pixels, the picture upright.
CELLS = {digit: cell for digit, cell in
         enumerate(zip(_TILES["glyph_cell_left"], _TILES["glyph_cell_top"]))}
TILE_HALF_WIDTH = 97.2  # world units, the rounded corners' edges excluded


def half_extent(width, height):
    """World units from the centre to a side and to the top: (x, y)."""
    if width > 0 and 4 * width < 5 * height:
        return 625.0, 625.0 * height / width
    return 500.0 * width / max(height, 1), 500.0


def pixels_per_unit(width, height):
    """The scale of a width x height window, the same across and up."""
    return height / 2 / half_extent(width, height)[1]


def to_pixel(rect, world_x, world_y):
    """The pixel (x, y) of a world point in the window rect = (x, y, w, h)."""
    x, y, width, height = rect
    scale = pixels_per_unit(width, height)
    return (x + round(width / 2 + world_x * scale), y + round(height / 2 - world_y * scale))
