"""Tolvane.scr /p under Wine, inside the preview window of preview_host.exe
(a stand-in for the Screen Saver Settings dialog, in a process of its own):
drawing into it, following its size, what ends the preview, and a bad
window handle.

The host's top-level window sits at the screen's top-left corner with its
152x112 preview window, painted bright red, at (0, 0). Wine draws a GL child
window into an offscreen X window of the child's size, which is where the
preview's pixels are read (xwd), not from the root window.
"""
import os
import time

import behaviours
import clock_drawn
import harness
import wine
from harness import TestFailure, check, log
from swap_log import SwapLog, check_rests_at_full_speed, wait_for_frames

PREVIEW = (152, 112)
RED = (255, 0, 0)
server = None


def preview_host(*args):
    return wine.PreviewHost(server, *args)


def drawing_window(host, timeout=20):
    """(handle, width, height) of the screensaver's window in the preview."""
    def found():
        handle, width, height = (int(v) for v in host.command("find", "ok drawing").split())
        return (handle, width, height) if handle else None
    window = harness.wait_until(found, timeout, 0.3)
    check(window, "the screensaver made no window in the preview within %d s" % timeout)
    return window


def offscreen_gl_windows(size):
    """X windows in which Wine draws GL child windows: unnamed, of that size."""
    return [w for w in wine.x_windows() if w[1] == "" and (w[2], w[3]) == size]


def wait_drawn(size=PREVIEW):
    """Waits until the screensaver in the preview has drawn the clock,
    scaled, in Wine's offscreen GL window: its loop runs, so input reaches
    it."""
    gl = harness.wait_until(lambda: offscreen_gl_windows(size), 10)
    check(gl, "no %dx%d GL window: %s" % (*size, wine.x_windows()))
    clock_drawn.wait_drawn((0, 0) + size, "the preview", 10, window=gl[0][0])


def expect_host_exit(host, what, timeout=10):
    """The preview host reports that the screensaver ended with code 0;
    returns when that arrived."""
    arrived, code = host.expect("exit", timeout)
    check(code == "0", "%s: exit code %s, not 0" % (what, code))
    return arrived


def test_wine_turns_x_buttons_into_these_messages():
    # What the other cases rely on: X buttons 4 and 5 reach Windows programs
    # as the wheel (WM_MOUSEWHEEL), not as buttons; 1-3 and 8-9 as buttons.
    with preview_host("--paused", wine.screensaver()) as host:
        host.expect("preview")
        harness.xdotool("mousemove", 76, 56)
        expected = {4: "wheel 120", 5: "wheel -120", 1: "button 1", 2: "button 2",
                    3: "button 3", 8: "button x1", 9: "button x2"}
        for button, message in expected.items():
            harness.xdotool("click", button)
            got = host.expect("input", 5)[1]
            check(got == message, "X button %d arrived as '%s', not '%s'" % (button, got, message))


def test_draws_into_the_preview_window():
    with harness.scratch() as scratch:
        with preview_host("--paused", wine.screensaver()) as host:
            host.expect("preview")
            inside = [(10, 10), (76, 56), (140, 100)]
            before = os.path.join(scratch, "before.png")
            check(harness.wait_until(
                lambda: harness.pixels(harness.screenshot(before), inside) == [RED] * 3, 10),
                "the preview window is not red before the start")
            check(not offscreen_gl_windows(PREVIEW), "a GL window exists before the start")

            host.command("start", "started")
            handle, width, height = drawing_window(host)
            check((width, height) == PREVIEW,
                  "the drawing window is %dx%d, not the preview's %dx%d"
                  % (width, height, *PREVIEW))
            wait_drawn()
            log("drawing window %d, %dx%d, drawn" % (handle, width, height))
            host.command("close")
            expect_host_exit(host, "close")


def test_follows_the_preview_windows_size():
    with preview_host(wine.screensaver()) as host:
        drawing_window(host)
        host.command("resize 200 150")
        check(harness.wait_until(lambda: drawing_window(host)[1:] == (200, 150), 10),
              "the drawing window did not follow the preview to 200x150: %s"
              % (drawing_window(host),))
        check(harness.wait_until(lambda: offscreen_gl_windows((200, 150)), 10),
              "the GL window did not follow to 200x150")
        host.command("close")
        expect_host_exit(host, "close after resizing")


class Preview(behaviours.Launch):
    at = (76, 56)

    def start(self):
        return preview_host(wine.screensaver())

    def ready(self, host):
        drawing_window(host)
        wait_drawn()

    def ended(self, host, what, timeout=10):
        expect_host_exit(host, what, timeout)

    def still_running(self, host, seconds):
        return not harness.wait_until(lambda: host.command("status") != "running", seconds, 0.2)


def test_a_click_ends_it():
    behaviours.each_input_ends_it(Preview(), [("click", 1), ("click", 3)])


def test_a_key_ends_it_at_once():
    # Keys reach the preview only when its host hands it the focus.
    with preview_host(wine.screensaver()) as host:
        drawing_window(host)
        wait_drawn()
        harness.xdotool("mousemove", 76, 56)
        host.command("focus")
        # Wine hands the keyboard focus on to an X window of its own.
        check(harness.wait_until(lambda: harness.run(["xdotool", "getwindowfocus"],
                                                      check_rc=False).strip() not in ("", "1"),
                                 5), "no X window took the focus")
        pressed = time.time()
        harness.xdotool("key", "a")
        arrived = expect_host_exit(host, "a key")
        check(arrived - pressed < 2.0, "a key took %.1f s to end it" % (arrived - pressed))


