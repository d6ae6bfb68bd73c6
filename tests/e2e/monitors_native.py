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
import contextlib
import os
import re
import signal
import time

import harness
import xorg_dummy
from tile_reader import (STARTED, GreyPicture, glyph_templates, read_tiles,
                         seconds_of_day, soon_after)
from harness import check
from launch_native import EXE
from swap_log import SLOWED, SwapLog, wait_for_quiet
from x11_host import HostWindow

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
        ids = harness.find_windows(name=TITLE)
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


# A faster rate for DUMMY0's 1920x1080 (59.96 Hz): 74.91 Hz.
FAST_MODE = "1920x1080_75"
FAST_MODELINE = ["220.75", "1920", "2064", "2264", "2608", "1080", "1083", "1088", "1130",
                 "-hsync", "+vsync"]


def current_modes():
    """{output: "mode rate"}: the current mode of each active output, the
    rate xrandr marks with '*'."""
    modes = {}
    output = None
    for line in harness.run(["xrandr"]).splitlines():
        if not line.startswith(" "):
            output = line.split()[0] if " connected" in line else None
            continue
        current = [rate for rate in line.split()[1:] if "*" in rate]
        if output is not None and current:
            modes[output] = "%s %s" % (line.split()[0], current[0].strip("*+"))
    return modes


@contextlib.contextmanager
def faster_rates_offered():
    """Each monitor runs a slower rate than another mode of its size offers,
    the fastest of which GLFW takes when a full-screen window leaves the rate
    to it: DUMMY0 59.96 Hz beside an added 74.91 Hz, DUMMY1 60.02 Hz beside
    75.02 and 85.02 Hz. Yields the modes as they then stand."""
    found = current_modes()
    xorg_dummy.xrandr("--newmode", FAST_MODE, *FAST_MODELINE)
    xorg_dummy.xrandr("--addmode", "DUMMY0", FAST_MODE)
    xorg_dummy.xrandr("--output", "DUMMY1", "--mode", "1280x1024", "--rate", "60.02")
    try:
        yield current_modes()
    finally:
        for output, mode in found.items():
            name, rate = mode.split()
            xorg_dummy.xrandr("--output", output, "--mode", name, "--rate", rate)
        xorg_dummy.xrandr("--delmode", "DUMMY0", FAST_MODE)
        xorg_dummy.xrandr("--rmmode", FAST_MODE)


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
    with harness.scratch() as scratch, HostWindow(*size) as host, \
            harness.started([EXE, "--window-id", str(host.id)], env=env) as program:
        def shown_time():
            """The time the host shows, in seconds of the day, when it is the
            faked start or soon after; else None."""
            shot = harness.screenshot(os.path.join(scratch, "host.png"), window=host.id)
            read = read_tiles(shot, size[0], size[1], templates)
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
