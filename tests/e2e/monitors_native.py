"""The native clock on two monitors (Xorg's dummy driver: 1920x1080 and, to
its right, 1280x1024): the same time on each, read back from a screenshot
of each monitor's rectangle; a key, or a click on the second monitor, ends
it and motion across both does not; both windows rest between flips; a
monitor unplugged and plugged again while it runs. What a second monitor
costs in memory is make bench's to report.

One server serves every case; each case leaves the two outputs as it found
them. Skipped (exit code 77) where Xorg cannot start."""
import os
import time

import harness
import xorg_dummy
from clock_scene_native import STARTED, GreyPicture, glyph_templates, read_tiles, soon_after
from harness import check
from launch_native import EXE
from swap_log import SLOWED, SwapLog, wait_for_quiet

TITLE = "^Tolvane Screensaver$"


def windows_on_screen():
    """(x, y, width, height) of each visible clock window, sorted; None when
    one went away while they were read."""
    try:
        return sorted(harness.window_geometry(w) for w in harness.find_windows(name=TITLE))
    except harness.TestFailure:
        return None


def wait_for_cover(program, timeout=20):
    """Waits until the clock's windows are exactly one on each active monitor."""
    found = harness.wait_until(
        lambda: windows_on_screen() == sorted(xorg_dummy.active_monitors()), timeout)
    check(found, "windows %s on monitors %s; output:\n%s"
          % (windows_on_screen(), xorg_dummy.active_monitors(), program.output()))


def read_monitors(scratch, templates, accept, timeout):
    """Screenshots the root until the six digits of every monitor satisfy
    accept(list of digit lists); returns that list, or fails with the last."""
    last = {}

    def attempt():
        shot = GreyPicture(harness.screenshot(os.path.join(scratch, "monitors.png")))
        shown = []
        for x, y, width, height in xorg_dummy.active_monitors():
            read = read_tiles(shot, width, height, templates, origin=(x, y))
            shown.append([read[p][0] for p in range(4, 10)])
        last["shown"] = shown
        return shown if accept(shown) else None
    found = harness.wait_until(attempt, timeout, 0.2)
    check(found, "the monitors showed %s" % last.get("shown"))
    return found


def same_started_time(shown):
    """Both monitors show one time, the faked start or soon after."""
    return len(shown) == 2 and shown[0] == shown[1] and soon_after(STARTED.split()[1])(shown[0])


def every_monitor_shows_the_clock():
    templates = glyph_templates()
    env = dict(os.environ, TZ="UTC")
    with harness.scratch() as scratch, \
            harness.started(["faketime", "-f", "@" + STARTED, EXE, "/s"], env=env) as program:
        wait_for_cover(program)
        first = read_monitors(scratch, templates, same_started_time, 30)
        harness.log("read: %s" % first)
        # The seconds move on, together.
        read_monitors(scratch, templates,
                      lambda shown: same_started_time(shown) and shown[0] != first[0], 30)

        for x, y in ((100, 100), (1900, 540), (2000, 540), (3150, 1000), (2560, 512)):
            harness.xdotool("mousemove", x, y)
        # The clock has drawn on both, so it has taken its input; no exit may follow.
        check(program.wait(1.0) is None, "motion ended it: " + program.output())
        harness.xdotool("click", "1")  # on the second monitor
        harness.expect_exit(program, "a click on the second monitor", 5)

    with harness.started([EXE, "/s"]) as program:
        wait_for_cover(program)
        harness.xdotool("mousemove", 500, 500)
        harness.xdotool("key", "Escape")
        harness.expect_exit(program, "Escape", 5)


def both_windows_rest():
    # At a tenth of the speed the rests between a flip, the catch-up and the
    # next flip last 2.5 and 5 s: a window that draws every frame leaves no
    # second without a swap, however busy the machine.
    with harness.scratch() as scratch:
        log = SwapLog(scratch)
        env = log.environment(harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED, SLOWED))
        with harness.started([EXE, "/s"], env=env) as program:
            wait_for_cover(program)
            since = time.monotonic()
            # After frames on both windows, a whole second of nothing.
            check(harness.wait_until(lambda: len(log.between(since, time.monotonic())) >= 4, 20),
                  "the windows drew nothing: " + program.output())
            wait_for_quiet(log, 1.0, 25)
            harness.xdotool("key", "q")
            harness.expect_exit(program, "q", 5)


def follows_a_monitor_unplugged_and_plugged():
    with harness.started([EXE, "/s"]) as program:
        wait_for_cover(program)
        try:
            xorg_dummy.output_off("DUMMY1")
            wait_for_cover(program)
            # Plugged in again: covered again.
            xorg_dummy.output_on("DUMMY1", 1280, 1024, 1920)
            wait_for_cover(program)
            # The primary unplugged: its window moves to what remains
            # (xrandr moves that monitor to the left edge).
            xorg_dummy.output_off("DUMMY0")
            wait_for_cover(program)
        finally:
            xorg_dummy.output_on("DUMMY0", 1920, 1080, 0)
            xorg_dummy.output_on("DUMMY1", 1280, 1024, 1920)
        check(program.running(), "it ended: " + program.output())
        harness.xdotool("mousemove", 2500, 500)
        harness.xdotool("key", "q")
        harness.expect_exit(program, "q", 5)


if __name__ == "__main__":
    xorg_dummy.main({
        "every_monitor_shows_the_clock": every_monitor_shows_the_clock,
        "both_windows_rest": both_windows_rest,
        "follows_a_monitor_unplugged_and_plugged": follows_a_monitor_unplugged_and_plugged,
    })
