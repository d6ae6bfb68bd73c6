"""Makes the README's pictures from the real Linux program, full screen on an
Xvfb of its own (1920x1080), its clock held still by libfaketime:

  docs/clock.png   the clock at 10:09:30 (a FAKETIME without "@" stands
                   still, so no tile is caught in a flip), scaled to 960x540
  docs/flip.gif    one seconds flip, 10:09:29 to 10:09:30, at 640x360: the
                   program reads its clock from a file again at every call
                   (FAKETIME_TIMESTAMP_FILE, FAKETIME_NO_CACHE), which is set
                   to one frozen instant after the other, 17 ms apart as a
                   60 Hz display shows the fall; each frame is a screenshot
                   taken once the program has drawn that instant (its swap,
                   counted by the tests' preload probe) and the screen is still

Frozen instants, one palette for every frame and no time stamps in the files:
the same tools make the same bytes on every run.

    make picture
    python3 tools/readme-pictures.py --build build/linux [--still PNG] [--flip GIF]
"""
import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))

import harness  # noqa: E402
from swap_log import SwapLog  # noqa: E402

DAY = "2026-03-14 "
STILL_TIME = "10:09:30"
# The clock starts on a whole second (its capture keeps whole seconds only,
# so the file's time and the clock's are then the same), rests at 10:09:29
# from half a second on, and its seconds flap falls from 10:09:29 on. Each
# instant lies a little past the one the program waits for: its event wait
# ends only once the (frozen) timer has passed the wait's end.
START = "10:09:28.000000"
REST = "10:09:28.600000"
FALL = ["10:09:29.%06d" % (5000 + k * 17000) for k in range(16)]  # lands at 0.245 s
FALL_FRAME = 2    # hundredths of a second a frame of the fall is shown
HOLD = 100        # ... and the resting clock before and after it
FLIP_SIZE = "640x360"


def clock_drawn(path):
    """The face of the hours tile, left of the centre, is lit."""
    return harness.pixels(path, [(413, 389)])[0][1] > 40


def still_picture(program, output, scratch):
    # Without "@" the faked time stands still.
    env = harness.with_libfaketime(dict(os.environ, TZ="UTC"), FAKETIME=DAY + STILL_TIME)
    shot = os.path.join(scratch, "still.png")
    with harness.started([program, "/s"], env=env) as clock:
        harness.check(harness.wait_until(lambda: clock_drawn(harness.screenshot(shot)), 20, 0.2),
                      "no clock on the screen: " + clock.output())
    # -strip: no time stamps in the file.
    harness.run(["convert", shot, "-resize", "960x540", "-strip", output])


def flip_picture(program, probe, output, scratch):
    frozen = harness.FrozenClock(scratch, DAY.strip())
    frozen.set(START)
    log = SwapLog(scratch, probe=probe)
    env = log.environment(frozen.environment(os.environ))
    frames = []
    with harness.started([program, "/s"], env=env) as clock:
        shot = os.path.join(scratch, "start.png")
        harness.check(harness.wait_until(lambda: clock_drawn(harness.screenshot(shot)), 20, 0.2),
                      "no clock on the screen: " + clock.output())
        for index, instant in enumerate([REST] + FALL):
            swaps = len(log.times())
            frozen.set(instant)
            harness.check(harness.wait_until(lambda: len(log.times()) > swaps, 10, 0.01),
                          "nothing drawn at %s: %s" % (instant, clock.output()))
            frame = os.path.join(scratch, "frame%02d.png" % index)
            harness.settled_screenshot(frame)
            frames.append(frame)
    # One palette for all frames, from the first and the last, without
    # dithering: what does not move keeps its colours, so each frame after
    # the first holds only the falling flap.
    palette = os.path.join(scratch, "palette.png")
    harness.run(["convert", frames[0], frames[-1], "+append", "-resize", "x360", "+dither",
                 "-colors", "256", "-unique-colors", palette])
    argv = ["convert", "-loop", "0", "-delay", str(HOLD), frames[0], "-delay", str(FALL_FRAME)]
    argv += frames[1:-1] + ["-delay", str(HOLD), frames[-1]]
    argv += ["-resize", FLIP_SIZE, "+dither", "-remap", palette, "-layers", "Optimize",
             "-strip", output]
    harness.run(argv, timeout=120)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("--still", default=os.path.join(ROOT, "docs", "clock.png"))
    parser.add_argument("--flip", default=os.path.join(ROOT, "docs", "flip.gif"))
    args = parser.parse_args()
    program = os.path.join(args.build, "src", "host", "tolvane-screensaver")
    probe = os.path.join(args.build, "tests", "libswap_probe.so")
    for path in (program, probe):
        if not os.path.exists(path):
            sys.exit("readme-pictures: %s is missing (make picture builds it)" % path)
    with harness.scratch("tolvane-pictures-") as scratch, harness.Xvfb():
        still_picture(program, args.still, scratch)
        print("readme-pictures: wrote %s" % args.still)
        flip_picture(program, probe, args.flip, scratch)
        print("readme-pictures: wrote %s (%d bytes)" % (args.flip, os.path.getsize(args.flip)))


if __name__ == "__main__":
    main()
