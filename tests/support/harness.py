"""Helpers for the whole-program tests: an Xvfb of their own, processes with
bounded waits, xdotool, screenshots and pixel reads, and the Wine prefix.

Every server a test starts is started here, remembered by pid and stopped
again, also when the test fails. No wait is unbounded.
"""
import contextlib
import datetime
import glob
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zoneinfo


SKIP_CODE = 77  # the SKIP_RETURN_CODE of the scripts' tests in tests/CMakeLists.txt


class Skipped(Exception):
    """Raised by a test function that cannot run here; the message says why."""


class TestFailure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def log(*parts):
    print(*parts, flush=True)


# ---- X server ---------------------------------------------------------------

class Xvfb:
    """An Xvfb on a free display number (it picks one itself: -displayfd)."""

    def __init__(self, width=1920, height=1080):
        self.size = (width, height)
        self.proc = None
        self.display = None

    def __enter__(self):
        self.before = os.environ.get("DISPLAY")
        self.proc, self.display = start_x_server(
            lambda fd: ["Xvfb", "-displayfd", str(fd), "-screen", "0", "%dx%dx24" % self.size,
                        "-nolisten", "tcp", "-noreset"], 20)
        if self.display is None:
            self.__exit__(None, None, None)
            raise TestFailure("Xvfb did not start")
        os.environ["DISPLAY"] = self.display
        return self

    def __exit__(self, *exc):
        stop_server(self.proc)
        # A script's own server again, after a case's server of another size.
        if self.before is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = self.before
        return False


def start_x_server(argv_for_fd, timeout):
    """Starts an X server that picks a free display number and writes it to
    the descriptor given by -displayfd: argv_for_fd(fd) is its command line.
    Returns (process, ":N"), or (process, None) if no number came in time."""
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(argv_for_fd(write_fd), pass_fds=(write_fd,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    deadline = time.time() + timeout
    with os.fdopen(read_fd, "rb") as pipe:
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    return proc, (":" + number.decode().strip() if number.strip() else None)


def stop_server(proc, grace=10):
    """Stops a server the test started: SIGTERM, then SIGKILL after grace seconds."""
    if proc is None or proc.poll() is not None:
        return
    proc.terminate()
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(timeout=10)


# ---- processes ----------------------------------------------------------------

class Program:
    """A started program whose output is collected in a temporary file."""

    def __init__(self, argv, env=None, cwd=None):
        self.argv = argv
        self.faked = "libfaketime" in (env or os.environ).get("LD_PRELOAD", "")
        self.out = tempfile.TemporaryFile()
        self.proc = subprocess.Popen(argv, env=env, cwd=cwd, stdout=self.out,
                                     stderr=subprocess.STDOUT, start_new_session=True)

    def running(self):
        return self.proc.poll() is None

    def wait(self, timeout):
        """The exit code, or None if the program is still running after timeout."""
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def output(self):
        self.out.seek(0)
        return self.out.read().decode(errors="replace")

    def stop(self):
        if self.proc.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(self.proc.pid, signal.SIGKILL)
            self.proc.wait(timeout=10)
        if self.faked:
            # libfaketime names shared memory after the pid and removes it
            # only on a normal exit; a killed program leaves it behind.
            for name in ("faketime_shm_%d", "sem.faketime_sem_%d"):
                with contextlib.suppress(FileNotFoundError):
                    os.unlink("/dev/shm/" + name % self.proc.pid)


@contextlib.contextmanager
def started(argv, env=None, cwd=None):
    program = Program(argv, env=env, cwd=cwd)
    try:
        yield program
    finally:
        program.stop()


def wait_until(predicate, timeout, interval=0.1):
    """Polls predicate until it returns a true value; returns it, or None on timeout."""
    deadline = time.time() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.time() >= deadline:
            return None
        time.sleep(interval)


def run(argv, timeout=30, env=None, check_rc=True):
    result = subprocess.run(argv, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            timeout=timeout)
    if check_rc and result.returncode != 0:
        raise TestFailure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                  result.stdout.decode(errors="replace")))
    return result.stdout.decode(errors="replace")


