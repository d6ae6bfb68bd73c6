"""The native program started like a user would: window, exit rules (and
the X server's screen-saver settings given back on each), single-instance
guard, preview attachment and the start-up failures."""
import contextlib
import os
import signal

import behaviours
import harness
from harness import check
from native import EXE, TITLE, end_with_key, wait_drawn, wait_preview_drawn, wait_window
from x11_host import HostWindow


class FullScreen(behaviours.Launch):
    at = (700, 400)

    def start(self):
        return harness.started([EXE, "/s"])

    def ready(self, program):
        wait_window(program)
        # Input is read from the first frame on; on loaded cores the
        # start-up before it can take longer than the wait for the exit.
        wait_drawn(program)


def full_screen_window():
    for args in ([], ["/s"]):
        with harness.started([EXE] + args) as program:
            window = wait_window(program)
            x, y, width, height = harness.window_geometry(window)
            check((x, y, width, height) == (0, 0, 1920, 1080),
                  "%s: window at %s" % (args, (x, y, width, height)))
            check(harness.find_windows(name="^%s$" % TITLE), "window title")
            wait_drawn(program)
            end_with_key(program, "Escape", "Escape", at=(960, 540))


def any_key_or_button_ends_it():
    behaviours.each_input_ends_it(FullScreen(), [
        ("key", "a"), ("key", "Shift_L"), ("key", "Control_R"),
        ("click", "1"), ("click", "2"), ("click", "3")])


def motion_and_wheel_do_not():
    behaviours.motion_and_wheel_do_not_end_it(
        FullScreen(), [(10, 10), (1900, 1000), (960, 540), (961, 541)],
        ("4", "5", "6", "7"),  # wheel up, down, left, right
        ("key", "space"))


def screen_saver_settings():
    """The X server's screen-saver settings as xset q shows them."""
    out = harness.run(["xset", "q"])
    section = out[out.index("Screen Saver:"):]
    return " ".join(section.split("\n", 3)[1:3]).split()


@contextlib.contextmanager
def screen_saver_settings_restored():
    """Gives the server's screen-saver settings back as found, for the
    script's other cases on this server."""
    found = screen_saver_settings()
    try:
        yield
    finally:
        value = {name: found[i + 1] for i, name in enumerate(found) if name.endswith(":")}
        harness.run(["xset", "s", value["timeout:"], value["cycle:"]])
        harness.run(["xset", "s", "blank" if value["blanking:"] == "yes" else "noblank"])
        harness.run(["xset", "s", "expose" if value["exposures:"] == "yes" else "noexpose"])
        check(screen_saver_settings() == found, "settings not given back: %s, not %s"
              % (screen_saver_settings(), found))


def every_end_gives_back_the_screen_saver():
    # While the clock runs full screen the server's blanking stays off; the
    # user's settings come back however it ends, and another program taking
    # the focus ends it. The host window is the other program, and a client
    # that keeps the server's settings from being reset when the last one
    # leaves.
    with screen_saver_settings_restored(), HostWindow() as other:
        harness.run(["xset", "s", "321", "123"])
        harness.run(["xset", "s", "blank"])
        harness.run(["xset", "s", "noexpose"])
        before = screen_saver_settings()
        harness.log("before: %s" % " ".join(before))
        for end in ("a key", "SIGTERM", "another program taking the focus"):
            with harness.started([EXE, "/s"]) as program:
                wait_window(program)
                wait_drawn(program)
                during = screen_saver_settings()
                check(during != before and "0" in during,
                      "%s: the server's screen saver is on while the clock runs: %s"
                      % (end, " ".join(during)))
                if end == "a key":
                    harness.xdotool("mousemove", 960, 540)
                    harness.xdotool("key", "a")
                elif end == "SIGTERM":
                    program.proc.send_signal(signal.SIGTERM)
                else:
                    other.command("focus")
                harness.expect_exit(program, end, 5)
            after = screen_saver_settings()
            harness.log("during: %s; after %s: %s" % (" ".join(during), end, " ".join(after)))
            check(after == before, "ended by %s, the server's screen saver is %s, not %s"
                  % (end, " ".join(after), " ".join(before)))


class Guarded(behaviours.Launch):
    """A start that takes the single-instance guard: no switch, or preview."""

    def __init__(self, *args):
        self.args = list(args)

    def start(self):
        return harness.started([EXE] + self.args)

    def ready(self, program):
        wait_window(program)

    def turned_away(self, program):
        check("Failed" not in program.output(), "the guard must be silent")


