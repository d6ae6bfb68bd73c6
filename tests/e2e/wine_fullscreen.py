"""Tolvane.scr full screen under Wine: the window, what ends it (another
program taking the foreground too) and what does not, the single-instance
guard, no power request or mouse trails kept from the system, its rests,
a step of the wall clock, and nothing drawn while the display is off (the
console display state, which Wine never sends, delivered by a helper).

The Wine tests' shared Xvfb (1920x1080) and wineserver serve all cases but
the last, which turns the monitor to portrait: an Xvfb (1080x1920) and a
wineserver of this script's own then. Each case stops the screensavers it
started. A case argument runs one case.
"""
import contextlib
import os
import re
import time

import behaviours
import clock_drawn
import harness
import wine
from following import time_to_follow, wait_showing
from harness import check, log
from swap_log import SwapLog, check_rests_at_full_speed, wait_for_frames
from tile_reader import STARTED, glyph_templates, read_clock, soon_after

SCREEN = (1920, 1080)
WINDOW_NAME = "^Tolvane Screensaver$"
BACKDROP = (32, 80, 208)  # the root window's colour before a screensaver covers it
server = None


def start(*args):
    return server.start(wine.screensaver(), *args)


def started(*args):
    return server.started(wine.screensaver(), *args)


def screensaver_windows():
    return harness.find_windows(name=WINDOW_NAME)


def wait_for_windows(count, timeout=30):
    found = harness.wait_until(lambda: len(screensaver_windows()) >= count and
                               screensaver_windows(), timeout)
    check(found, "no %d screensaver window(s) within %d s" % (count, timeout))
    return found


def wait_drawn(what, timeout=20):
    """Waits until the clock covers the screen. Its loop runs then, so input
    reaches it."""
    clock_drawn.wait_drawn((0, 0) + SCREEN, what, timeout)


def expect_running(program, what, seconds=2.0):
    check(program.wait(seconds) is None,
          "%s ended the screensaver (exit code %s)" % (what, program.proc.returncode))


def paint_backdrop(scratch):
    """Gives the root window a colour that a full-screen window must hide."""
    path = os.path.join(scratch, "backdrop.png")
    harness.run(["convert", "-size", "%dx%d" % SCREEN, "xc:rgb%s" % (BACKDROP,), path])
    # display exits non-zero after setting the root background; the
    # screenshot below is what tells.
    harness.run(["display", "-window", "root", path], check_rc=False)
    shot = harness.screenshot(os.path.join(scratch, "backdrop-shot.png"))
    check(harness.pixels(shot, [(5, 5)]) == [BACKDROP], "could not paint the root window")


