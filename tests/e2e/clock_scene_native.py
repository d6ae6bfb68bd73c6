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
from native import EXE, end_with_key, wait_window
from swap_log import SwapLog, wait_for_quiet
from tile_reader import (STARTED, GreyPicture, glyph_templates, read_clock, read_tiles,
                         seconds_of_day, soon_after)
from x11_host import HostWindow

# The every-frame reference of the bench: whole frames, swapped into a
# four-sample window.
WHOLE_FRAMES = os.environ["TOLVANE_REFERENCE_EXE"]


def shows_the_started_time():
    templates = glyph_templates()
    started = soon_after(STARTED.split()[1])
    with harness.scratch() as scratch:
        env = harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED)
        with harness.started([EXE, "/s"], env=env) as program:
            wait_window(program, 15)
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
            end_with_key(program, "key", "q")


def a_portrait_monitor_shows_all_six_digits():
    # A monitor turned to portrait: the window handed over at its size, and
    # full screen on it. The clock is as wide as the window, every digit
    # whole (the outer tiles' edges cut), and reads as the started time.
    templates = glyph_templates()
    size = (1080, 1920)
    started = soon_after(STARTED.split()[1])
    # A server of its own, of the portrait size.
    with harness.scratch() as scratch, harness.Xvfb(*size):
        env = harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED)  # on this Xvfb
        with HostWindow(*size, at=(0, 0)) as host, \
                harness.started([EXE, "--window-id", str(host.id)], env=env) as program:
            _, read = read_clock(scratch, "handed-over.png", templates, started, 30, size,
                                 host.id)
            harness.log("handed over: %s" % read)
            check(program.running(), program.output())
        with harness.started([EXE, "/s"], env=env) as program:
            wait_window(program, 15)
            shot, read = read_clock(scratch, "full-screen.png", templates, started, 30, size)
            harness.log("full screen: %s" % read)
            # Above and below the tiles the background, not the clear colour.
            top, bottom = harness.pixels(shot, [(540, 700), (540, 1300)])
            check(max(top) > 0 and max(bottom) > 0,
                  "black above or below the tiles: %s, %s" % (top, bottom))
            end_with_key(program, "key", "q")


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
        # Whole frames come one after another; the clock presents its first
        # frame and then, at a frozen time, only what an expose asks for,
        # which the first frame may already have answered.
        check(harness.wait_until(lambda: len(log.times()) >= (2 if whole else 1), 30, 0.05),
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
    # A size whose tile edges fall inside pixels, antialiased: a server of
    # its own.
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
    with harness.scratch() as scratch:
        dpms = FakedDpms(scratch)
        log = SwapLog(scratch)
        # The wall clock can step; the timers are the real ones.
        wall = harness.SteppedClock(scratch)
        env = wall.environment(os.environ)
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
            wall.shift(3600)
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
                read = read_tiles(GreyPicture.of_screen(), 1920, 1080, templates)
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
    # One 1920x1080 server for the cases that need no other size; each ends
    # the programs it started.
    with harness.Xvfb():
        harness.main({
            "shows_the_started_time": shows_the_started_time,
            "a_portrait_monitor_shows_all_six_digits": a_portrait_monitor_shows_all_six_digits,
            "rectangles_show_the_pixels_of_whole_frames":
                rectangles_show_the_pixels_of_whole_frames,
            "dark_while_the_display_is_off": dark_while_the_display_is_off,
        })