def run_bytes(argv, timeout=60, stdin=None):
    """The standard output of a command that must succeed, as bytes."""
    result = subprocess.run(argv, input=stdin, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=timeout)
    if result.returncode != 0:
        raise TestFailure("%s failed (%d): %s" % (" ".join(argv), result.returncode,
                                                  result.stderr.decode(errors="replace")))
    return result.stdout


# ---- X11 windows, input and pictures ---------------------------------------------

def find_windows(name=None, pid=None, only_visible=True):
    """Window ids (ints) by exact name regex or owning pid, via xdotool."""
    argv = ["xdotool", "search"]
    if only_visible:
        argv.append("--onlyvisible")
    if pid is not None:
        argv += ["--pid", str(pid)]
    else:
        argv += ["--name", name]
    result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
    return [int(line) for line in result.stdout.split()]


def window_geometry(window_id):
    """(x, y, width, height) of a window from xwininfo."""
    out = run(["xwininfo", "-id", str(window_id)])
    values = {}
    for line in out.splitlines():
        line = line.strip()
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            if line.startswith(key + ":"):
                values[key] = int(line.split(":")[1])
    return (values["Absolute upper-left X"], values["Absolute upper-left Y"],
            values["Width"], values["Height"])


def xdotool(*args):
    run(["xdotool"] + [str(a) for a in args])


def xwd(window="root", attempts=5):
    """xwd's picture of the root window or of one window (by id), as bytes.
    Where windows of other visuals are on the screen (GL windows), xwd reads
    each of them apart, and fails when one goes away meanwhile (a program
    ending): then the screen is read again, a few times at most."""
    argv = ["xwd", "-silent"] + (["-root"] if window == "root" else ["-id", str(window)])
    for attempt in range(attempts):
        result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        error = result.stderr.decode(errors="replace")
        if result.returncode == 0:
            return result.stdout
        if window != "root" or not re.search(r"\bBad(Drawable|Window|Match)\b", error):
            break
    raise TestFailure("%s failed (%d): %s" % (" ".join(argv), result.returncode, error))


def save_xwd(picture, path):
    """Saves xwd's picture as the PNG path, uncompressed: a test polls the
    screen, and compressing took seconds on busy cores. Returns path."""
    run_bytes(["convert", "xwd:-", "-define", "png:compression-level=0", path], stdin=picture)
    return path


def screenshot(path, window="root"):
    """Saves a PNG of the root window or of one window (by id)."""
    return save_xwd(xwd(window), path)


def settled_screenshot(path, timeout=20):
    """A PNG of the root window that two shots in a row agree on."""
    shots = [None]

    def settled():
        shot = xwd()
        if shot == shots[-1]:
            return True
        shots.append(shot)
        return False
    check(wait_until(settled, timeout, 0.02), "the screen never settled")
    return save_xwd(shots[-1], path)