def single_instance_guard():
    with behaviours.a_second_start_ends_at_once(Guarded(), [Guarded(), Guarded("/p", "12345")],
                                                3) as first:
        # Full-screen mode takes no part in the guard.
        with harness.started([EXE, "/s"]) as unguarded:
            wait_window(unguarded)
        end_with_key(first, "first instance")
    # The name is free again once the holder has ended.
    with harness.started([EXE]) as again:
        wait_window(again)
    with harness.started([EXE, "/s"]) as a, harness.started([EXE, "/s"]) as b:
        wait_window(a)
        wait_window(b)
        check(a.wait(0.5) is None and b.running(), "two /s instances must run side by side")


def preview_draws_into_host():
    with HostWindow() as host:
        window_id = host.id
        x, y, width, height = harness.window_geometry(window_id)
        check((width, height) == (152, 112), "host size %s" % ((width, height),))
        with harness.scratch() as scratch:
            before = harness.screenshot(os.path.join(scratch, "before.png"))
            check(harness.pixels(before, [(x + 76, y + 56)])[0] == (255, 0, 0), "host not red")
        with harness.started([EXE, "/p", str(window_id)]) as program:
            # The drawing window covers the host's client area exactly, and
            # the clock is drawn in it, scaled.
            wait_preview_drawn(program, window_id)
            tree = harness.run(["xwininfo", "-children", "-id", str(window_id)])
            check("152x112+0+0" in tree, "no 152x112 child over the host:\n" + tree)
            # Resizing the host is followed, the clock scaled to the new size.
            host.command("resize 200 150")
            check(harness.wait_until(
                lambda: "200x150+0+0" in harness.run(
                    ["xwininfo", "-children", "-id", str(window_id)]), 5),
                "the drawing window did not follow the host's size")
            wait_preview_drawn(program, window_id)
            end_with_key(program, "key in preview", at=(x + 50, y + 50))
        # The host window is left alive.
        check(harness.window_geometry(window_id)[2:] == (200, 150), "host gone or changed")


def dismiss_box(caption, timeout=10):
    """Clicks the OK button of a message box: centred, 16 pixels above the
    box's lower edge, 26 high. (A key to the box, which takes the focus as
    it is mapped, was now and then lost on loaded cores; a click goes where
    the pointer is.)"""
    boxes = harness.wait_until(lambda: harness.find_windows(name="^%s$" % caption), timeout)
    check(boxes, "no '%s' message box" % caption)
    x, y, width, height = harness.window_geometry(boxes[0])
    harness.xdotool("mousemove", x + width // 2, y + height - 16 - 13, "click", 1)
    gone = harness.wait_until(lambda: not harness.find_windows(name="^%s$" % caption), 5)
    check(gone, "the '%s' box did not close" % caption)


def without_the_drivers_leak(env):
    """env for a start that fails after the GL driver was loaded: its
    glfwTerminate unloads the driver, whose own leak then has no module to
    be suppressed by. Such a start makes no allocation of ours that is not
    reachable from a global, so its leak check is left out."""
    if os.environ.get("TOLVANE_SANITIZED"):
        env = dict(env, LSAN_OPTIONS=env.get("LSAN_OPTIONS", "") + ":detect_leaks=0")
    return env


def output_of_failed_start(args, env, what):
    """Starts the program to fail: it shows the error and the debug box,
    each dismissed, then ends with 0. Returns its output."""
    with harness.started([EXE] + args, env=without_the_drivers_leak(env)) as program:
        dismiss_box("Error")
        dismiss_box("Debug")
        harness.expect_exit(program, what, 5)
        return program.output()


def bad_host_id_fails_cleanly():
    # The renderer was asked for before the window (whether frames are
    # presented by rectangle), which loads the driver.
    out = output_of_failed_start(["/p", "12345"], dict(os.environ), "bad host id")
    check("Error: X11: The host window 0x3039 does not exist" in out, out)
    check(out.index("Error:") < out.index("Debug: Failed to open window"), out)


def old_gl_version_fails_cleanly():
    out = output_of_failed_start(["/s"], dict(os.environ, MESA_GL_VERSION_OVERRIDE="2.1"),
                                 "GL 2.1")
    check("Debug: Failed to open window" in out, out)
    check(out.index("Error:") < out.index("Debug:"), out)


if __name__ == "__main__":
    # One server for every case: each ends the programs it started, and the
    # one that changes the server's screen-saver settings gives them back.
    with harness.Xvfb():
        harness.main({
            "full_screen_window": full_screen_window,
            "any_key_or_button_ends_it": any_key_or_button_ends_it,
            "motion_and_wheel_do_not": motion_and_wheel_do_not,
            "every_end_gives_back_the_screen_saver": every_end_gives_back_the_screen_saver,
            "single_instance_guard": single_instance_guard,
            "preview_draws_into_host": preview_draws_into_host,
            "bad_host_id_fails_cleanly": bad_host_id_fails_cleanly,
            "old_gl_version_fails_cleanly": old_gl_version_fails_cleanly,
        })
