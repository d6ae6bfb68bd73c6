"""How a running clock ends, natively: a close request, the preview host's
window going away, and input."""
import os
import time

import harness
from harness import check
from launch_native import EXE, wait_drawn, wait_window
from x11_host import HostWindow

CLOSE = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "tests", "x11_close_window")


def close_request_ends_the_loop():
    with harness.Xvfb():
        for args in (["/s"], []):
            with harness.started([EXE] + args) as program:
                window = wait_window(program)
                wait_drawn(program)
                check(program.running(), "ended before the close request")
                harness.run([CLOSE, str(window)])
                harness.expect_exit(program, "close request %s" % args, 3)


def wait_preview_running(program, window_id):
    """Waits until the drawing window sits inside the host and has covered
    the host's red."""
    def attached():
        tree = harness.run(["xwininfo", "-children", "-id", str(window_id)], check_rc=False)
        return program.running() and "1 child" in tree
    check(harness.wait_until(attached, 10), "the preview did not start: " + program.output())
    x, y, width, height = harness.window_geometry(window_id)
    with harness.scratch() as scratch:
        def drawn():
            shot = harness.screenshot(os.path.join(scratch, "preview.png"))
            return harness.pixels(shot, [(x + width // 2, y + height // 2)])[0] != (255, 0, 0)
        check(harness.wait_until(drawn, 10, 0.2), "the preview drew nothing: " + program.output())


def preview_ends_with_its_host():
    with harness.Xvfb():
        for command in ("destroy", "unmap"):
            with HostWindow() as host, harness.started([EXE, "/p", str(host.id)]) as program:
                wait_preview_running(program, host.id)
                gone_at = time.time()
                host.command(command)
                harness.expect_exit(program, "host window %s" % command, 1.0)
                harness.log("%s: ended %.2f s after the host" % (command, time.time() - gone_at))


def preview_close_request_leaves_host():
    with harness.Xvfb(), HostWindow() as host:
        with harness.started([EXE, "/p", str(host.id)]) as program:
            wait_preview_running(program, host.id)
            tree = harness.run(["xwininfo", "-children", "-id", str(host.id)])
            child = [l.split()[0] for l in tree.splitlines() if "152x112+0+0" in l]
            check(child, "no drawing window in the host:\n" + tree)
            harness.run([CLOSE, child[0]])
            harness.expect_exit(program, "close request in preview", 3)
        check(harness.window_geometry(host.id)[2:] == (152, 112), "host changed")


if __name__ == "__main__":
    harness.main({
        "close_request_ends_the_loop": close_request_ends_the_loop,
        "preview_ends_with_its_host": preview_ends_with_its_host,
        "preview_close_request_leaves_host": preview_close_request_leaves_host,
    })
