"""The native program as the tests start it: where it is, its window, the
clock drawn in it, and the tests' close request."""
import os

import clock_drawn
import harness
from harness import check

EXE = os.environ["TOLVANE_EXE"]
TITLE = "Tolvane Screensaver"
# Sends WM_DELETE_WINDOW to a window, as a window manager's close does.
CLOSE = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "tests", "x11_close_window")


def wait_window(program, timeout=30):
    """The program's first visible window id."""
    found = harness.wait_until(
        lambda: program.running() and harness.find_windows(pid=program.proc.pid), timeout)
    check(found, "no window appeared; output:\n" + program.output())
    return found[0]


def screen_rect():
    """(0, 0, width, height) of the X screen."""
    width, height = harness.run(["xdotool", "getdisplaygeometry"]).split()
    return (0, 0, int(width), int(height))


def wait_drawn(program, rect=None, timeout=30, what="the clock"):
    """Waits until the program has drawn the clock in rect of the screen
    (the whole screen by default): its loop runs then, and takes input."""
    clock_drawn.wait_drawn(rect or screen_rect(), what, timeout, output=program.output)


def end_with_key(program, what, key="a", at=(5, 5), timeout=5):
    """The pointer at `at`, a key, and the program ends with 0 within timeout."""
    harness.xdotool("mousemove", *at)
    harness.xdotool("key", key)
    harness.expect_exit(program, what, timeout)


def close(window):
    harness.run([CLOSE, str(window)])


def wait_preview_drawn(program, host_id, timeout=30):
    """Waits until the program's drawing window sits inside the host window
    host_id and has drawn the clock over all of the host."""
    def attached():
        tree = harness.run(["xwininfo", "-children", "-id", str(host_id)], check_rc=False)
        return program.running() and "1 child" in tree
    check(harness.wait_until(attached, timeout), "the preview did not start: " + program.output())
    wait_drawn(program, harness.window_geometry(host_id), timeout, "the preview")
