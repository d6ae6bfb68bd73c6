"""The resting clock, natively: between flips it presents nothing, it never
swaps faster than the display refreshes, it still shows the time it was
started at, it repaints what another window uncovered, and a key ends it at
once while it rests. Swaps are counted from outside by the tests' preload
probe (tests/support/swap_probe.c)."""
import os
import time

import harness
from harness import check
from clock_scene_native import glyph_templates, read_tiles
from launch_native import EXE, expect_exit, start_host, stop_host
from swap_log import SwapLog, check_rests

START = (12, 34, 41)


REST = 0.6  # seconds after a flip began: past the catch-up at 0.5, before the next flip


def wait_for_rest(phase, offset=REST):
    """Waits until `offset` seconds after a flip began; returns that time."""
    now = time.monotonic()
    target = now - (now - phase) % 1.0 + offset
    if target < now + 0.05:
        target += 1.0
    harness.wait_until(lambda: time.monotonic() >= target, 2, interval=0.005)
    return target


def shown_seconds(read):
    d = [read[p][0] for p in range(4, 10)]
    return (d[0] * 10 + d[1]) * 3600 + (d[2] * 10 + d[3]) * 60 + d[4] * 10 + d[5]


def read_clock(scratch, templates, name):
    shot = harness.screenshot(os.path.join(scratch, name))
    return shown_seconds(read_tiles(shot, 1920, 1080, templates))


def covered(scratch):
    shot = harness.screenshot(os.path.join(scratch, "cover.png"))
    return harness.pixels(shot, [(960, 450)])[0] == (255, 0, 0)


def rests_between_flips_and_repaints():
    templates = glyph_templates()
    scratch = harness.scratch_dir()
    log = SwapLog(scratch)
    start_of_day = START[0] * 3600 + START[1] * 60 + START[2]
    with harness.Xvfb():
        env = log.environment(dict(os.environ, TZ="UTC"))
        launched = time.monotonic()
        argv = ["faketime", "-f", "@2026-03-14 %02d:%02d:%02d" % START, EXE, "/s"]
        with harness.started(argv, env=env) as program:
            check(harness.wait_until(log.times, 20), "nothing presented: " + program.output())

            # The started time, read back (it runs on from there).
            def shows_started_time():
                elapsed = time.monotonic() - launched
                shown = read_clock(scratch, templates, "clock.png") - start_of_day
                return -1 <= shown <= elapsed + 2
            check(harness.wait_until(shows_started_time, 15), "the clock does not show %s" % (START,))

            # Five seconds of steady running.
            begin = time.monotonic() + 0.5
            check(harness.wait_until(lambda: time.monotonic() >= begin + 5.0, 10), "clock")
            phase = check_rests(log, begin, 5.0)

            # A window over the tiles, gone again during a rest: repainted at once.
            host, _ = start_host(1600, 500)
            try:
                cover = harness.wait_until(lambda: harness.find_windows(name="^Preview host$"), 10)
                check(cover, "no covering window")
                check(harness.wait_until(lambda: covered(scratch), 10), "the window did not show")
                flip = wait_for_rest(phase) - REST
                harness.xdotool("windowunmap", "--sync", cover[0])
            finally:
                stop_host(host)
            # Between this second's catch-up and the next flip a resting
            # clock swaps once; the repaint makes it twice.
            quiet = (flip + 0.45, flip + 0.97)
            check(harness.wait_until(lambda: time.monotonic() >= quiet[1], 3), "clock")
            swaps = log.between(*quiet)
            check(len(swaps) >= 2, "no repaint after the window went away: %s" % swaps)
            check(harness.wait_until(lambda: not covered(scratch), 2), "still covered")
            elapsed = time.monotonic() - launched
            shown = read_clock(scratch, templates, "uncovered.png") - start_of_day
            check(0 <= shown <= elapsed + 2, "uncovered clock shows +%s s" % shown)

            # A key during a rest ends it at once.
            wait_for_rest(phase)
            harness.xdotool("key", "space")
            pressed = time.monotonic()
            expect_exit(program, 0.5, "key during the rest")
            harness.log("ended %.3f s after the key" % (time.monotonic() - pressed))
    harness.remove_dir(scratch)


if __name__ == "__main__":
    harness.main({
        "rests_between_flips_and_repaints": rests_between_flips_and_repaints,
    })
