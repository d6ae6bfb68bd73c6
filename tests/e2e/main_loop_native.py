"""How a running clock ends, natively: a close request, the preview host's
window going away, and input."""
import os
import time

import harness
from harness import check
from launch_native import (EXE, expect_exit, host_command, start_host, stop_host, wait_drawn,
                           wait_window)

CLOSE = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "tests", "x11_close_window")


def close_request_ends_the_loop():
    with harness.Xvfb():
        for args in (["/s"], []):
            with harness.started([EXE] + args) as program:
                window = wait_window(program)
                wait_drawn(program)
                check(program.running(), "ended before the close request")
                harness.run([CLOSE, str(window)])
                expect_exit(program, 3, "close request %s" % args)


def wait_preview_running(program, window_id):
    """Waits until the drawing window sits inside the host and has covered
    the host's red."""
    def attached():
        tree = harness.run(["xwininfo", "-children", "-id", str(window_id)], check_rc=False)
        return program.running() and "1 child" in tree
    check(harness.wait_until(attached, 10), "the preview did not start: " + program.output())
    x, y, width, height = harness.window_geometry(window_id)
    scratch = harness.scratch_dir()
    try:
        def drawn():
            shot = harness.screenshot(os.path.join(scratch, "preview.png"))
            return harness.pixels(shot, [(x + width // 2, y + height // 2)])[0] != (255, 0, 0)
        check(harness.wait_until(drawn, 10, 0.2), "the preview drew nothing: " + program.output())
    finally:
        harness.remove_dir(scratch)


def preview_ends_with_its_host():
    with harness.Xvfb():
        for command in ("destroy", "unmap"):
            host, window_id = start_host()
            try:
                with harness.started([EXE, "/p", str(window_id)]) as program:
                    wait_preview_running(program, window_id)
                    gone_at = time.time()
                    host_command(host, command)
                    expect_exit(program, 1.0, "host window %s" % command)
                    harness.log("%s: ended %.2f s after the host" % (command, time.time() - gone_at))
            finally:
                stop_host(host)


def preview_close_request_leaves_host():
    with harness.Xvfb():
        host, window_id = start_host()
        try:
            with harness.started([EXE, "/p", str(window_id)]) as program:
                wait_preview_running(program, window_id)
                tree = harness.run(["xwininfo", "-children", "-id", str(window_id)])
                child = [l.split()[0] for l in tree.splitlines() if "152x112+0+0" in l]
                check(child, "no drawing window in the host:\n" + tree)
                harness.run([CLOSE, child[0]])
                expect_exit(program, 3, "close request in preview")
            check(harness.window_geometry(window_id)[2:] == (152, 112), "host changed")
        finally:
            stop_host(host)


if __name__ == "__main__":
    harness.main({
        "close_request_ends_the_loop": close_request_ends_the_loop,
        "preview_ends_with_its_host": preview_ends_with_its_host,
        "preview_close_request_leaves_host": preview_close_request_leaves_host,
    })
