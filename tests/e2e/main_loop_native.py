"""How a running clock ends, natively: a close request, the preview host's
window going away, and input."""
import time

import harness
from harness import check
from native import EXE, close, wait_drawn, wait_preview_drawn, wait_window
from x11_host import HostWindow


def close_request_ends_the_loop():
    for args in (["/s"], []):
        with harness.started([EXE] + args) as program:
            window = wait_window(program)
            wait_drawn(program)
            check(program.running(), "ended before the close request")
            close(window)
            harness.expect_exit(program, "close request %s" % args, 3)


def preview_ends_with_its_host():
    for command in ("destroy", "unmap"):
        with HostWindow() as host, harness.started([EXE, "/p", str(host.id)]) as program:
            wait_preview_drawn(program, host.id)
            gone_at = time.time()
            host.command(command)
            harness.expect_exit(program, "host window %s" % command, 1.0)
            harness.log("%s: ended %.2f s after the host" % (command, time.time() - gone_at))


def preview_close_request_leaves_host():
    with HostWindow() as host:
        with harness.started([EXE, "/p", str(host.id)]) as program:
            wait_preview_drawn(program, host.id)
            tree = harness.run(["xwininfo", "-children", "-id", str(host.id)])
            child = [l.split()[0] for l in tree.splitlines() if "152x112+0+0" in l]
            check(child, "no drawing window in the host:\n" + tree)
            close(child[0])
            harness.expect_exit(program, "close request in preview", 3)
        check(harness.window_geometry(host.id)[2:] == (152, 112), "host changed")


if __name__ == "__main__":
    # One server for every case; each ends the programs and hosts it started.
    with harness.Xvfb():
        harness.main({
            "close_request_ends_the_loop": close_request_ends_the_loop,
            "preview_ends_with_its_host": preview_ends_with_its_host,
            "preview_close_request_leaves_host": preview_close_request_leaves_host,
        })
