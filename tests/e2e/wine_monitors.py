"""Tolvane.scr under Wine on two monitors (Xorg's dummy driver: 1920x1080
and, to its right, 1280x1024): the same time on each at a faked time, read
back from each monitor's rectangle; motion across both does not end it, a
click on the second monitor does, and so does a key; no monitor changes its
mode or rate while it starts, runs or ends, with a faster rate of each
monitor's size on offer.

One server and one wineserver serve every case. Skipped (exit code 77)
where Xorg cannot start."""
import harness
import wine
import xorg_dummy
from harness import check
from monitors import (current_modes, faster_rates_offered, read_monitors, same_started_time,
                      wait_for_cover)
from tile_reader import STARTED, glyph_templates

server = None


def every_monitor_shows_the_clock():
    templates = glyph_templates()
    env = harness.faked_clock(dict(server.env, TZ="UTC"), STARTED)
    with harness.scratch() as scratch, \
            harness.started(["wine", wine.screensaver(), "/s"], env=env) as program:
        wait_for_cover(program, 30)
        harness.log("read: %s" % read_monitors(scratch, templates, same_started_time, 30))
        for x, y in ((100, 100), (1900, 540), (2000, 540), (3150, 1000), (2560, 512)):
            harness.xdotool("mousemove", x, y)
        # It has drawn on both, so it has taken its input; no exit may follow.
        check(program.wait(1.0) is None, "motion ended it: " + program.output())
        harness.xdotool("click", "1")  # on the second monitor
        harness.expect_exit(program, "a click on the second monitor")


def a_key_ends_it():
    with server.started(wine.screensaver(), "/s") as program:
        wait_for_cover(program, 30)
        harness.xdotool("mousemove", 2500, 500)
        harness.xdotool("key", "Escape")
        harness.expect_exit(program, "Escape")


def no_monitor_changes_mode():
    with faster_rates_offered() as found:
        harness.log("before: %s" % found)
        with server.started(wine.screensaver(), "/s") as program:
            wait_for_cover(program, 30)
            running = current_modes()
            harness.log("while it runs: %s" % running)
            check(running == found, "starting it switched %s to %s" % (found, running))
            harness.xdotool("mousemove", 2500, 500)
            harness.xdotool("key", "Escape")
            harness.expect_exit(program, "Escape")
        after = current_modes()
        harness.log("after Escape: %s" % after)
        check(after == found, "ended by Escape, it left %s as %s" % (found, after))


def main():
    global server
    try:
        wine.screensaver()
        with xorg_dummy.XorgDummy() as xorg, wine.WineServer(xorg.display) as server:
            harness.main({
                "every_monitor_shows_the_clock": every_monitor_shows_the_clock,
                "a_key_ends_it": a_key_ends_it,
                "no_monitor_changes_mode": no_monitor_changes_mode,
            })
    except xorg_dummy.Unavailable as reason:
        harness.log("SKIPPED: %s" % reason)
        raise SystemExit(xorg_dummy.SKIP_CODE)
    except harness.TestFailure as error:
        harness.log("FAILED: %s" % error)
        raise SystemExit(1)


if __name__ == "__main__":
    main()
