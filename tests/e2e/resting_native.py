"""The resting clock, natively: between flips it presents nothing, it never
swaps faster than the display refreshes, a key ends it at once while it
rests, and it repaints what another window uncovered. Swaps are counted
from outside by the tests' preload probe (tests/support/swap_probe.c)."""
import os
import time

import harness
from harness import check
from native import EXE
from swap_log import CLOCK_SECOND, SLOWED, SwapLog, check_rests, wait_for_quiet
from x11_host import HostWindow


# Under the covering window: a tile, and the background above the tiles,
# which a repaint presenting only the tiles' rectangle would leave covered.
UNDER_COVER = [(960, 450), (960, 200)]


def covered():
    """For each point under the cover, whether it shows the cover's red."""
    return [rgb == (255, 0, 0) for rgb in harness.screen_pixels(UNDER_COVER)]


def rests_between_flips():
    # That the clock still shows the time it was started at is
    # clock_scene_native's to check, on this same loop.
    with harness.scratch() as scratch:
        log = SwapLog(scratch)
        env = log.environment(
            harness.faked_clock(dict(os.environ, TZ="UTC"), "2026-03-14 12:34:41", SLOWED))
        with harness.started([EXE, "/s"], env=env) as program:
            check(harness.wait_until(log.times, 20), "nothing presented: " + program.output())
            begin = time.monotonic() + 0.5
            span = 2 * CLOCK_SECOND
            check(harness.wait_until(lambda: time.monotonic() >= begin + span, span + 5), "clock")
            check_rests(log, begin, 2)
            harness.xdotool("key", "space")
            harness.expect_exit(program, "key", 2)


def repaints_and_ends_on_a_key_during_a_rest():
    # At a twentieth of the speed a flip falls for 5 s and the rests last 5
    # and 10 s: long enough to tell a repaint from the clock's own changes,
    # however long a busy machine takes to draw it, and a key in a rest from
    # one in a frame.
    with harness.scratch() as scratch:
        log = SwapLog(scratch)
        env = log.environment(
            harness.faked_clock(dict(os.environ, TZ="UTC"), "2026-03-14 12:34:41", SLOWED / 2))
        with harness.started([EXE, "/s"], env=env) as program:
            check(harness.wait_until(log.times, 20), "nothing presented: " + program.output())
            with HostWindow(1600, 500):
                cover = harness.wait_until(lambda: harness.find_windows(name="^Preview host$"), 10)
                check(cover, "no covering window")
                check(harness.wait_until(lambda: all(covered()), 10),
                      "the window did not show")
                # Six seconds into a rest it is the long one, from the
                # catch-up to the next flip 10 s later: 4 s are left.
                wait_for_quiet(log, 6.0, 30)
                rest_began = log.times()[-1]
                gone = time.monotonic()  # --sync returns after the repaint may have come
                harness.xdotool("windowunmap", "--sync", cover[0])
            # Drawing the repaint may take a busy machine a while, but the
            # clock's own next picture cannot come before the rest ends.
            repaint = harness.wait_until(lambda: log.between(gone, rest_began + 9.5), 6)
            check(repaint, "no repaint after the window went away: swaps at %s"
                  % [round(t - gone, 3) for t in log.between(gone - 5, gone + 5)])
            # The probe counts the swap as it is asked for; the picture follows.
            check(harness.wait_until(lambda: not any(covered()), 3),
                  "still covered: %s" % covered())

            # A key during the rest ends it at once.
            wait_for_quiet(log, 0.3, 5)
            harness.xdotool("key", "space")
            pressed = time.monotonic()
            harness.expect_exit(program, "key during the rest", 0.5)
            harness.log("ended %.3f s after the key" % (time.monotonic() - pressed))


if __name__ == "__main__":
    # One server for both cases; each ends its clock and its covering window.
    with harness.Xvfb():
        harness.main({
            "rests_between_flips": rests_between_flips,
            "repaints_and_ends_on_a_key_during_a_rest": repaints_and_ends_on_a_key_during_a_rest,
        })
