"""The bench: what the native clock costs, full screen on an Xvfb of the
bench's own at 1920x1080 and at 640x360, set against the reference that
draws every frame (tolvane-continuous-loop, the loop as it was before it
learnt to rest), both measured in the same run. One line per figure:

  launch to first presented frame   median of 5 starts, from the spawn to the
                                    first buffer swap
  CPU seconds per wall second       the process's user + system time (all its
                                    threads, the GL driver's included) over
                                    10 s of steady running, after 2 s of warm-up
  frames presented per second       over those 10 s (swaps, or rectangles
                                    presented where the windows do that)
  CPU milliseconds per frame        CPU seconds per wall second over frames
                                    per second: nearly all of them frames of
                                    the fall, so what one of those costs
  frames drawn during a seconds     median over those 10 s of the swaps in the
  flip                              0.3 s after each flip starts (the reference
                                    rests never: any 0.3 s, once a second)
  peak resident memory              VmHWM at the end of the steady run
  frames presented per second,      the clock at 1920x1080, its DPMS level
  display on and off                faked On then Off by the tests' preload
                                    (tests/support/dpms_fake.c): frames and
                                    CPU seconds per wall second over 5 s of
                                    each, 2 s after the level changed
  peak memory with two monitors     VmHWM after 3 s full screen on Xorg's dummy
                                    driver, with one monitor and with two
                                    (needs root and Xorg, else reported skipped)

The bounds the clock is held to are checked at the end, one line each, and
the bench exits with 1 if one is exceeded: they are figures of speed and
memory, which a busy machine blurs, so no pass/fail test holds them.

Frames are counted by the tests' preload probe (tests/support/swap_probe.c).
Usage: make bench, or python3 bench/bench.py --build build/linux
[--resting EXE] [--continuous EXE] [--before EXE] [--sizes 1920x1080,640x360].
--before adds another build of the clock (say, of the branch a change starts
from), measured in the same run beside the others; its bounds are not held.
"""
import argparse
import os
import statistics
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))

import harness  # noqa: E402
import xorg_dummy  # noqa: E402
from swap_log import TARGET, SwapLog, flip_starts  # noqa: E402

LAUNCHES = 5
WARM_UP = 2.0
STEADY = 10.0
FLIP_WINDOW = 0.3
TICKS = os.sysconf("SC_CLK_TCK")
SECOND_MONITOR_MEMORY = 1.2  # two monitors' peak memory at most this times one's

bounds = []  # (description, held)


def bound(description, held):
    bounds.append((description, held))


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime


def peak_resident_mib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


def run_program(exe, scratch):
    log = SwapLog(scratch, probe=PROBE)
    if os.path.exists(log.path):
        os.remove(log.path)
    env = log.environment(dict(os.environ))
    spawned = time.monotonic()
    program = harness.Program([exe, "/s"], env=env)
    return program, log, spawned


def launch_time(exe, scratch):
    program, log, spawned = run_program(exe, scratch)
    try:
        if not harness.wait_until(log.times, 30, interval=0.01):
            raise harness.TestFailure("%s presented nothing: %s" % (exe, program.output()))
        return log.times()[0] - spawned
    finally:
        program.stop()


def steady_figures(exe, scratch):
    program, log, _ = run_program(exe, scratch)
    try:
        if not harness.wait_until(log.times, 30, interval=0.01):
            raise harness.TestFailure("%s presented nothing: %s" % (exe, program.output()))
        time.sleep(WARM_UP)
        begin, cpu_begin = time.monotonic(), cpu_seconds(program.proc.pid)
        time.sleep(STEADY)
        end, cpu_end = time.monotonic(), cpu_seconds(program.proc.pid)
        peak = peak_resident_mib(program.proc.pid)
    finally:
        program.stop()
    swaps = log.between(begin, end)
    # The reference never rests: any 0.3 s once a second stands for a flip.
    starts = flip_starts(swaps) or [begin + k for k in range(int(STEADY) - 1)]
    per_flip = [len([t for t in swaps if s <= t < s + FLIP_WINDOW]) for s in starts]
    return {
        "cpu": (cpu_end - cpu_begin) / (end - begin),
        "swaps": len(swaps) / (end - begin),
        "flip": statistics.median(per_flip) if per_flip else 0,
        "peak": peak,
    }


def bench_size(width, height, programs, scratch):
    results = {}
    with harness.Xvfb(width, height):
        for name, exe in programs:
            launches = [launch_time(exe, scratch) for _ in range(LAUNCHES)]
            figures = steady_figures(exe, scratch)
            figures["launch"] = statistics.median(launches)
            results[name] = figures
    size = "%dx%d" % (width, height)
    resting, continuous = results["resting"], results["continuous"]
    for figures in results.values():
        figures["frame"] = 1000.0 * figures["cpu"] / figures["swaps"] if figures["swaps"] else 0

    def line(label, key, unit, digits):
        values = ", ".join("%s %.*f%s" % (n, digits, results[n][key], unit) for n, _ in programs)
        print("%-9s %-40s %s" % (size, label, values), flush=True)

    line("launch to first presented frame", "launch", " s", 3)
    line("CPU seconds per wall second", "cpu", "", 3)
    for name, _ in programs:
        if name == "continuous":
            continue
        print("%-9s %-40s %.2f" % (size, "CPU ratio %s / continuous" % name,
                                   results[name]["cpu"] / continuous["cpu"]
                                   if continuous["cpu"] else 0), flush=True)
    line("frames presented per second", "swaps", "", 1)
    line("CPU milliseconds per frame", "frame", " ms", 1)
    line("frames drawn during one seconds flip", "flip", "", 0)
    line("peak resident memory", "peak", " MiB", 1)
    bound("%s: at most %d frames presented per second (%.1f)" % (size, TARGET, resting["swaps"]),
          resting["swaps"] <= TARGET)