def test_motion_and_wheel_do_not_end_it():
    behaviours.motion_and_wheel_do_not_end_it(
        Preview(), [(20, 20), (140, 100), (76, 56)], (4, 5, 4), ("click", 1), seconds=2.0)


def test_a_disabled_preview_window_ends_it():
    with preview_host(wine.screensaver()) as host:
        drawing_window(host)
        host.command("disable")
        expect_host_exit(host, "disabling the preview window")


def test_a_close_request_ends_the_loop():
    with harness.scratch() as scratch:
        with preview_host(wine.screensaver()) as host:
            drawing_window(host)
            host.command("close")
            expect_host_exit(host, "WM_CLOSE to the drawing window")
            # The preview window is left alive and as it was: no child of
            # ours, its own red.
            check(host.command("find", "ok drawing").split()[0] == "0",
                  "the drawing window outlived the screensaver")
            shot = os.path.join(scratch, "afterwards.png")
            check(harness.wait_until(lambda: harness.pixels(harness.screenshot(shot),
                                                            [(76, 56)]) == [RED], 5),
                  "the preview window is not its own red after the screensaver")


def test_destroying_the_preview_window_ends_it_within_a_second():
    with preview_host(wine.screensaver()) as host:
        drawing_window(host)
        wait_drawn()
        destroyed = time.time()
        host.command("destroy")
        arrived = expect_host_exit(host, "destroying the preview window")
        check(arrived - destroyed < 1.0,
              "the process ended %.2f s after its preview window was destroyed"
              % (arrived - destroyed))
        log("ended %.2f s after the preview window" % (arrived - destroyed))


def test_rests_between_flips_and_ends_with_its_host():
    with harness.scratch() as scratch:
        swaps = SwapLog(scratch)
        env = swaps.environment(server.env)
        with wine.PreviewHost(server, wine.screensaver(), env=env) as host:
            drawing_window(host)
            wait_for_frames(swaps, 30)
            begin = time.monotonic() + 1.0
            check(harness.wait_until(lambda: time.monotonic() >= begin + 4.0, 10), "clock")
            check_rests_at_full_speed(swaps, begin, 4.0)
            destroyed = time.time()
            host.command("destroy")
            arrived = expect_host_exit(host, "destroying the preview window after resting")
            check(arrived - destroyed < 1.0, "ended %.2f s after its host" % (arrived - destroyed))


class SecondPreview(Preview):
    def ended(self, host, what, timeout=10):
        host.expect("started")
        expect_host_exit(host, what, timeout)

    def turned_away(self, host):
        check(host.command("find", "ok drawing").split()[0] == "0",
              "the second preview drew a window")


def test_a_second_preview_exits_at_once():
    with behaviours.a_second_start_ends_at_once(Preview(), [SecondPreview()], 15) as host:
        host.command("close")
        expect_host_exit(host, "close")


def test_a_bad_handle_shows_two_messages_and_exits_0():
    with preview_host(wine.screensaver(), "/p", "12345") as host:
        host.expect("started")
        expected = [("Error", "Win32: The host window 0x3039 does not exist"),
                    ("Debug", "Failed to open window")]
        for caption, text in expected:
            check(harness.wait_until(lambda: harness.find_windows(name="^%s$" % caption), 15),
                  "no message box captioned %s" % caption)
            shown = harness.wait_until(
                lambda: host.command("dialog", "ok dialog") != "none" and
                host.command("dialog", "ok dialog"), 10)
            check(shown == "%s|%s" % (caption, text),
                  "message box '%s', not '%s|%s'" % (shown, caption, text))
            # The pointer on the box, so that the focus is there whatever
            # Wine did with it; on loaded cores a key sent as the box takes
            # the focus was still now and then lost: a user presses it again.
            box = harness.find_windows(name="^%s$" % caption)
            if box:
                x, y, width, height = harness.window_geometry(box[0])
                harness.xdotool("mousemove", x + width // 2, y + height // 3)
            for _ in range(3):
                harness.xdotool("key", "Return")
                if harness.wait_until(lambda: not harness.find_windows(name="^%s$" % caption), 3):
                    break
            check(not harness.find_windows(name="^%s$" % caption),
                  "Return did not dismiss the %s box" % caption)
        expect_host_exit(host, "a bad handle")
        if harness.find_windows(name="^Tolvane Screensaver$"):
            raise TestFailure("a window was opened for a bad handle")


def main():
    global server
    with wine.session() as server:
        harness.main({
            "wine_turns_x_buttons_into_these_messages":
                test_wine_turns_x_buttons_into_these_messages,
            "draws_into_the_preview_window": test_draws_into_the_preview_window,
            "follows_the_preview_windows_size": test_follows_the_preview_windows_size,
            "a_click_ends_it": test_a_click_ends_it,
            "a_key_ends_it_at_once": test_a_key_ends_it_at_once,
            "motion_and_wheel_do_not_end_it": test_motion_and_wheel_do_not_end_it,
            "a_close_request_ends_the_loop": test_a_close_request_ends_the_loop,
            "a_disabled_preview_window_ends_it": test_a_disabled_preview_window_ends_it,
            "destroying_the_preview_window_ends_it_within_a_second":
                test_destroying_the_preview_window_ends_it_within_a_second,
            "rests_between_flips_and_ends_with_its_host":
                test_rests_between_flips_and_ends_with_its_host,
            "a_second_preview_exits_at_once": test_a_second_preview_exits_at_once,
            "a_bad_handle_shows_two_messages_and_exits_0":
                test_a_bad_handle_shows_two_messages_and_exits_0,
        })


if __name__ == "__main__":
    main()
