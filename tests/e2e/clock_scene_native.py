"""What the native clock shows: the time it was started at, read back from a
screenshot by comparing every tile with the glyphs of the atlas; and, where
it presents only the rectangle a frame changed (Mesa's software renderer, as
here), the very pixels of whole frames drawn into a four-sample window."""
import os

import harness
from harness import check
from launch_native import EXE
from swap_log import SwapLog, wait_for_quiet
from tile_reader import STARTED, glyph_templates, read_clock, soon_after
from x11_host import HostWindow

# The every-frame reference of the bench: whole frames, swapped into a
# four-sample window.
WHOLE_FRAMES = os.environ["TOLVANE_REFERENCE_EXE"]

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


def a_portrait_monitor_shows_all_six_digits():
    # A monitor turned to portrait: the window handed over at its size, and
    # full screen on it. The clock is as wide as the window, every digit
    # whole (the outer tiles' edges cut), and reads as the started time.
    templates = glyph_templates()
    size = (1080, 1920)
    started = soon_after(STARTED.split()[1])
    with harness.scratch() as scratch, harness.Xvfb(*size):
        env = harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED)  # on this Xvfb
        with HostWindow(*size, at=(0, 0)) as host, \
                harness.started([EXE, "--window-id", str(host.id)], env=env) as program:
            _, read = read_clock(scratch, "handed-over.png", templates, started, 30, size,
                                 host.id)
            harness.log("handed over: %s" % read)
            check(program.running(), program.output())
        with harness.started([EXE, "/s"], env=env) as program:
            check(harness.wait_until(lambda: harness.find_windows(name="^Tolvane Screensaver$"),
                                     15), "no window: " + program.output())
            shot, read = read_clock(scratch, "full-screen.png", templates, started, 30, size)
            harness.log("full screen: %s" % read)
            # Above and below the tiles the background, not the clear colour.
            top, bottom = harness.pixels(shot, [(540, 700), (540, 1300)])
            check(max(top) > 0 and max(bottom) > 0,
                  "black above or below the tiles: %s, %s" % (top, bottom))
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


if __name__ == "__main__":
    harness.main({
        "shows_the_started_time": shows_the_started_time,
        "a_portrait_monitor_shows_all_six_digits": a_portrait_monitor_shows_all_six_digits,
        "preview_shows_the_clock_scaled": preview_shows_the_clock_scaled,
        "rectangles_show_the_pixels_of_whole_frames": rectangles_show_the_pixels_of_whole_frames,
    })
