"""How a window of the clock maps world units onto its pixels, as the clock's
own view does (ClockViewOf): 1000 units high and the aspect ratio times as
many across from 5:4 up; narrower, 1250 units across and higher as it
narrows. The origin is at the window's centre."""


def half_extent(width, height):
    """World units from the centre to a side and to the top: (x, y)."""
    if width > 0 and 4 * width < 5 * height:
        return 625.0, 625.0 * height / width
    return 500.0 * width / max(height, 1), 500.0


def pixels_per_unit(width, height):
    """The scale of a width x height window, the same across and up."""
    return height / 2 / half_extent(width, height)[1]
