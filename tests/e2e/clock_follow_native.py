"""The clock follows the system's time, natively: the wall clock stepped
forward and back while the clock runs, and a daylight-saving change.

The program runs under libfaketime reading its offset from a file on every
call, with the monotonic clock (the GLFW timer) left alone: what a program
sees after an NTP step, a manual clock change or a resume from suspend
(harness.SteppedClock); following.py times each step."""
import contextlib
import os
import time

import harness
from following import SIZE, time_to_follow, wait_showing
from harness import check
from native import EXE
from swap_log import SwapLog


@contextlib.contextmanager
def started_clock(directory, zone, start):
    """The program full screen under a stepped clock that reads start:
    yields (clock, swap log, program), stops the program at the end."""
    clock = harness.SteppedClock(directory, zone)
    clock.set(start)
    swaps = SwapLog(directory)
    env = swaps.environment(clock.environment(os.environ))
    with harness.started([EXE, "/s"], env=env) as program:
        check(harness.wait_until(swaps.times, 30), "nothing presented: " + program.output())
        yield clock, swaps, program


def follows_steps_forward_and_back():
    with harness.scratch() as directory, \
            started_clock(directory, "UTC", "2026-03-14 12:34:21") as (clock, swaps, program):
        wait_showing(directory, {(12, 34)}, SIZE, 20, "start")
        stepped_at = clock.set("2026-03-14 13:40:00")
        time_to_follow(swaps, directory, stepped_at, {(12, 34)}, {(13, 40)},
                       what="an hour and five minutes forward")
        stepped_at = clock.set("2026-03-14 13:33:00")
        time_to_follow(swaps, directory, stepped_at, {(13, 40)}, {(13, 33)},
                       what="seven minutes back")
        harness.xdotool("key", "q")
        harness.expect_exit(program, "a key after the steps", 5)


def follows_a_daylight_saving_change():
    # 02:00 CET becomes 03:00 CEST ten seconds after the start.
    with harness.scratch() as directory, \
            started_clock(directory, "Europe/Berlin", "2026-03-29 01:59:50") as (clock, swaps,
                                                                                 program):
        change = clock.when("2026-03-29 03:00:00")
        wait_showing(directory, {(1, 59)}, SIZE, change - time.monotonic(), "before the change")
        time_to_follow(swaps, directory, change, {(1, 59), (2, 0)}, {(3, 0)},
                       what="the change to summer time")
        harness.xdotool("key", "q")
        harness.expect_exit(program, "a key after the change", 5)


if __name__ == "__main__":
    # One server for both cases; each ends its clock.
    with harness.Xvfb(*SIZE):
        harness.main({
            "follows_steps_forward_and_back": follows_steps_forward_and_back,
            "follows_a_daylight_saving_change": follows_a_daylight_saving_change,
        })