DARK_SPAN = 5.0


def dark_figures(exe, scratch):
    """Frames presented and CPU seconds per wall second with the display
    on, then off (the faked DPMS level)."""
    level = os.path.join(scratch, "dpms.txt")
    with open(level, "w") as f:
        f.write("on\n")
    log = SwapLog(scratch, probe=PROBE)
    if os.path.exists(log.path):
        os.remove(log.path)
    env = log.environment(dict(os.environ, TOLVANE_FAKE_DPMS=level))
    env["LD_PRELOAD"] = DPMS_FAKE + ":" + env["LD_PRELOAD"]
    program = harness.Program([exe, "/s"], env=env)
    figures = {}
    try:
        if not harness.wait_until(log.times, 30, interval=0.01):
            raise harness.TestFailure("%s presented nothing: %s" % (exe, program.output()))
        for state in ("on", "off"):
            with open(level, "w") as f:
                f.write(state + "\n")
            time.sleep(WARM_UP)
            begin, cpu_begin = time.monotonic(), cpu_seconds(program.proc.pid)
            time.sleep(DARK_SPAN)
            end, cpu_end = time.monotonic(), cpu_seconds(program.proc.pid)
            figures[state] = (len(log.between(begin, end)) / (end - begin),
                              (cpu_end - cpu_begin) / (end - begin))
    finally:
        program.stop()
    return figures


def bench_dark(exe, scratch):
    with harness.Xvfb(1920, 1080):
        figures = dark_figures(exe, scratch)
    for state in ("on", "off"):
        frames, cpu = figures[state]
        print("%-9s %-40s %.1f frames/s, %.3f CPU s/s"
              % ("1920x1080", "display %s (faked DPMS)" % state, frames, cpu), flush=True)
    bound("display off: no frame presented (%.1f per second)" % figures["off"][0],
          figures["off"][0] == 0)


def monitors_peak(exe, scratch):
    """VmHWM in MiB of the clock once it has drawn for a few seconds."""
    program, log, _ = run_program(exe, scratch)
    try:
        if not harness.wait_until(log.times, 30, interval=0.01):
            raise harness.TestFailure("%s presented nothing: %s" % (exe, program.output()))
        time.sleep(3.0)
        return peak_resident_mib(program.proc.pid)
    finally:
        program.stop()


def bench_monitors(exe, scratch):
    label = "two monitors (Xorg dummy)"
    try:
        with xorg_dummy.XorgDummy():
            try:
                xorg_dummy.output_off("DUMMY1")
                one = monitors_peak(exe, scratch)
            finally:
                xorg_dummy.output_on("DUMMY1", 1280, 1024, 1920)
            harness.wait_until(lambda: len(xorg_dummy.active_monitors()) == 2, 10)
            two = monitors_peak(exe, scratch)
    except xorg_dummy.Unavailable as reason:
        print("%-9s %-40s skipped: %s" % ("", label, reason), flush=True)
        return
    print("%-9s %-40s one %.1f MiB, two %.1f MiB (%.2f)"
          % ("", "peak memory, " + label, one, two, two / one), flush=True)
    bound("a second monitor: at most %.1f times the memory of one (%.2f)"
          % (SECOND_MONITOR_MEMORY, two / one), two <= SECOND_MONITOR_MEMORY * one)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("--resting")
    parser.add_argument("--continuous")
    parser.add_argument("--before")
    parser.add_argument("--sizes", default="1920x1080,640x360")
    args = parser.parse_args()
    global PROBE
    PROBE = os.path.join(args.build, "tests", "libswap_probe.so")
    global DPMS_FAKE
    DPMS_FAKE = os.path.join(args.build, "tests", "libdpms_fake.so")
    programs = [("resting", args.resting or os.path.join(args.build, "src", "host",
                                                         "tolvane-screensaver")),
                ("continuous", args.continuous or os.path.join(args.build, "bench",
                                                               "tolvane-continuous-loop"))]
    if args.before:
        programs.append(("before", args.before))
    for _, exe in programs + [("probe", PROBE), ("DPMS preload", DPMS_FAKE)]:
        if not os.path.exists(exe):
            sys.exit("bench: %s is missing (make bench builds it)" % exe)
    print("bench: %d cores, load average %.2f at the start" % (os.cpu_count(),
                                                              os.getloadavg()[0]), flush=True)
    scratch = harness.scratch_dir("tolvane-bench-")
    try:
        for size in args.sizes.split(","):
            width, height = (int(v) for v in size.split("x"))
            bench_size(width, height, programs, scratch)
        bench_dark(programs[0][1], scratch)
        bench_monitors(programs[0][1], scratch)
    finally:
        harness.remove_dir(scratch)
    for description, held in bounds:
        print("bound %-8s %s" % ("held" if held else "EXCEEDED", description), flush=True)
    if not all(held for _, held in bounds):
        sys.exit(1)


if __name__ == "__main__":
    main()
