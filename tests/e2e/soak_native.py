"""A long night in little time: the native clock under faketime at twenty
times the speed, from 23:50 across midnight, for about a minute and a half
of real time. Its resident memory after the first 30 s grows by less than
1 MiB, the digits read back after midnight are the right ones, and a key
still ends it with exit code 0.

Under a sanitizer build (TOLVANE_SANITIZED set) the memory bound is not
checked: the sanitizer's own bookkeeping grows with every allocation the GL
driver makes.
"""
import os
import time

import harness
from harness import check
from native import EXE, wait_window
from tile_reader import GreyPicture, glyph_templates, read_tiles

SPEED = 20
START = 23 * 3600 + 50 * 60  # 23:50:00, faked
WARM_UP = 30.0  # real seconds before the first memory reading
RUN = 90.0  # real seconds in all
MIB = 1024 * 1024


def resident_bytes(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) * 1024
    raise harness.TestFailure("no VmRSS for %d" % pid)


def clock_at(real_seconds):
    """(hours, minutes) of the faked clock that many real seconds in."""
    seconds = int(START + SPEED * real_seconds) % 86400
    return seconds // 3600, seconds // 60 % 60


def runs_across_midnight():
    templates = glyph_templates()
    sanitized = bool(os.environ.get("TOLVANE_SANITIZED"))
    env = harness.faked_clock(dict(os.environ, TZ="UTC"), "2026-03-14 23:50:00", SPEED)
    with harness.Xvfb():
        env["DISPLAY"] = os.environ["DISPLAY"]
        started_at = time.time()
        with harness.started([EXE, "/s"], env=env) as program:
            pid = program.proc.pid
            wait_window(program, 15)

            # Memory once the first half minute is over, then a reading
            # every few seconds to the end.
            check(program.wait(max(0.0, started_at + WARM_UP - time.time())) is None,
                  "ended by itself: " + program.output())
            first = resident_bytes(pid)
            largest = first
            last_read = {}

            def midnight_passed():
                # The picture may lag the faked clock by about a real
                # second, twenty faked seconds: a minute either way.
                elapsed = time.time() - started_at
                read = read_tiles(GreyPicture.of_screen(), 1920, 1080, templates)
                shown = [read[p][0] for p in range(4, 8)]
                hours, minutes = clock_at(elapsed)
                last_read.update(shown=shown, expected=(hours, minutes))
                near = {(minutes + d) % 60 for d in (-1, 0, 1)}
                return hours == 0 and shown[:2] == [0, 0] and \
                    shown[2] * 10 + shown[3] in near
            read_ok = False
            while time.time() - started_at < RUN:
                check(program.wait(3.0) is None, "ended by itself: " + program.output())
                largest = max(largest, resident_bytes(pid))
                if not read_ok and clock_at(time.time() - started_at)[0] == 0:
                    read_ok = bool(midnight_passed())
            harness.log("resident: %.1f MiB after %d s, at most %.1f MiB later; read %s"
                        % (first / MIB, WARM_UP, largest / MIB, last_read))
            check(read_ok, "after midnight the clock showed %(shown)s, not about %(expected)s"
                  % last_read if last_read else "never read after midnight")
            if not sanitized:
                check(largest - first < MIB, "resident memory grew by %.2f MiB"
                      % ((largest - first) / MIB))
            harness.xdotool("key", "Escape")
            harness.expect_exit(program, "Escape after the night", 5)


if __name__ == "__main__":
    harness.main({"runs_across_midnight": runs_across_midnight})
