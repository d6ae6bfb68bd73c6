"""What the native clock shows: the time it was started at, read back from a
screenshot by comparing every tile with the glyphs of the atlas; where it
presents only the rectangle a frame changed (Mesa's software renderer, as
here), the very pixels of whole frames drawn into a four-sample window; and
nothing while the display is off (DPMS, faked by a preload: no server here
has the extension), then the system's time the moment it is back."""
import os
import time

import harness
from harness import check
from launch_native import EXE
from swap_log import SwapLog, wait_for_quiet
from x11_host import HostWindow

# The every-frame reference of the bench: whole frames, swapped into a
# four-sample window.
WHOLE_FRAMES = os.environ["TOLVANE_REFERENCE_EXE"]

ATLAS = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "assets", "glyph_atlas.bmp")
TILE_X = {4: -546, 5: -354, 6: -92, 7: 100, 8: 360, 9: 552}
CELLS = {0: (30, 864), 1: (30, 1152), 2: (30, 1440), 3: (30, 1728), 4: (420, 0), 5: (420, 288),
         6: (420, 576), 7: (420, 864), 8: (420, 1152), 9: (420, 1440)}
SAMPLE = (16, 24)  # each half is compared at this many pixels


class GreyPicture:
    """A picture's grey values, read once, sampled in parts."""

    def __init__(self, path):
        self.width, self.height = harness.picture_size(path)
        self.values = harness.run_bytes(["convert", path, "-colorspace", "gray", "-depth", "8",
                                          "gray:-"])

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
    scale = height / 1000.0  # the window is 1000 world units high
    picture = shot if isinstance(shot, GreyPicture) else GreyPicture(shot)
    edge = width / 2 / scale  # the half width in world units

    def box(world_left, world_top, world_right, world_bottom):
        x0 = origin[0] + round(width / 2 + world_left * scale)
        x1 = origin[0] + round(width / 2 + world_right * scale)
        y0 = origin[1] + round(height / 2 - world_top * scale)
        y1 = origin[1] + round(height / 2 - world_bottom * scale)
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
        left, right = max(centre - 97.2, -edge), min(centre + 97.2, edge)
        if left == centre - 97.2 and right == centre + 97.2:
            against = templates
        else:
            against = glyph_templates(((left - centre + 97.2) / 194.4,
                                       (right - centre + 97.2) / 194.4))
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


def read_clock(scratch, name, templates, accept, timeout):
    """Screenshots the clock until the digits it shows satisfy accept(shown),
    a list of the six digits; returns (screenshot, read), or fails with the
    last reading. The first frames may still be on their way (two loaded
    cores), and a flip in progress reads as neither digit."""
    last = {}

    def attempt():
        shot = harness.screenshot(os.path.join(scratch, name))
        read = read_tiles(shot, 1920, 1080, templates)
        last["read"] = read
        return (shot, read) if accept([read[p][0] for p in range(4, 10)]) else None
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


def shows_the_started_time():
    templates = glyph_templates()
    started = soon_after(STARTED.split()[1])
    with harness.scratch() as scratch, harness.Xvfb():
        env = harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED)
        with harness.started([EXE, "/s"], env=env) as program:
            check(harness.wait_until(lambda: harness.find_windows(name="^Tolvane Screensaver$"),
                                     15), "no window: " + program.output())
            shot, read = read_clock(scratch, "clock.png", templates, started, 30)
            harness.log("read: %s" % read)
            first = [read[p][0] for p in range(4, 10)]
            # The clock moves on.
            read_clock(scratch, "later.png", templates,
                       lambda shown: started(shown) and shown != first, 30)

            # The background: the vignette darkens the sides, the band shows
            # between the tiles, nothing is left black in the middle.
            left, centre_gap, bottom = harness.pixels(shot, [(4, 540), (960, 250), (960, 1000)])
            check(max(left) < 12, "the left edge is not darkened: %s" % (left,))
            check(0 < max(centre_gap) < 60, "no dark band above the tiles: %s" % (centre_gap,))
            check(max(bottom) < 60, "the bottom is not dark: %s" % (bottom,))
            harness.xdotool("key", "q")
            harness.expect_exit(program, "key", 5)


