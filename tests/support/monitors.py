"""The clock on the two monitors of xorg_dummy's server, for the native and
the Wine tests alike: its windows covering the monitors, the time each
monitor shows, the outputs' modes and a faster rate offered beside them."""
import contextlib

import harness
import xorg_dummy
from harness import check
from native import TITLE
from tile_reader import STARTED, GreyPicture, read_tiles, soon_after


def windows_on_screen():
    """(x, y, width, height) of each visible clock window, sorted; None when
    one went away while they were read."""
    try:
        return sorted(harness.window_geometry(w)
                      for w in harness.find_windows(name="^%s$" % TITLE))
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
        shot = GreyPicture.of_screen()
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
