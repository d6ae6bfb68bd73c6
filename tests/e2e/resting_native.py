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

REFRESH = 60  # Xvfb reports no refresh rate; the program then counts 60
TARGET = 18   # the distinct pictures of one seconds flip, plus one
START = (12, 34, 41)


class SwapLog:
    """The swap times (time.monotonic seconds) the probe wrote for a program."""

    def __init__(self, directory):
        self.path = os.path.join(directory, "swaps.txt")

    def environment(self, env):
        env = dict(env, LD_PRELOAD=os.environ["TOLVANE_SWAP_PROBE"], TOLVANE_SWAP_LOG=self.path)
        # A sanitizer build wants its runtime first; the probe is harmless before it.
        env["ASAN_OPTIONS"] = "verify_asan_link_order=0:" + env.get("ASAN_OPTIONS", "")
        return env

    def times(self):
        if not os.path.exists(self.path):
            return []
        with open(self.path) as log:
            return [float(line) for line in log.read().split()]

    def between(self, start, end):
        return [t for t in self.times() if start <= t < end]


def flip_phase(swaps):
    """When, modulo one second, the seconds flips begin. Each half second
    begins a group of swaps after a quiet gap: a flip (its start, its fall,
    its landing) or the shown record's catch-up, a single swap."""
    starts = [b for a, b in zip(swaps, swaps[1:]) if b - a > 0.2]
    flips = [s for s in starts if len([t for t in swaps if s <= t < s + 0.45]) >= 2]
    check(len(flips) >= 3, "no regular flips in the swaps: %s" % swaps)
    phases = sorted(s % 1.0 for s in flips)
    return phases[len(phases) // 2]


def wait_for_rest(phase, offset=0.65):
    """Waits until `offset` seconds after a flip began: from just after the
    catch-up at 0.5 to the next flip at 1.0 nothing changes."""
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
            swaps = log.between(begin, begin + 5.0)
            harness.log("%d swaps in 5 s" % len(swaps))
            check(len(swaps) <= TARGET * 5, "%d swaps in 5 s: it does not rest" % len(swaps))
            check(len(swaps) >= 2 * 5, "%d swaps in 5 s: the clock stalls" % len(swaps))
            worst = max(len([t for t in swaps if s <= t < s + 1.0]) for s in swaps)
            check(worst <= REFRESH, "%d swaps within one second" % worst)
            phase = flip_phase(log.times())

            # A window over the tiles, gone again during a rest: repainted at once.
            host, _ = start_host(1600, 500)
            try:
                cover = harness.wait_until(lambda: harness.find_windows(name="^Preview host$"), 10)
                check(cover, "no covering window")
                check(harness.wait_until(lambda: covered(scratch), 10), "the window did not show")
                gone = wait_for_rest(phase, 0.75)
                harness.xdotool("windowunmap", "--sync", cover[0])
            finally:
                stop_host(host)
            # Before the next flip: 0.25 s after the window went.
            repaint = harness.wait_until(lambda: log.between(gone, gone + 0.2), 2)
            check(repaint, "no frame after the window went away before the next flip")
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