def preview_shows_the_clock_scaled():
    with harness.scratch() as scratch, harness.Xvfb(), HostWindow(304, 224) as host:
        x, y, _, _ = harness.window_geometry(host.id)
        with harness.started([EXE, "/p", str(host.id)]) as program:
            # Hours tens tile at world x -546 + 40: on its face, in the upper half.
            scale = 224 / 1000.0
            face_at = (x + round(152 + (-546 + 40) * scale), y + round(112 - 140 * scale))
            seen = {}

            def drawn():
                shot = harness.screenshot(os.path.join(scratch, "preview.png"))
                face, corner = harness.pixels(shot, [face_at, (x + 1, y + 1)])
                seen.update(face=face, corner=corner)
                return 40 <= min(face) and max(face) <= 200 and max(corner) < 30
            check(harness.wait_until(drawn, 30, 0.2),
                  "no tile face with dark corners in the preview: %s; %s"
                  % (seen, program.output()))
            check(program.running(), program.output())
            host.command("destroy")
            harness.expect_exit(program, "host destroyed", 2)


def screenshots_of_a_flip(exe, scratch, name, whole):
    """Screenshots of exe at frozen instants of a minute's flip: rest, its
    start, three angles of the fall, landed, caught up. The clock shows the
    second after the wall clock's, so its flip begins at hh:mm:59."""
    clock = harness.FrozenClock(scratch)
    clock.set("10:09:58.000000")
    log = SwapLog(scratch)
    if os.path.exists(log.path):
        os.remove(log.path)
    instants = ["10:09:58.600000"] + ["10:09:59.%06d" % us for us in
                                      (5000, 56000, 124000, 192000, 300000, 600000)]
    shots = []
    with harness.started([exe, "/s"], env=log.environment(clock.environment(os.environ))) as run:
        # The window library's own swap of the cleared window, then the
        # first frame.
        check(harness.wait_until(lambda: len(log.times()) >= 2, 30, 0.05),
              "nothing presented: " + run.output())
        if not whole:
            wait_for_quiet(log, 1.0, 30)
        for k, instant in enumerate(instants):
            swaps = len(log.times())
            clock.set(instant)
            # Whole frames never rest: the second frame from now began after
            # the change, and was presented once the third is. The other
            # rests once it has shown the instant.
            check(harness.wait_until(lambda: len(log.times()) >= swaps + (3 if whole else 1),
                                     30, 0.01), "nothing presented at %s: %s" % (instant, run.output()))
            if not whole:
                wait_for_quiet(log, 0.4, 30)
            shots.append(harness.settled_screenshot(
                os.path.join(scratch, "%s-%d.png" % (name, k))))
    return instants, shots


def rectangles_show_the_pixels_of_whole_frames():
    # A size whose tile edges fall inside pixels, antialiased.
    with harness.scratch() as scratch, harness.Xvfb(1366, 768):
        instants, rectangles = screenshots_of_a_flip(EXE, scratch, "rectangles", False)
        _, whole = screenshots_of_a_flip(WHOLE_FRAMES, scratch, "whole", True)
        differing = [(instant, harness.pixels_differing(a, b))
                     for instant, a, b in zip(instants, rectangles, whole)]
        harness.log("pixels differing: %s" % differing)
        check(all(count == 0 for _, count in differing),
              "the clock's pictures differ from whole frames: %s" % differing)
        # A flip was shown: its pictures differ from one another.
        check(harness.pixels_differing(whole[0], whole[3]) > 0, "no flip between the shots")


class FakedDpms:
    """The monitor's level the preload (tests/support/dpms_fake.c) reports,
    and the times the program asked for it."""

    def __init__(self, directory):
        self.path = os.path.join(directory, "dpms.txt")
        self.set("on")

    def set(self, level):
        with open(self.path + ".new", "w") as f:
            f.write(level + "\n")
        os.replace(self.path + ".new", self.path)

    def asked(self, since=0.0):
        try:
            with open(self.path + ".asked") as f:
                return [t for t in (float(line) for line in f.read().split()) if t >= since]
        except FileNotFoundError:
            return []

    def environment(self, env):
        env = dict(env, TOLVANE_FAKE_DPMS=self.path)
        env["LD_PRELOAD"] = ":".join(
            p for p in (os.environ["TOLVANE_DPMS_FAKE"], env.get("LD_PRELOAD")) if p)
        return env