def pixels_differing(first, second):
    """How many pixels two pictures of one size differ in (ImageMagick's AE)."""
    result = subprocess.run(["compare", "-metric", "AE", first, second, "null:"],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    return int(float(result.stderr.decode().split()[0]))


def pixels(path, points):
    """RGB tuples of the given (x, y) points of a picture."""
    expression = " ".join("%%[fx:int(255*p{%d,%d}.%s+0.5)]" % (x, y, c)
                          for x, y in points for c in "rgb")
    values = [int(v) for v in run(["convert", path, "-format", expression, "info:"]).split()]
    return [tuple(values[i:i + 3]) for i in range(0, len(values), 3)]


def screen_pixels(points, window="root"):
    """RGB tuples of the given (x, y) points of the screen, or of one
    window (by id), as shown now: read from xwd's picture without an image
    converter, so a test can poll a busy screen often and cheaply."""
    data = xwd(window)
    (header_size, _, pixmap_format, _, width, height, _, byte_order, _, _, _, bits_per_pixel,
     bytes_per_line, visual_class, red_mask, green_mask, blue_mask, _, _, colours) = \
        struct.unpack_from(">20I", data)
    # A DirectColor screen (GL windows of that visual on it) maps each
    # channel through the colour map xwd saves: (pixel, red, green, blue,
    # flags) of 16-bit channels.
    colour_map = [struct.unpack_from(">IHHHBx", data, header_size + 12 * i)
                  for i in range(colours)] if visual_class == 5 else None
    # A screen with windows of several visuals comes in 24 bits a pixel.
    step = bits_per_pixel // 8
    check(pixmap_format == 2 and step in (3, 4) and bytes_per_line >= step * width,
          "xwd picture of an unexpected format")
    start = header_size + colours * 12
    order = "little" if byte_order == 0 else "big"

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        return (value & mask) >> shift

    result = []
    for x, y in points:
        check(0 <= x < width and 0 <= y < height, "(%d, %d) is outside %dx%d" % (x, y, width,
                                                                            height))
        at = start + y * bytes_per_line + x * step
        value = int.from_bytes(data[at:at + step], order)
        rgb = [channel(value, m) for m in (red_mask, green_mask, blue_mask)]
        if colour_map:
            rgb = [colour_map[v][1 + i] >> 8 for i, v in enumerate(rgb)]
        result.append(tuple(rgb))
    return result


def mean_brightness(path, geometry=None):
    """Mean of all channels, 0-255, of a picture or of a WxH+X+Y part of it."""
    argv = ["convert", path]
    if geometry:
        argv += ["-crop", geometry, "+repage"]
    argv += ["-format", "%[fx:255*mean]", "info:"]
    return float(run(argv))


def picture_size(path):
    w, h = run(["identify", "-format", "%w %h", path]).split()
    return int(w), int(h)


# ---- faked clocks ---------------------------------------------------------------

def with_libfaketime(env, **settings):
    """env with libfaketime preloaded through the environment and its
    settings (FAKETIME, FAKETIME_TIMESTAMP_FILE, ...) added."""
    libraries = glob.glob("/usr/lib/*/faketime/libfaketime.so.1")
    check(libraries, "libfaketime is not installed (tools/bootstrap.sh installs faketime)")
    env = dict(env, **settings)
    env["LD_PRELOAD"] = ":".join(p for p in (env.get("LD_PRELOAD"), libraries[0]) if p)
    # A sanitizer build wants its runtime first; libfaketime is harmless before it.
    env["ASAN_OPTIONS"] = "verify_asan_link_order=0:" + env.get("ASAN_OPTIONS", "")
    return env


class FrozenClock:
    """A wall clock and timers that stand still at one instant after another,
    read from a file at every call (FAKETIME_TIMESTAMP_FILE, FAKETIME_NO_CACHE)."""

    def __init__(self, directory, day="2026-03-14"):
        self.path = os.path.join(directory, "now.txt")
        self.day = day

    def set(self, instant):
        """Stands the clock at instant ("hh:mm:ss.ffffff" of the day)."""
        with open(self.path + ".new", "w") as f:
            f.write("%s %s\n" % (self.day, instant))
        os.replace(self.path + ".new", self.path)  # never half a time to read

    def environment(self, env):
        """env with libfaketime reading this clock, in UTC."""
        return with_libfaketime(dict(env, TZ="UTC"), FAKETIME_TIMESTAMP_FILE=self.path,
                                FAKETIME_NO_CACHE="1")


class SteppedClock:
    """The wall clock of the programs started with environment(): an offset
    from the real time in a file that libfaketime reads on every call."""

    def __init__(self, directory, zone="UTC"):
        self.path = os.path.join(directory, "wall-clock")
        self.zone = zone
        self.offset = 0.0
        self.shift(0.0)

    def environment(self, env):
        return with_libfaketime(dict(env, TZ=self.zone), FAKETIME_TIMESTAMP_FILE=self.path,
                                FAKETIME_NO_CACHE="1", DONT_FAKE_MONOTONIC="1")

    def epoch(self, local):
        """The calendar time of a local time 'YYYY-MM-DD HH:MM:SS' in the zone."""
        naive = datetime.datetime.strptime(local, "%Y-%m-%d %H:%M:%S")
        return naive.replace(tzinfo=zoneinfo.ZoneInfo(self.zone)).timestamp()

    def set(self, local):
        """The wall clock reads local from now on; returns now (time.monotonic)."""
        return self.shift(self.epoch(local) - time.time() - self.offset)

    def shift(self, seconds):
        """Steps the wall clock by seconds; returns now (time.monotonic)."""
        self.offset += seconds
        stepped_at = time.monotonic()
        # Replaced in one go: a half-written file would be a step of its own.
        with open(self.path + ".new", "w") as new:
            new.write("%+.3f\n" % self.offset)
        os.replace(self.path + ".new", self.path)
        return stepped_at

    def when(self, local):
        """The time.monotonic instant at which the wall clock reads local."""
        return time.monotonic() + (self.epoch(local) - self.offset - time.time())


def faked_clock(env, start, speed=None):
    """env with libfaketime preloaded through the environment: the wall clock
    starts at start ("YYYY-MM-DD hh:mm:ss", in env's TZ) and, with speed,
    it and the timers run that many times as fast; without, the timers are
    left alone. Without the faketime wrapper the started pid is the
    program's own, and Wine hands the preload on to the processes it
    starts. Wine's timed waits need the real timers: a faked monotonic
    clock reads as the faked date, which the wine server takes for a
    deadline far away."""
    if speed:
        return with_libfaketime(env, FAKETIME="@%s x%s" % (start, speed))
    return with_libfaketime(env, FAKETIME="@" + start, DONT_FAKE_MONOTONIC="1")


# ---- the Debian package -----------------------------------------------------------

def debian_package(make=False):
    """The run's Debian package, as `make package` makes it (CPack), in
    test-package in the build folder: made there once per run by the
    package_deb test (make=True), the fixture of the scripts that read it.
    Returns its path."""
    out = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "test-package")
    if make:
        # An earlier version's package would be a second one.
        shutil.rmtree(out, ignore_errors=True)
        run(["cpack", "-G", "DEB", "--config",
             os.path.join(os.environ["TOLVANE_BUILD_DIR"], "CPackConfig.cmake"), "-B", out],
            timeout=300)
    debs = glob.glob(os.path.join(out, "tolvane-screensaver_*_amd64.deb"))
    check(len(debs) == 1, "%s holds %s, not one package (the package_deb test makes it)"
          % (out, os.listdir(out) if os.path.isdir(out) else "nothing"))
    return debs[0]


