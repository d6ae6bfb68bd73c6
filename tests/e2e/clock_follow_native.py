"""The clock follows the system's time, natively: the wall clock stepped
forward and back while the clock runs, and a daylight-saving change.

The program runs under libfaketime reading its offset from a file on every
call, with the monotonic clock (the GLFW timer) left alone: what a program
sees after an NTP step, a manual clock change or a resume from suspend.
Each step is timed from the moment the file changes to the program's own
buffer swap that first presented the corrected picture. Which swap that was
is read from screenshots taken while the clock rests: nothing is swapped
during such a screenshot, so it shows exactly the last swap before it. A
slow test only takes fewer of them; the times are the program's."""
import contextlib
import datetime
import os
import time
import zoneinfo

import harness
from tile_reader import glyph_templates, read_resting
from harness import check, log
from launch_native import EXE
from swap_log import SwapLog

SIZE = (960, 540)  # small screenshots are quick to take
WITHIN = 2.0  # seconds from a step to the corrected picture
# The probe logs a swap as it is called; the picture is on the screen a
# little later.
SETTLE = 0.05


class SteppedClock:
    """The wall clock of the programs started with environment(): an offset
    from the real time in a file that libfaketime reads on every call."""

    def __init__(self, directory, zone):
        self.path = os.path.join(directory, "wall-clock")
        self.zone = zone
        self.offset = 0.0

    def environment(self, env):
        return harness.with_libfaketime(dict(env, TZ=self.zone), FAKETIME_TIMESTAMP_FILE=self.path,
                                        FAKETIME_NO_CACHE="1", DONT_FAKE_MONOTONIC="1")

    def epoch(self, local):
        """The calendar time of a local time 'YYYY-MM-DD HH:MM:SS' in the zone."""
        naive = datetime.datetime.strptime(local, "%Y-%m-%d %H:%M:%S")
        return naive.replace(tzinfo=zoneinfo.ZoneInfo(self.zone)).timestamp()

    def set(self, local):
        """The wall clock reads local from now on; returns now (time.monotonic)."""
        self.offset = self.epoch(local) - time.time()
        stepped_at = time.monotonic()
        # Replaced in one go: a half-written file would be a step of its own.
        with open(self.path + ".new", "w") as new:
            new.write("%+.3f\n" % self.offset)
        os.replace(self.path + ".new", self.path)
        return stepped_at

    def when(self, local):
        """The time.monotonic instant at which the wall clock reads local."""
        return time.monotonic() + (self.epoch(local) - self.offset - time.time())


def hours_minutes(shot, size, templates):
    """((hours, minutes), "hh:mm:ss") of a resting picture; (None, "falling")
    while a flap falls, which shows no time."""
    d = read_resting(shot, size[0], size[1], templates)
    if d is None:
        return None, "falling"
    return (d[0] * 10 + d[1], d[2] * 10 + d[3]), "%d%d:%d%d:%d%d" % tuple(d)


def rest_shots(log_, directory, until, patience=15):
    """Screenshots of the resting clock, one per swap shown, until one shows
    a swap made after `until` (time.monotonic); [(swap, path)] in order."""
    shots = []
    while time.monotonic() < until + patience:
        path = os.path.join(directory, "rest-%03d.xwd" % len(shots))
        begin = time.monotonic()
        harness.run(["xwd", "-root", "-silent", "-out", path])
        end = time.monotonic()
        swaps = log_.times()
        shown = [t for t in swaps if t < begin - SETTLE]
        if not shown or any(begin - SETTLE <= t <= end for t in swaps):
            continue
        if not shots or shots[-1][0] != shown[-1]:
            shots.append((shown[-1], path))
            if shown[-1] > until:
                return shots
    raise harness.TestFailure("the clock presented nothing for %d s (last swaps at %s, now %s)"
                              % (patience, log_.times()[-3:], time.monotonic()))


def time_to_follow(log_, directory, stepped_at, before, after, size=SIZE, what="step"):
    """Waits for the clock to show the time after a step, read as hours and
    minutes; before and after are the (hours, minutes) it may show before
    and after following. Returns the seconds from stepped_at to the swap
    that first presented the corrected picture as (earliest, latest): it is
    one of the swaps after the last resting screenshot of the old time, up
    to the one the first corrected screenshot shows."""
    templates = glyph_templates()
    shots = rest_shots(log_, directory, stepped_at + WITHIN)
    last_old = max([t for t in log_.times() if t < stepped_at] or [stepped_at])
    first_new = None
    readings = []
    for swap, path in shots:
        hm, text = hours_minutes(path, size, templates)
        readings.append("%s at %+.2f s" % (text, swap - stepped_at))
        if hm is None:
            continue  # a frame of the fall: a time neither before nor after
        # Never the times in between, never back once corrected.
        check(hm in before | after, "%s: the clock showed %s, neither the time before nor after: %s"
              % (what, text, readings))
        if first_new is None and hm in after:
            first_new = swap
        elif first_new is None:
            last_old = max(last_old, swap)
        else:
            check(hm in after, "%s: the clock went back to %s: %s" % (what, text, readings))
    check(first_new is not None, "%s: the clock did not follow: %s" % (what, readings))
    earliest = min(t for t in log_.times() if t > last_old) - stepped_at
    latest = first_new - stepped_at
    log("%s: the corrected picture came %.2f to %.2f s after it (%s)"
        % (what, earliest, latest, ", ".join(readings)))
    check(latest <= WITHIN, "%s: the corrected picture came %.2f s after it, not within %.1f s"
          % (what, latest, WITHIN))
    return earliest, latest


def wait_showing(directory, hms, size, timeout, what):
    """Waits until the clock shows one of the (hours, minutes) in hms."""
    templates = glyph_templates()
    seen = []

    def showing():
        shot = harness.screenshot(os.path.join(directory, "showing.png"))
        hm, text = hours_minutes(shot, size, templates)
        seen.append(text)
        return hm in hms
    check(harness.wait_until(showing, timeout, 0.2), "%s: the clock showed %s" % (what, seen[-3:]))


@contextlib.contextmanager
def started_clock(directory, zone, start):
    """The program full screen under a stepped clock that reads start:
    yields (clock, swap log, program), stops the program at the end."""
    clock = SteppedClock(directory, zone)
    clock.set(start)
    swaps = SwapLog(directory)
    env = swaps.environment(clock.environment(os.environ))
    with harness.started([EXE, "/s"], env=env) as program:
        check(harness.wait_until(swaps.times, 30), "nothing presented: " + program.output())
        yield clock, swaps, program


def follows_steps_forward_and_back():
    with harness.scratch() as directory, harness.Xvfb(*SIZE), \
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
    with harness.scratch() as directory, harness.Xvfb(*SIZE), \
            started_clock(directory, "Europe/Berlin", "2026-03-29 01:59:50") as (clock, swaps,
                                                                                 program):
        change = clock.when("2026-03-29 03:00:00")
        wait_showing(directory, {(1, 59)}, SIZE, change - time.monotonic(), "before the change")
        time_to_follow(swaps, directory, change, {(1, 59), (2, 0)}, {(3, 0)},
                       what="the change to summer time")
        harness.xdotool("key", "q")
        harness.expect_exit(program, "a key after the change", 5)


if __name__ == "__main__":
    harness.main({
        "follows_steps_forward_and_back": follows_steps_forward_and_back,
        "follows_a_daylight_saving_change": follows_a_daylight_saving_change,
    })
