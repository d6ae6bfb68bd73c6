"""Buffer swaps of a program, counted from outside by the preload probe
(swap_probe.c, built as libswap_probe.so): each swap is one line of the log,
its time in time.monotonic seconds. Used by the resting-clock tests, native
and under Wine (the probe sits in the Wine loader's process), and the bench.
"""
import os
import time

import harness


class SwapLog:
    def __init__(self, directory, probe=None):
        self.path = os.path.join(directory, "swaps.txt")
        self.probe = probe or os.environ["TOLVANE_SWAP_PROBE"]

    def environment(self, env):
        """env with the probe preloaded, writing to this log."""
        env = dict(env, TOLVANE_SWAP_LOG=self.path)
        env["LD_PRELOAD"] = ":".join(p for p in (self.probe, env.get("LD_PRELOAD")) if p)
        # A sanitizer build wants its runtime first; the probe is harmless before it.
        env["ASAN_OPTIONS"] = "verify_asan_link_order=0:" + env.get("ASAN_OPTIONS", "")
        return env

    def times(self):
        if not os.path.exists(self.path):
            return []
        with open(self.path) as log:
            return [float(line) for line in log.read().split()]

    def between(self, start, end):
        return [t for t in self.times() if start <= t < end]


def wait_for_frames(log, timeout):
    """Waits until the clock presents its own frames: a second swap. The
    first may be the window's cleared picture, swapped while the program
    still starts (Wine 10 swaps it seconds before the first frame on a busy
    machine)."""
    harness.check(harness.wait_until(lambda: len(log.times()) >= 2, timeout),
                  "no frame counted: swaps %s" % log.times())


def wait_for_quiet(log, seconds, timeout):
    """Waits until nothing has been swapped for `seconds`: the clock rests."""
    def quiet():
        swaps = log.times()
        return swaps and time.monotonic() - swaps[-1] >= seconds
    harness.check(harness.wait_until(quiet, timeout, interval=0.01), "the clock never rests")


def groups(swaps, gap=0.2):
    """The swaps split where nothing was swapped for more than gap seconds."""
    result = []
    for t in swaps:
        if result and t - result[-1][-1] <= gap:
            result[-1].append(t)
        else:
            result.append([t])
    return result


def flip_starts(swaps):
    """The start of each seconds flip. Each half second begins a group of
    swaps after a rest: a flip (its start, its fall, its landing) or the
    shown record's catch-up, a single swap."""
    return [g[0] for g in groups(swaps)[1:] if len([t for t in swaps if g[0] <= t < g[0] + 0.4]) >= 2]


REFRESH = 60  # Xvfb reports no refresh rate; the program then counts 60
TARGET = 18   # the distinct pictures of one seconds flip, plus one

# The resting checks run the clock at a tenth of the speed
# (harness.faked_clock with SLOWED): a flap then falls for 2.5 s, the
# landing rests 2.5 s until the shown record catches up, and that rests 5 s
# until the next flip. Rests so long cannot be blurred by a busy machine,
# whose frames may come a few tenths of a second apart.
SLOWED = 0.1
CLOCK_SECOND = 1 / SLOWED  # real seconds per second of the slowed clock
REST = 1.0  # a gap this long is a rest, never a slow frame


def check_rests(log, begin, clock_seconds=2):
    """Over clock_seconds whole seconds of a slowed clock from begin: each
    second rests twice (after the landing, after the catch-up; a rest cut
    by either end of the span is not counted), nothing is swapped faster
    than the display refreshes, and the clock still moves."""
    seconds = clock_seconds * CLOCK_SECOND
    swaps = log.between(begin, begin + seconds)
    gaps = [b - a for a, b in zip(swaps, swaps[1:])]
    rests = len([g for g in gaps if g >= REST])
    harness.log("%d swaps in %.0f s, %d rests" % (len(swaps), seconds, rests))
    harness.check(len(swaps) >= 2 * clock_seconds,
                  "%d swaps in %.0f s: the clock stalls" % (len(swaps), seconds))
    # Frame slots follow the program's slowed timer: REFRESH * SLOWED of them
    # in a real second; one more for a slot cut by the span, one for a late
    # swap. A loop that drew as fast as it could would draw many more.
    limit = round(REFRESH * SLOWED) + 2
    worst = max(len([t for t in swaps if s <= t < s + 1.0]) for s in swaps)
    harness.check(worst <= limit, "%d swaps within a second, more than %d" % (worst, limit))
    harness.check(rests >= 2 * clock_seconds - 1,
                  "only %d rests in %.0f s: %s" % (rests, seconds,
                                                   [round(t - begin, 3) for t in swaps]))


def check_rests_at_full_speed(log, begin, seconds):
    """check_rests for a clock that cannot be slowed: Wine's, whose timed
    waits end at a deadline that the wine server reads on its own monotonic
    clock, which a preloaded faketime in the program does not move. A busy
    machine only thins the frames, so the upper bounds hold however slow it
    is. Of the two rests of each second the one from the catch-up to the
    next flip (0.5 s) shrinks only by the difference of two frames' delays;
    on loaded cores Wine's frames take up to 0.3 s, which merges the fall
    with the landing's rest and now and then shortens the other, so at
    least every other second must show a rest of 0.3 s."""
    swaps = log.between(begin, begin + seconds)
    gaps = [b - a for a, b in zip(swaps, swaps[1:])]
    rests = len([g for g in gaps if g >= 0.3])
    harness.log("%d swaps in %.0f s, %d rests" % (len(swaps), seconds, rests))
    harness.check(len(swaps) <= TARGET * seconds,
                  "%d swaps in %.0f s: it does not rest" % (len(swaps), seconds))
    # Only a clock that stands still draws less than one picture in two
    # seconds, however busy the machine.
    harness.check(len(swaps) >= seconds / 2, "%d swaps in %.0f s: the clock stalls: %s"
                  % (len(swaps), seconds, [round(t - begin, 3) for t in swaps]))
    worst = max(len([t for t in swaps if s <= t < s + 1.0]) for s in swaps)
    harness.check(worst <= REFRESH, "%d swaps within one second" % worst)
    harness.check(rests >= seconds / 2,
                  "only %d rests in %.0f s: %s" % (rests, seconds,
                                                   [round(t - begin, 3) for t in swaps]))
