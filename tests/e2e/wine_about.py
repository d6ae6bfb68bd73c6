"""Tolvane.scr /c under Wine: the About window, what it shows, its button
and how it closes.

Wine runs unmanaged here (no window manager): it draws the title bar and
the border itself, inside the window's X window, so the X window has the
window's outer size, 400x300, and the client area sits inside it. ShellExecuteA
hands an https address to winebrowser, which runs the Linux xdg-open found on
PATH: a fake one, first on PATH, records the address instead of starting a
browser.
"""
import os

import harness
import wine
from about_box import (ADDRESS, BACKGROUND, BUTTON, NOTICE, ORIGIN, PRODUCT_LINE, SIZE,
                       count, fake_opener, is_blue, is_dark, opened, picture_rgb, window_rgb)
from harness import check, log

server = None


def started(path_first, *args):
    env = dict(server.env, PATH=path_first + os.pathsep + os.environ["PATH"])
    return harness.started(["wine", wine.screensaver()] + list(args), env=env)


def wait_about_window(program, timeout=30):
    found = harness.wait_until(lambda: program.running() and harness.find_windows(name="^About$"),
                               timeout, 0.2)
    check(found, "no window named About within %d s; output: %s" % (timeout, program.output()))
    check(len(found) == 1, "%d windows named About" % len(found))
    geometry = harness.window_geometry(found[0])
    check(geometry == ORIGIN + SIZE, "the window is at %s, not %s" % (geometry, ORIGIN + SIZE))
    return found[0]


def client_origin(rgb):
    """Where the client area starts inside the window: the first background
    pixel below the top edge and right of the left edge."""
    top = next((y for y in range(SIZE[1]) if rgb(10, y) == BACKGROUND), None)
    left = next((x for x in range(SIZE[0]) if rgb(x, 150) == BACKGROUND), None)
    check(top is not None and left is not None, "no client area found")
    return left, top


def test_window_button_and_close_box():
    with harness.scratch() as scratch:
        folder, record = fake_opener(scratch)
        with started(folder, "/c") as program:
            wait_about_window(program)
            shot = os.path.join(scratch, "about.png")

            def painted():
                rgb = window_rgb(harness.screenshot(shot))
                return rgb if rgb(200, 290) == BACKGROUND else None
            rgb = harness.wait_until(painted, 10, 0.3)
            check(rgb, "the window was not painted")
            left, top = client_origin(rgb)
            # A border of a few pixels and a title bar above the client area.
            check(1 <= left <= 8 and 15 <= top <= 40, "client area at %s" % ((left, top),))
            check(rgb(200, top // 2) != BACKGROUND, "no title bar")
            log("client area at %s inside the window" % ((left, top),))

            def at(x, y):
                return rgb(left + x, top + y)

            def box(b):
                return (left + b[0], top + b[1], b[2], b[3])

            for point in ((0, 0), (60, 100), (330, 100), (141, 60), (252, 60), (60, 260)):
                check(at(*point) == BACKGROUND, "background at %s is %s" % (point, at(*point)))
            picture = picture_rgb()
            worst = max(abs(a - b) for y in range(83) for x in range(110)
                        for a, b in zip(at(142 + x, 55 + y), picture(x, y)))
            check(worst <= 2, "the picture differs from bitmap 182 by up to %d" % worst)
            check(count(rgb, box(PRODUCT_LINE), is_dark) > 100, "no dark product line")
            check(count(rgb, box(PRODUCT_LINE), is_blue) == 0, "blue in the product line")
            above_button = NOTICE[:3] + (BUTTON[1] - NOTICE[1],)
            check(count(rgb, box(above_button), is_blue) > 300, "no blue notice")
            check(count(rgb, box(above_button), is_dark) == 0, "dark pixels in the notice")
            # Wine's lighter anti-aliasing leaves fewer fully dark pixels.
            check(count(rgb, box(BUTTON), lambda p: max(p) < 128) > 100, "no button caption")

            def click(x, y):
                harness.xdotool("mousemove", ORIGIN[0] + left + x, ORIGIN[1] + top + y)
                harness.xdotool("click", 1)

            click(BUTTON[0] + 50, BUTTON[1] + 16)
            check(harness.wait_until(lambda: opened(record), 15), "the address was not opened")
            check(opened(record) == [ADDRESS], "opened %s" % opened(record))
            # The texts send nothing; the window stays through it all.
            click(40, 155)
            click(150, 28)
            check(program.wait(2.0) is None, "the window ended: %s" % program.output())
            check(opened(record) == [ADDRESS], "more was opened: %s" % opened(record))
            check(len(harness.find_windows(name="^About$")) == 1, "the window is gone")

            # The close box at the right end of the title bar.
            harness.xdotool("mousemove", ORIGIN[0] + SIZE[0] - left - 10, ORIGIN[1] + top // 2)
            harness.xdotool("click", 1)
            harness.expect_exit(program, "the close box")


def test_alt_f4_with_a_number_and_a_failing_opener():
    with harness.scratch() as scratch:
        folder, record = fake_opener(scratch, 3)
        with started(folder, "/c:5678") as program:
            wait_about_window(program)
            # Inside the client area, away from the controls.
            harness.xdotool("mousemove", ORIGIN[0] + 60, ORIGIN[1] + 120)
            check(harness.wait_until(
                lambda: window_rgb(harness.screenshot(os.path.join(scratch, "a.png")))(
                    200, 290) == BACKGROUND, 10, 0.3), "the window was not painted")
            # Opening fails: the window stays as it was.
            harness.xdotool("mousemove", ORIGIN[0] + 200, ORIGIN[1] + 248)
            harness.xdotool("click", 1)
            # The key goes to the window once Wine's browser helper, which
            # ran the opener, has gone.
            check(harness.wait_until(lambda: opened(record), 15), "the opener was not run")
            check(harness.wait_until(lambda: not server.processes(r"winebrowser"), 15),
                  "Wine's browser helper did not end: %s" % server.processes(r"winebrowser"))
            check(program.wait(2.0) is None, "a failed opening ended it: %s" % program.output())
            harness.xdotool("key", "alt+F4")
            # Should it stay, where the keys went tells most.
            check(program.wait(10) is not None, "Alt+F4: still running after 10 s; the focus "
                  "is on %s" % harness.run(["xdotool", "getwindowfocus", "getwindowname"],
                                           check_rc=False).strip())
            harness.expect_exit(program, "Alt+F4")


def main():
    global server
    with wine.session() as server:
        harness.main({
            "window_button_and_close_box": test_window_button_and_close_box,
            "alt_f4_with_a_number_and_a_failing_opener":
                test_alt_f4_with_a_number_and_a_failing_opener,
        })


if __name__ == "__main__":
    main()