# ---- test driver -------------------------------------------------------------

def main(tests):
    """Runs the named test functions of a script; exits 1 if any fails, else
    SKIP_CODE if any raised Skipped (the others' results are in the log).

    Usage from a script: harness.main({"name": function, ...}); a command-line
    argument selects one test by name.
    """
    selected = sys.argv[1:] or list(tests)
    failed = []
    skipped = []
    for name in selected:
        log("=== %s" % name)
        started_at = time.time()
        try:
            tests[name]()
            log("--- ok %s (%.1f s)" % (name, time.time() - started_at))
        except Skipped as reason:
            log("--- SKIPPED %s: %s" % (name, reason))
            skipped.append(name)
        except Exception as error:  # report every failure, go on with the rest
            log("--- FAILED %s: %s" % (name, error))
            failed.append(name)
    if failed:
        log("failed: " + ", ".join(failed))
        sys.exit(1)
    if skipped:
        log("skipped: " + ", ".join(skipped))
        sys.exit(SKIP_CODE)


def expect_exit(program, what, timeout=10):
    """Waits up to timeout seconds for program to end; it must end with 0."""
    code = program.wait(timeout)
    check(code is not None, "%s: still running after %s s" % (what, timeout))
    check(code == 0, "%s: exit code %s, not 0; output:\n%s" % (what, code, program.output()))


def scratch_dir(prefix="tolvane-"):
    path = tempfile.mkdtemp(prefix=prefix)
    return path


def remove_dir(path):
    shutil.rmtree(path, ignore_errors=True)


@contextlib.contextmanager
def scratch(prefix="tolvane-"):
    """A scratch folder for one test, removed afterwards, also on failure."""
    path = scratch_dir(prefix)
    try:
        yield path
    finally:
        remove_dir(path)
