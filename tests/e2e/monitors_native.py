"""The native clock on two monitors (Xorg's dummy driver: 1920x1080 and, to
its right, 1280x1024): the same time on each, read back from a screenshot
of each monitor's rectangle; a key, or a click on the second monitor, ends
it and motion across both, or the focus moving between its windows, does
not; both windows rest between flips; a
monitor unplugged and plugged again while it runs; no monitor changes its
mode or rate while the clock starts, runs or ends, where each is offered a
faster rate of its size; a window handed over with --window-id stays in its
host at the host's size while a monitor is unplugged and plugged again.
What a second monitor costs in memory is make bench's to report.

One server serves every case; each case leaves the two outputs as it found
them. Skipped (exit code 77) where Xorg cannot start."""
import os
import re
import signal
import time

import harness
import xorg_dummy
from harness import check
from monitors import (current_modes, faster_rates_offered, read_monitors, same_started_time,
                      wait_for_cover)
from native import EXE, TITLE
from swap_log import SLOWED, SwapLog, wait_for_quiet
from tile_reader import (STARTED, GreyPicture, glyph_templates, read_tiles, seconds_of_day,
                         soon_after)
from x11_host import HostWindow


def every_monitor_shows_the_clock():
    templates = glyph_templates()
    env = harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED)
    with harness.scratch() as scratch, harness.started([EXE, "/s"], env=env) as program:
        wait_for_cover(program)
        first = read_monitors(scratch, templates, same_started_time, 30)
        harness.log("read: %s" % first)
        # The seconds move on, together.
        read_monitors(scratch, templates,
                      lambda shown: same_started_time(shown) and shown[0] != first[0], 30)

        for x, y in ((100, 100), (1900, 540), (2000, 540), (3150, 1000), (2560, 512)):
            harness.xdotool("mousemove", x, y)
        # The focus passes from one of its windows to the other and back:
        # another program taking it ends the clock, its own windows do not.
        ids = harness.find_windows(name="^%s$" % TITLE)
        for window in ids + ids:
            harness.xdotool("windowfocus", "--sync", window)
        # The clock has drawn on both, so it has taken its input; no exit may follow.
        check(program.wait(1.0) is None, "motion or the focus moving between its windows "
              "ended it: " + program.output())
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


def no_monitor_changes_mode():
    with faster_rates_offered() as found:
        harness.log("before: %s" % found)
        check(found["DUMMY1"] == "1280x1024 60.02" and len(found) == 2,
              "the slower rates were not taken: %s" % found)
        for end in ("a key", "SIGTERM"):
            with harness.started([EXE, "/s"]) as program:
                wait_for_cover(program)
                running = current_modes()
                harness.log("while it runs: %s" % running)
                check(running == found, "starting it switched %s to %s" % (found, running))
                if end == "a key":
                    harness.xdotool("mousemove", 500, 500)
                    harness.xdotool("key", "q")
                    harness.expect_exit(program, end, 5)
                else:
                    program.proc.send_signal(signal.SIGTERM)
                    harness.expect_exit(program, end, 5)
            after = current_modes()
            harness.log("after %s: %s" % (end, after))
            check(after == found, "ended by %s, it left %s as %s" % (end, found, after))


def windows_of(program):
    """(parent, width, height) of every X window the program made."""
    found = []
    for window in harness.find_windows(pid=program.proc.pid, only_visible=False):
        tree = harness.run(["xwininfo", "-children", "-id", str(window)])
        parent = int(re.search(r"Parent window id: (0x[0-9a-f]+)", tree).group(1), 16)
        found.append((parent,) + harness.window_geometry(window)[2:])
    return found


def a_handed_over_window_stays_in_its_host():
    templates = glyph_templates()
    size = (400, 300)
    started = soon_after(STARTED.split()[1])
    env = harness.faked_clock(dict(os.environ, TZ="UTC"), STARTED)
    with HostWindow(*size) as host, \
            harness.started([EXE, "--window-id", str(host.id)], env=env) as program:
        def shown_time():
            """The time the host shows, in seconds of the day, when it is the
            faked start or soon after; else None."""
            read = read_tiles(GreyPicture.of_screen(host.id), size[0], size[1], templates)
            shown_time.last = [read[p][0] for p in range(4, 10)]
            return seconds_of_day(shown_time.last) if started(shown_time.last) else None

        def clock_moves_on(what, timeout=10):
            # Two pictures later than the first read after the change, the
            # loop has waited for events since the change was sent.
            first = harness.wait_until(shown_time, timeout, 0.2)
            check(first and harness.wait_until(lambda: (shown_time() or 0) >= first + 2, 10, 0.2),
                  "%s: the host shows %s, not the clock moving on; output:\n%s"
                  % (what, shown_time.last, program.output()))
            check(program.running(), "%s ended it: %s" % (what, program.output()))
            found = windows_of(program)
            harness.log("%s: windows (parent, width, height) %s" % (what, found))
            check(found == [(host.id,) + size],
                  "%s: the program's windows are %s, not one child of the host %d at %dx%d"
                  % (what, found, host.id, *size))

        shown_time.last = None
        clock_moves_on("handed over", 30)
        try:
            xorg_dummy.output_off("DUMMY1")
            clock_moves_on("the second monitor unplugged")
            xorg_dummy.output_on("DUMMY1", 1280, 1024, 1920)
            clock_moves_on("the second monitor plugged in again")
        finally:
            xorg_dummy.output_on("DUMMY1", 1280, 1024, 1920)
        harness.log("\n".join(line for line in harness.run(["xwininfo", "-root", "-tree"])
                              .splitlines() if "Tolvane" in line or "Preview host" in line))
        program.proc.send_signal(signal.SIGTERM)
        code = program.wait(5)
        check(code == -signal.SIGTERM, "SIGTERM: %s after 5 s" % code)


if __name__ == "__main__":
    xorg_dummy.main({
        "every_monitor_shows_the_clock": every_monitor_shows_the_clock,
        "both_windows_rest": both_windows_rest,
        "follows_a_monitor_unplugged_and_plugged": follows_a_monitor_unplugged_and_plugged,
        "no_monitor_changes_mode": no_monitor_changes_mode,
        "a_handed_over_window_stays_in_its_host": a_handed_over_window_stays_in_its_host,
    })
