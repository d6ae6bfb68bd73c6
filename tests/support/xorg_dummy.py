"""An X server with two monitors for the tests: Xorg with the dummy driver
(Xvfb has a single RandR output, whatever its screens), started on a free
display number, stopped by its pid.

    with XorgDummy() as server:   # DISPLAY is set to it
        server.monitors           # [(x, y, width, height), ...] as the outputs stand

Xorg needs root here. Where it cannot start, XorgDummy raises Unavailable
and the script ends with SKIP_CODE, which ctest counts as skipped: a test
that cannot run says so and never passes.
"""
import os
import shutil
import sys

import harness

SKIP_CODE = 77  # SKIP_RETURN_CODE of these tests in tests/CMakeLists.txt

# DUMMY0 at the left, DUMMY1 to its right, tops aligned.
LAYOUT = [("DUMMY0", 1920, 1080), ("DUMMY1", 1280, 1024)]

CONFIG = """\
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual %d %d
    EndSubSection
EndSection
"""


class Unavailable(Exception):
    pass


def xrandr(*args):
    harness.run(["xrandr"] + list(args), timeout=30)


def output_on(name, width, height, x):
    xrandr("--output", name, "--mode", "%dx%d" % (width, height), "--pos", "%dx0" % x)


def output_off(name):
    xrandr("--output", name, "--off")


def active_monitors():
    """(x, y, width, height) of every active monitor, from xrandr --listmonitors."""
    out = harness.run(["xrandr", "--listmonitors"], timeout=30)
    monitors = []
    for line in out.splitlines()[1:]:
        # " 0: +*DUMMY0 1920/508x1080/286+0+0  DUMMY0"
        geometry = line.split()[2]
        size, x, y = geometry.split("+")
        width, height = (int(part.split("/")[0]) for part in size.split("x"))
        monitors.append((int(x), int(y), width, height))
    return monitors


class XorgDummy:
    def __init__(self):
        self.proc = None
        self.dir = None
        self.display = None

    def __enter__(self):
        if shutil.which("Xorg") is None:
            raise Unavailable("Xorg is not installed (tools/bootstrap.sh installs it)")
        if os.geteuid() != 0:
            raise Unavailable("Xorg with the dummy driver needs root here")
        self.dir = harness.scratch_dir("tolvane-xorg-")
        config = os.path.join(self.dir, "xorg.conf")
        with open(config, "w") as f:
            f.write(CONFIG % (sum(w for _, w, _ in LAYOUT), max(h for _, _, h in LAYOUT)))
        log = os.path.join(self.dir, "Xorg.log")
        self.proc, self.display = harness.start_x_server(
            lambda fd: ["Xorg", "-displayfd", str(fd), "-config", config, "-noreset",
                        "-nolisten", "tcp", "-logfile", log], 30)
        if self.display is None:
            reason = self._log_tail()
            self.__exit__(None, None, None)
            raise Unavailable("Xorg did not start: " + reason)
        os.environ["DISPLAY"] = self.display
        try:
            self._lay_out()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def _lay_out(self):
        x = 0
        for name, width, height in LAYOUT:
            if name != "DUMMY0":
                xrandr("--addmode", name, "%dx%d" % (width, height))
            output_on(name, width, height, x)
            x += width
        harness.check(harness.wait_until(lambda: len(active_monitors()) == len(LAYOUT), 10),
                      "Xorg did not take the two-monitor layout: %s" % active_monitors())

    @property
    def monitors(self):
        return active_monitors()

    def _log_tail(self):
        try:
            with open(os.path.join(self.dir, "Xorg.log"), errors="replace") as f:
                lines = [line.strip() for line in f if "(EE)" in line]
            return "; ".join(lines[-3:]) or "no error in its log"
        except OSError:
            return "no log"

    def __exit__(self, *exc):
        harness.stop_server(self.proc)
        if self.dir:
            harness.remove_dir(self.dir)
        return False


def main(tests):
    """harness.main for scripts that need the two monitors: one server for
    all their tests, or the skip code when it cannot start."""
    try:
        with XorgDummy():
            harness.main(tests)
    except Unavailable as reason:
        harness.log("SKIPPED: %s" % reason)
        sys.exit(SKIP_CODE)
    except harness.TestFailure as error:
        harness.log("FAILED: %s" % error)
        sys.exit(1)
