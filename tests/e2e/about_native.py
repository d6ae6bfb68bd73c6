"""The native program's configure switch: the About window, what it shows,
its button and how it closes."""
import os

import harness
from about_box import (ADDRESS, BACKGROUND, BUTTON, NOTICE, ORIGIN, PRODUCT_LINE, SIZE, count,
                       fake_opener, is_blue, is_dark, opened, picture_rgb, window_rgb)
from harness import check, log
from native import EXE, close


def started(args, path):
    return harness.started([EXE] + args, env=dict(os.environ, PATH=path))


def wait_about_window(program, timeout=10):
    found = harness.wait_until(
        lambda: program.running() and harness.find_windows(pid=program.proc.pid), timeout)
    check(found, "no window appeared; output:\n" + program.output())
    check(len(found) == 1, "more than one window: %s" % found)
    return found[0]


def click(x, y):
    """A click at a point of the window's client area."""
    harness.xdotool("mousemove", ORIGIN[0] + x, ORIGIN[1] + y)
    harness.xdotool("click", 1)


def close_and_expect_zero(program, window):
    close(window)
    harness.expect_exit(program, "WM_DELETE_WINDOW", 5)


# ---- cases -----------------------------------------------------------------------

def shows_the_window():
    with harness.scratch() as scratch:
        with started(["/c"], os.environ["PATH"]) as program:
            window = wait_about_window(program)
            geometry = harness.window_geometry(window)
            check(geometry == ORIGIN + SIZE, "window at %s, not %s" % (geometry, ORIGIN + SIZE))
            check(harness.find_windows(name="^About$") == [window], "no window titled About")
            check(not harness.find_windows(name="Tolvane Screensaver", only_visible=False),
                  "the clock's window was made in configure mode")
            hints = harness.run(["xprop", "-id", str(window), "WM_NORMAL_HINTS"])
            check("minimum size: 400 by 300" in hints and "maximum size: 400 by 300" in hints,
                  "resizable:\n" + hints)

            shot = harness.screenshot(os.path.join(scratch, "about.png"))
            rgb = window_rgb(shot)
            for point in ((1, 1), (398, 1), (1, 298), (398, 298), (60, 100), (330, 100),
                          (141, 60), (252, 60), (60, 280)):
                check(rgb(*point) == BACKGROUND, "background at %s is %s" % (point, rgb(*point)))

            # The product line: dark text, nothing blue.
            check(count(rgb, PRODUCT_LINE, is_dark) > 150, "no product line text")
            check(count(rgb, PRODUCT_LINE, is_blue) == 0, "blue in the product line")
            # The notice: blue text above the button, nothing dark.
            above_button = NOTICE[:3] + (BUTTON[1] - NOTICE[1],)
            check(count(rgb, above_button, is_blue) > 300, "no blue notice text")
            check(count(rgb, above_button, is_dark) == 0, "dark pixels in the notice")
            # Nothing is drawn beside the texts and the picture.
            check(count(rgb, (0, 0, 112, 50), lambda p: p != BACKGROUND) == 0,
                  "pixels left of the product line")

            # The picture, exactly where it belongs.
            picture = picture_rgb()
            worst = max(abs(a - b) for y in range(83) for x in range(110)
                        for a, b in zip(rgb(142 + x, 55 + y), picture(x, y)))
            check(worst <= 2, "the picture differs from bitmap 182 by up to %d" % worst)

            # The button: a face with a border and dark caption text.
            check(rgb(BUTTON[0] + 3, BUTTON[1] + 3) == (225, 225, 225), "no button face")
            check(count(rgb, BUTTON, is_dark) > 60, "no button caption")
            log("window %s, screenshot checked" % (geometry,))
            close_and_expect_zero(program, window)


def button_opens_the_site_and_the_window_stays():
    with harness.scratch() as scratch:
        folder, record = fake_opener(scratch)
        with started(["/c"], folder + os.pathsep + os.environ["PATH"]) as program:
            window = wait_about_window(program)
            centre = (BUTTON[0] + BUTTON[2] // 2, BUTTON[1] + BUTTON[3] // 2)
            click(*centre)
            check(harness.wait_until(lambda: opened(record), 5), "xdg-open was not run")
            check(opened(record) == [ADDRESS], "opened %s" % opened(record))
            check(opened(record)[0].endswith("?utm_source=About"), "no utm_source")
            # Each click opens the address once more.
            click(*centre)
            check(harness.wait_until(lambda: len(opened(record)) == 2, 5),
                  "a second click opened %s" % opened(record))

            # Clicks on the texts and the picture do nothing, nor does a
            # press on the button released outside it.
            for point in ((40, 155), (150, 28), (195, 95), (390, 200)):
                click(*point)
            harness.xdotool("mousemove", ORIGIN[0] + centre[0], ORIGIN[1] + centre[1])
            harness.xdotool("mousedown", 1)
            harness.xdotool("mousemove", ORIGIN[0] + 60, ORIGIN[1] + 280)
            harness.xdotool("mouseup", 1)
            check(program.wait(1.0) is None, "the window ended: " + program.output())
            check(len(opened(record)) == 2, "something else opened: %s" % opened(record))
            check(harness.find_windows(pid=program.proc.pid) == [window], "window gone")
            close_and_expect_zero(program, window)


def without_xdg_open_and_with_a_number():
    with harness.scratch() as scratch:
        empty = os.path.join(scratch, "empty")
        os.makedirs(empty)
        # /c:5678: the number is read and ignored. No xdg-open anywhere on
        # PATH: the click does nothing and the window stays.
        with started(["/c:5678"], empty) as program:
            window = wait_about_window(program)
            check(harness.window_geometry(window) == ORIGIN + SIZE, "/c:5678 window misplaced")
            click(BUTTON[0] + 50, BUTTON[1] + 16)
            check(program.wait(1.0) is None, "the click ended it: " + program.output())
            close_and_expect_zero(program, window)
            check(program.output() == "", "output: " + program.output())


if __name__ == "__main__":
    # One server for every case; each closes the window it opened.
    with harness.Xvfb():
        harness.main({
            "shows_the_window": shows_the_window,
            "button_opens_the_site_and_the_window_stays":
                button_opens_the_site_and_the_window_stays,
            "without_xdg_open_and_with_a_number": without_xdg_open_and_with_a_number,
        })