def dark_while_the_display_is_off():
    templates = glyph_templates()
    with harness.scratch() as scratch, harness.Xvfb():
        dpms = FakedDpms(scratch)
        log = SwapLog(scratch)
        # The wall clock can step (a file libfaketime reads at every call);
        # the timers are the real ones.
        wall = os.path.join(scratch, "wall.txt")
        with open(wall, "w") as f:
            f.write("+0\n")
        env = harness.with_libfaketime(dict(os.environ, TZ="UTC"), FAKETIME_TIMESTAMP_FILE=wall,
                                       FAKETIME_NO_CACHE="1", DONT_FAKE_MONOTONIC="1")
        with harness.started([EXE, "/s"], env=dpms.environment(log.environment(env))) as program:
            check(harness.wait_until(log.times, 20), "nothing presented: " + program.output())
            check(harness.wait_until(dpms.asked, 5), "DPMS never asked: " + program.output())

            dpms.set("off")
            off = time.monotonic()
            # The first question after the change sees it: at most a second.
            seen = harness.wait_until(lambda: dpms.asked(off), 3)
            check(seen, "DPMS not asked within a second of the change")
            dark_from = seen[0]
            # Across at least two seconds flips that would have drawn.
            check(harness.wait_until(lambda: len(dpms.asked(dark_from)) >= 4, 6),
                  "DPMS not asked while dark: %s" % dpms.asked(off))
            asks = dpms.asked(dark_from)
            gaps = [b - a for a, b in zip(asks, asks[1:])]
            check(min(gaps) >= 0.9, "asked more often than once a second: %s" % gaps)
            # A wall-clock step while nobody sees the clock.
            with open(wall + ".new", "w") as f:
                f.write("+3600\n")
            os.replace(wall + ".new", wall)
            on = time.monotonic()
            dark = log.between(dark_from, on)
            check(not dark, "%d frames presented while the display was off" % len(dark))
            harness.log("dark %.1f s: %d questions, no frame" % (on - dark_from, len(asks)))

            dpms.set("on")
            check(harness.wait_until(lambda: log.between(on, on + 60), 5),
                  "nothing presented after the display came back")
            first = log.between(on, on + 60)[0]
            harness.log("first frame %.2f s after on" % (first - on))

            # Whole frames take a while on a loaded machine: a screenshot may
            # still show the last picture before the dark, never a later one.
            reads = []

            def stepped():
                taken = time.time()
                shot = harness.screenshot(os.path.join(scratch, "back.png"))
                read = read_tiles(shot, 1920, 1080, templates)
                shown = [read[p][0] for p in range(4, 10)]
                apart = (seconds_of_day(shown) - (taken + 3600) + 43200) % 86400 - 43200
                reads.append((shown, round(apart, 2)))
                return -2 <= apart <= 1.5
            check(harness.wait_until(stepped, 15, 0.2),
                  "the clock did not show the system's time after on: %s" % reads)
            check(all(abs(apart + 3600) < 15 or -2 <= apart <= 1.5 for _, apart in reads),
                  "shown neither before the dark nor the system's time: %s" % reads)
            harness.log("read after on (shown, seconds from the system's time): %s" % reads)

            # A key while the display is off ends the clock as at any time.
            dpms.set("standby")
            standby = time.monotonic()
            check(harness.wait_until(lambda: dpms.asked(standby), 3), "standby not asked")
            harness.xdotool("key", "space")
            harness.expect_exit(program, "key while the display is off", 2)


if __name__ == "__main__":
    harness.main({
        "shows_the_started_time": shows_the_started_time,
        "preview_shows_the_clock_scaled": preview_shows_the_clock_scaled,
        "rectangles_show_the_pixels_of_whole_frames": rectangles_show_the_pixels_of_whole_frames,
        "dark_while_the_display_is_off": dark_while_the_display_is_off,
    })