SAMPLES = [(0, 0), (SCREEN[0] - 1, 0), (SCREEN[0] // 2, SCREEN[1] // 2), (0, SCREEN[1] - 1),
           (SCREEN[0] - 1, SCREEN[1] - 1)]


def test_opens_a_full_screen_window():
    with harness.scratch() as scratch:
        paint_backdrop(scratch)
        for args in ([], ["/s"]):
            what = "Tolvane.scr %s" % " ".join(args) if args else "Tolvane.scr without a switch"
            with started(*args) as program:
                window = wait_for_windows(1)[0]
                geometry = harness.window_geometry(window)
                check(geometry == (0, 0) + SCREEN,
                      "%s: window at %s, not the whole %dx%d screen" % (what, geometry, *SCREEN))
                # The clock is drawn over the whole screen: none of the
                # backdrop shows.
                def covered():
                    return (all(p != BACKDROP for p in harness.screen_pixels(SAMPLES)) and
                            clock_drawn.shows_the_clock((0, 0) + SCREEN)[0])
                check(harness.wait_until(covered, 10, 0.5),
                      "%s: the screen is not covered by a drawn frame: %s, %s"
                      % (what, harness.screen_pixels(SAMPLES),
                         clock_drawn.shows_the_clock((0, 0) + SCREEN)[1]))
                check(program.running(), "%s ended by itself" % what)
                log("%s: %dx%d window, drawn" % (what, *SCREEN))


class FullScreen(behaviours.Launch):
    at = (900, 500)

    def start(self):
        return started("/s")

    def ready(self, program):
        wait_for_windows(1)
        wait_drawn("the clock")

    def ended(self, program, what, timeout=10):
        harness.expect_exit(program, what, timeout)


def test_keys_end_it():
    behaviours.each_input_ends_it(
        FullScreen(), [("key", key) for key in ("a", "Escape", "Shift_L", "Control_L", "Alt_L")])


def test_mouse_buttons_end_it():
    # 8 and 9 reach Windows programs as the extra buttons (WM_XBUTTONDOWN).
    behaviours.each_input_ends_it(FullScreen(), [("click", button) for button in (1, 2, 3, 8)])


def test_motion_and_wheel_do_not_end_it():
    # X buttons 4 and 5 are the wheel: Wine turns them into WM_MOUSEWHEEL
    # (wine_preview.py shows that). Input still reaches the window after:
    # a click ends it.
    behaviours.motion_and_wheel_do_not_end_it(
        FullScreen(), [(100, 100), (1800, 1000), (960, 540), (961, 541)], (4, 5, 4, 5),
        ("click", 1), seconds=2.0)


class WithoutASwitch(FullScreen):
    def start(self):
        return started()

    def ready(self, program):
        wait_for_windows(1)


def test_second_start_without_a_switch_exits_at_once():
    with behaviours.a_second_start_ends_at_once(WithoutASwitch(), [WithoutASwitch()],
                                                15) as first:
        check(len(screensaver_windows()) == 1, "more than one screensaver window")
        harness.xdotool("key", "space")
        harness.expect_exit(first, "a key to the first screensaver")


def test_s_instances_are_not_guarded():
    # /s never takes the guard: a second one starts beside a running one,
    # and one without a switch beside that. Each new one takes the
    # foreground, which ends the one before as any other program would.
    with started("/s") as first:
        wait_for_windows(1)
        wait_drawn("the first /s")
        with started("/s") as second:
            harness.expect_exit(first, "the first /s, as a second /s takes the foreground")
            wait_drawn("a second /s")
            check(second.running(), "the second /s ended")
            with started() as third:
                harness.expect_exit(second, "the second /s, as a start without a switch takes "
                                    "the foreground")
                wait_drawn("an unguarded start beside /s")
                harness.xdotool("mousemove", 960, 540)
                harness.xdotool("click", 1)
                harness.expect_exit(third, "a click")


def execution_states(output):
    """The execution states the process asked for, in order, from Wine's
    trace of NtSetThreadExecutionState."""
    return [int(state, 16) for state in
            re.findall(r"NtSetThreadExecutionState \((0x[0-9a-f]+),", output)]


def mouse_trails(length=None):
    """The mouse trails' length that mouse_trails.exe reports, after it set
    it to length when one is given. Its "error N" is its answer that the
    system refused; a run with neither answer is tried again."""
    def parse(code, out):
        answer = out.strip()
        match = re.fullmatch(r"trails (\d+)", answer)
        if code == 0 and match:
            return int(match.group(1))
        check(not (code == 1 and re.fullmatch(r"error \d+", answer)),
              "mouse trails%s: %s" % ("" if length is None else " set to %d" % length, answer))
        return wine.NO_ANSWER
    args = [] if length is None else [str(length)]
    return server.answer(parse, wine.windows_program(os.path.join("tests", "mouse_trails.exe")),
                         *args)


def test_lets_the_display_sleep_keeps_mouse_trails_and_ends_for_another_program():
    # The window library asks for the display to stay on and switches mouse
    # trails off as a full-screen window takes its monitor: neither may
    # last. ES_SYSTEM_REQUIRED, ES_DISPLAY_REQUIRED and ES_AWAYMODE_REQUIRED
    # are the requests. Another program's window taking the foreground ends
    # the clock, with nothing of it left on the screen.
    required = 0x1 | 0x2 | 0x40
    found = mouse_trails()
    try:
        check(mouse_trails(5) == 5, "could not set mouse trails")
        env = dict(server.env, WINEDEBUG="warn+ntdll")
        with harness.started(["wine", wine.screensaver(), "/s"], env=env) as program:
            wait_for_windows(1)
            wait_drawn("with a trace of its power requests")
            states = execution_states(program.output())
            log("execution states asked for: %s" % ", ".join("0x%08x" % s for s in states))
            check(states and not states[-1] & required,
                  "the clock holds a power request while it runs: %s" % program.output()[-2000:])
            during = mouse_trails()
            check(during == 5, "mouse trails while the clock runs: %s" % during)
            with server.started("notepad") as other:
                harness.expect_exit(program, "another program's window opening", 5)
                check(not screensaver_windows(), "a window of the clock is left")
                check(other.running(), "notepad ended")
        after = mouse_trails()
        check(after == 5, "mouse trails after the clock: %s, not 5" % after)
    finally:
        mouse_trails(found)


def test_rests_between_flips():
    with harness.scratch() as scratch:
        swaps = SwapLog(scratch)
        env = swaps.environment(server.env)
        with harness.started(["wine", wine.screensaver(), "/s"], env=env) as program:
            wait_for_windows(1)
            wait_for_frames(swaps, 30)
            begin = time.monotonic() + 1.0
            check(harness.wait_until(lambda: time.monotonic() >= begin + 4.0, 10), "clock")
            check_rests_at_full_speed(swaps, begin, 4.0)
            harness.xdotool("key", "a")
            harness.expect_exit(program, "a key after resting")


@contextlib.contextmanager
def showing_a_stepped_clock():
    """/s with a wall clock the test steps (libfaketime in the Wine process,
    not in this script's wineserver: the performance counter runs on) and
    its swaps logged, once it shows the clock's 12:34."""
    with harness.scratch() as scratch:
        clock = harness.SteppedClock(scratch, "UTC")
        clock.set("2026-03-14 12:34:21")
        swaps = SwapLog(scratch)
        env = swaps.environment(clock.environment(server.env))
        with harness.started(["wine", wine.screensaver(), "/s"], env=env) as program:
            wait_for_windows(1)
            wait_showing(scratch, {(12, 34)}, SCREEN, 30, "start")
            yield scratch, clock, swaps, program


def test_follows_a_step_of_the_wall_clock():
    # As clock_follow_native.
    with showing_a_stepped_clock() as (scratch, clock, swaps, program):
        stepped_at = clock.set("2026-03-14 13:40:00")
        time_to_follow(swaps, scratch, stepped_at, {(12, 34)}, {(13, 40)}, size=SCREEN,
                       what="an hour and five minutes forward")
        harness.xdotool("key", "a")
        harness.expect_exit(program, "a key after the step")


def tell_display_state(state):
    """Sends the clock's windows the console display state, as Windows sends
    it to a window registered for it (tests/support/display_power_win32.c)."""
    helper = wine.windows_program(os.path.join("tests", "display_power.exe"))
    code, output = server.run(helper, str(state))
    check(code == 0, "display state %d not delivered: %s" % (state, output))
    return time.monotonic()


def test_draws_nothing_while_the_display_is_off():
    # Off, a step of the wall clock while dark, then on: no frame between,
    # across seconds flips that would have drawn, and the time after the
    # step once back. Dimmed is not off.
    with showing_a_stepped_clock() as (scratch, clock, swaps, program):
        # The message is handled inside the clock's wait for events, as
        # the helper's call returns: no frame may follow.
        off = tell_display_state(0)
        clock.set("2026-03-14 13:40:00")
        check(harness.wait_until(lambda: time.monotonic() >= off + 3.0, 5), "clock")
        dark = swaps.between(off, time.monotonic())
        check(not dark, "%d frames presented while the display was off" % len(dark))
        log("frames presented per second: %.1f on, %.1f off"
            % (len(swaps.between(off - 3.0, off)) / 3.0, len(dark) / 3.0))
        expect_running(program, "the display going off", 0.1)
        on = tell_display_state(1)
        check(harness.wait_until(lambda: swaps.between(on, on + 60), 5),
              "nothing presented after the display came back")
        log("first frame %.2f s after on" % (swaps.between(on, on + 60)[0] - on))
        wait_showing(scratch, {(13, 40)}, SCREEN, 15, "back on after a step")
        dimmed = tell_display_state(2)
        check(harness.wait_until(lambda: swaps.between(dimmed + 0.1, dimmed + 60), 5),
              "nothing presented while dimmed")
        harness.xdotool("key", "a")
        harness.expect_exit(program, "a key after the dark")


PORTRAIT = (1080, 1920)


def test_a_portrait_screen_shows_all_six_digits():
    # The clock keeps the framing of 5:4 on a narrower screen: as wide as
    # the screen, every digit whole.
    templates = glyph_templates()
    started = soon_after(STARTED.split()[1])
    env = harness.faked_clock(dict(server.env, TZ="UTC"), STARTED)
    with harness.scratch() as scratch, \
            harness.started(["wine", wine.screensaver(), "/s"], env=env) as program:
        window = wait_for_windows(1)[0]
        geometry = harness.window_geometry(window)
        check(geometry == (0, 0) + PORTRAIT, "window at %s, not the whole screen" % (geometry,))
        _, read = read_clock(scratch, "portrait.png", templates, started, 30, PORTRAIT)
        log("portrait: %s" % read)
        harness.xdotool("key", "a")
        harness.expect_exit(program, "a key")


_screens = {}


def on_screen(size, test):
    """test, run with the server of an Xvfb of size: the one open already,
    or a new one in place of another size's."""
    def run():
        global server
        if _screens.get("size") != size:
            _screens.pop("stack", contextlib.ExitStack()).close()
            _screens["stack"] = contextlib.ExitStack()
            server = _screens["stack"].enter_context(wine.session(*size))
            _screens["size"] = size
        test()
    return run


def main():
    cases = {
        "opens_a_full_screen_window": test_opens_a_full_screen_window,
        "keys_end_it": test_keys_end_it,
        "mouse_buttons_end_it": test_mouse_buttons_end_it,
        "motion_and_wheel_do_not_end_it": test_motion_and_wheel_do_not_end_it,
        "second_start_without_a_switch_exits_at_once":
            test_second_start_without_a_switch_exits_at_once,
        "s_instances_are_not_guarded": test_s_instances_are_not_guarded,
        "lets_the_display_sleep_keeps_mouse_trails_and_ends_for_another_program":
            test_lets_the_display_sleep_keeps_mouse_trails_and_ends_for_another_program,
        "rests_between_flips": test_rests_between_flips,
        "follows_a_step_of_the_wall_clock": test_follows_a_step_of_the_wall_clock,
        "draws_nothing_while_the_display_is_off": test_draws_nothing_while_the_display_is_off,
    }
    cases = {name: on_screen(SCREEN, test) for name, test in cases.items()}
    cases["a_portrait_screen_shows_all_six_digits"] = on_screen(
        PORTRAIT, test_a_portrait_screen_shows_all_six_digits)
    try:
        harness.main(cases)
    finally:
        _screens.pop("stack", contextlib.ExitStack()).close()


if __name__ == "__main__":
    main()
