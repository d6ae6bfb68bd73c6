"""The clock read after a step of the wall clock (harness.SteppedClock):
what it shows as hours and minutes, and how long after the step the
corrected picture came.

Each step is timed from the moment the clock file changes to the program's
own buffer swap that first presented the corrected picture. Which swap that
was is read from screenshots taken while the clock rests: nothing is swapped
during such a screenshot, so it shows exactly the last swap before it. A
slow test only takes fewer of them; the times are the program's."""
import os
import time

import harness
from harness import check, log
from tile_reader import GreyPicture, glyph_templates, read_resting

SIZE = (960, 540)  # small screenshots are quick to take
WITHIN = 2.0  # seconds from a step to the corrected picture
# The probe logs a swap as it is called; the picture is on the screen a
# little later.
SETTLE = 0.05


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
        hm, text = hours_minutes(GreyPicture.of_screen(), size, templates)
        seen.append(text)
        return hm in hms
    check(harness.wait_until(showing, timeout, 0.2), "%s: the clock showed %s" % (what, seen[-3:]))
