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


def check_rests(log, begin, seconds):
    """Over seconds of steady running from begin: no more swaps than the
    resting target, none faster than the refresh, rests between them, and
    the clock still moving."""
    swaps = log.between(begin, begin + seconds)
    harness.log("%d swaps in %.0f s" % (len(swaps), seconds))
    harness.check(len(swaps) <= TARGET * seconds,
                  "%d swaps in %.0f s: it does not rest" % (len(swaps), seconds))
    harness.check(len(swaps) >= seconds, "%d swaps in %.0f s: the clock stalls" % (len(swaps), seconds))
    worst = max(len([t for t in swaps if s <= t < s + 1.0]) for s in swaps)
    harness.check(worst <= REFRESH, "%d swaps within one second" % worst)
    # Each second rests at least from the landing (0.25 s) to the catch-up
    # (0.5 s) and from there to the next flip.
    rests = len(groups(swaps)) - 1
    harness.check(rests >= seconds, "only %d rests in %.0f s: %s" % (rests, seconds, swaps))
