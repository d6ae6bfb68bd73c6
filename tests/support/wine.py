"""The Windows build under Wine, for the tests: the one Wine prefix of a test
run, the X server and wineserver the tests share, and the Windows programs.

The ctest fixture wine (this module run as a script) makes the prefix in the
Linux build folder (build/linux/wine/prefix) and starts an Xvfb and a
wineserver on it that every Wine test whose screen is the usual 1920x1080
uses in turn (`wine.py setup`); its cleanup test stops exactly those again,
also when tests failed (`wine.py cleanup`). Should the ctest run end
without the cleanup (interrupted), a watcher that the set-up leaves behind
stops them once ctest has gone. What was started is recorded in
build/linux/wine/server.json.

A test on another screen (portrait, two monitors) has an X server and a
wineserver of its own (WineServer); a prefix has only one wineserver, so the
shared one is stopped for it and started again by the next test that shares.
The Windows build folder comes from TOLVANE_WINDOWS_BUILD_DIR; when its
programs are missing the tests fail, saying so.
"""
import contextlib
import json
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

import harness
from harness import TestFailure, check, log

DLL_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d"


# ---- where things are ---------------------------------------------------------

def _required_env(name):
    value = os.environ.get(name, "")
    if not value:
        raise TestFailure("%s is not set (run the tests through ctest)" % name)
    return value


def wine_dir():
    return os.path.join(_required_env("TOLVANE_BUILD_DIR"), "wine")


def prefix_dir():
    return os.path.join(wine_dir(), "prefix")


def home_dir():
    return os.path.join(wine_dir(), "home")


def windows_program(relative):
    """A program of the Windows build; a clear failure when it is not built."""
    build = _required_env("TOLVANE_WINDOWS_BUILD_DIR")
    path = os.path.join(build, relative)
    if not os.path.isfile(path):
        raise TestFailure(
            "the Windows build is missing %s: build the windows preset first "
            "(cmake --preset windows && cmake --build --preset windows, or make test)" % path)
    return path


def screensaver():
    return windows_program(os.path.join("src", "host", "Tolvane.scr"))


def environment(display=None):
    """The environment for Wine programs: the run's prefix, a scratch HOME."""
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": prefix_dir(),
        "HOME": home_dir(),
        "WINEDEBUG": "-all",
        "WINEDLLOVERRIDES": DLL_OVERRIDES,
    })
    if display:
        env["DISPLAY"] = display
    return env


# ---- the prefix -------------------------------------------------------------------

def _stop_server_of_prefix(env):
    """Stops the wineserver on the prefix, if one runs, and every Wine process
    on it."""
    if os.path.isdir(env["WINEPREFIX"]):
        with contextlib.suppress(subprocess.TimeoutExpired, FileNotFoundError):
            subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)


def create_prefix():
    """Makes a fresh prefix for this test run (about 15-20 s)."""
    if shutil.which("wine") is None or shutil.which("wineserver") is None:
        raise TestFailure("wine is not installed (tools/bootstrap.sh installs it)")
    env = environment()
    _stop_server_of_prefix(env)
    shutil.rmtree(wine_dir(), ignore_errors=True)
    os.makedirs(home_dir())
    started_at = time.time()
    with harness.Xvfb() as xvfb:
        env["DISPLAY"] = xvfb.display
        try:
            harness.run(["wine", "wineboot", "--init"], timeout=180, env=env)
            harness.run(["wineserver", "-w"], timeout=120, env=env)
            # Without a window manager, unmanaged windows avoid a 2 s stall
            # whenever a window is destroyed.
            harness.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                         "/d", "N", "/f"], timeout=120, env=env)
            harness.run(["wineserver", "-w"], timeout=120, env=env)
        finally:
            subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
    with open(os.path.join(wine_dir(), "ready"), "w") as stamp:
        stamp.write("%s\n" % harness.run(["wine", "--version"], env=env).strip())
    log("wine prefix ready in %.1f s: %s" % (time.time() - started_at, prefix_dir()))


def require_prefix():
    if not os.path.isfile(os.path.join(wine_dir(), "ready")):
        raise TestFailure("no Wine prefix at %s: the fixture test wine_prefix makes it "
                          "(ctest runs it first)" % prefix_dir())


# ---- wineservers -------------------------------------------------------------------

def _server_listening(pid):
    """True once the wineserver of that pid has made its socket. The server
    works in its own server directory, whose place differs between Wine
    builds, so it is found through the process's working directory."""
    try:
        return os.path.exists("/proc/%d/cwd/socket" % pid)
    except OSError:
        return False


def _start_wineserver(env, persistent="-p60"):
    """Starts a wineserver on the prefix, in the foreground so its pid is
    ours, and its services; returns its process."""
    _stop_server_of_prefix(env)
    proc = subprocess.Popen(["wineserver", "-f", persistent], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    listening = harness.wait_until(
        lambda: _server_listening(proc.pid) or proc.poll() is not None, timeout=20)
    if not listening or proc.poll() is not None:
        _stop_wineserver(env, _record(proc.pid))
        raise TestFailure("wineserver did not start")
    # Wine's services start with the first program on a server and outlive
    # it: started by a program under a faked clock, they would run on that
    # clock and keep a faketime wrapper waiting after the program has ended.
    WineServer(env["DISPLAY"], env).run("cmd", "/c", "exit")
    return proc


def _stop_wineserver(env, record):
    """Stops the wineserver on the prefix with every Wine process on it, and
    waits for the recorded one to end, killing it if need be."""
    _stop_server_of_prefix(env)
    _end(record)


class WineServer:
    """A wineserver on the run's prefix. As a with block, one of the test's
    own, on the display given, that outlives its clients: started and
    stopped by us (stopping also ends every Wine process still on it).
    Otherwise only the means to run programs on the server that runs."""

    def __init__(self, display, env=None):
        self.env = dict(env or environment(display))
        self.proc = None

    def __enter__(self):
        require_prefix()
        # -p60: should this script be killed before it can stop the server,
        # the server still ends by itself a minute after its last client.
        self.proc = _start_wineserver(self.env)
        self.record = _record(self.proc.pid)
        return self

    def __exit__(self, *exc):
        if self.proc is not None:
            _stop_wineserver(self.env, self.record)
            self.proc.wait(timeout=10)
        return False

    def start(self, exe, *args):
        """A Windows program under Wine, as a harness.Program."""
        return harness.Program(["wine", exe] + [str(a) for a in args], env=self.env)

    @contextlib.contextmanager
    def started(self, exe, *args):
        """start() for a with block, whose end stops the program if it runs."""
        program = self.start(exe, *args)
        try:
            yield program
        finally:
            program.stop()

    def run(self, exe, *args, timeout=120):
        """Runs a Windows program to its end; returns (exit code, output)."""
        program = self.start(exe, *args)
        try:
            code = program.wait(timeout)
            check(code is not None, "%s did not end within %d s" % (exe, timeout))
            return code, program.output()
        finally:
            program.stop()

    def answer(self, parse, exe, *args, attempts=3, timeout=60):
        """Runs a Windows program that reports something and returns
        parse(exit code, output), the exit code None when it did not end in
        time. parse returns NO_ANSWER for a run that said nothing about what
        it reports (a Wine process that failed to start, output not in the
        program's form): such a run is logged with its exit code and output
        and tried again, attempts times in all, before the test fails with
        what each try returned. An answer, also "not there", is never
        retried."""
        failures = []
        for _ in range(attempts):
            program = self.start(exe, *args)
            try:
                code = program.wait(timeout)
                out = program.output()
            finally:
                program.stop()
            value = parse(code, out)
            if value is not NO_ANSWER:
                return value
            failures.append("exit code %s, output %r" % (code, out))
            log("no answer from %s: %s" % (" ".join((exe,) + args), failures[-1]))
        raise TestFailure("no answer from %s: %s" % (" ".join((exe,) + args), "; ".join(failures)))

    def registry_key(self, key):
        """The values of a registry key, all read by one `reg query`: a dict
        from value name in lower case (Windows compares names without regard
        to case) to the data as reg prints it ("0x6c33" for a DWORD), or None
        when reg says the key does not exist. Any other failure is no answer
        (see answer())."""
        return self.answer(lambda code, out: parse_reg_query(key, code, out), "reg", "query", key)

    def processes(self, pattern):
        """(pid, command line) of the Wine processes on this server's prefix
        whose Windows command line (Wine shows it as the process's) matches
        the regular expression pattern."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environ = f.read().split(b"\0")
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    command = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
            except OSError:  # ended meanwhile, or not ours to read
                continue
            prefix = ("WINEPREFIX=" + self.env["WINEPREFIX"]).encode()
            if prefix in environ and re.search(pattern, command):
                found.append((int(pid), command))
        return found


# ---- the servers the tests share --------------------------------------------------
#
# What the shared servers keep from one test to the next, and where it is put
# back:
# - Wine processes: a test's own left running (by a time-out: a clock that
#   holds the single-instance event, a preview host, an About window, the
#   uninstaller's copy), and Wine's desktop process (explorer) and the
#   services started on demand, which take the environment of the program
#   that started them (a faked clock, a swap log). Every process on the
#   prefix but the wineserver and the services of its first program (a
#   clean one) is ended as a test starts and as it ends, so each test
#   starts them as on a new server (SharedWineServer).
# - The X server's root background (painted by the full-screen test), the
#   pointer and the keyboard focus: put back to a new Xvfb's as a test
#   starts (SharedWineServer).
# - The wineserver's session: system parameters set for the session only
#   (mouse trails), which the full-screen test puts back as it found them
#   itself. A test that did not end cleanly (a failure that ended its
#   script, a time-out) leaves the mark "in-use" behind, and the next test
#   then starts with a new Xvfb and wineserver.
# - The registry that is saved in the prefix, which every test of a run
#   shared already: the installer tests leave it as they found it.
# The display's power state that the full-screen test sends is a message to
# the clock's windows: it ends with the clock.

SHARED_SCREEN = (1920, 1080)


def _state_file():
    return os.path.join(wine_dir(), "server.json")


def _in_use_mark():
    return os.path.join(wine_dir(), "in-use")


def _start_time(pid):
    """The start time of a running process (clock ticks since boot, as
    /proc says), or None when it has ended."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except (OSError, IndexError):
        return None
    return None if fields[0] in ("Z", "X") else fields[19]


def _record(pid):
    """What identifies a process later, when its pid may be another's."""
    return {"pid": pid, "start": _start_time(pid)}


def _alive(record):
    return bool(record) and _start_time(record["pid"]) == record["start"]


def _end(record, sig=None, grace=15):
    """Ends the recorded process if it still runs: sig first (None when it
    has been asked to end already), SIGKILL after grace seconds."""
    if not _alive(record):
        return
    if sig is not None:
        with contextlib.suppress(ProcessLookupError):
            os.kill(record["pid"], sig)
    if not harness.wait_until(lambda: not _alive(record), grace, 0.05):
        with contextlib.suppress(ProcessLookupError):
            os.kill(record["pid"], signal.SIGKILL)
        harness.wait_until(lambda: not _alive(record), 10, 0.05)


def _read_state():
    try:
        with open(_state_file()) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def _write_state(state):
    with open(_state_file() + ".new", "w") as f:
        json.dump(state, f)
    os.replace(_state_file() + ".new", _state_file())


def _prefix_processes(env):
    """Records of the processes on the prefix but this script and its callers
    (which may have the prefix in their environment too)."""
    ours = set()
    pid = os.getpid()
    while pid > 1:
        ours.add(pid)
        try:
            with open("/proc/%d/stat" % pid) as f:
                pid = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, IndexError, ValueError):
            break
    return [_record(pid) for pid, _ in WineServer(None, env).processes("")
            if pid not in ours]


def start_shared():
    """Starts the shared Xvfb and wineserver where they do not run, and
    records them; a new Xvfb gets a new wineserver, as Wine's services are
    clients of the X server they started on. Returns the record."""
    state = _read_state() or {}
    env = environment()
    if not _alive(state.get("xvfb")):
        _stop_wineserver(env, state.get("wineserver"))
        # Left running; stop_shared ends it by its record.
        xvfb = harness.Xvfb(*SHARED_SCREEN).__enter__()
        state = dict(state, display=xvfb.display, xvfb=_record(xvfb.proc.pid), wineserver=None)
        _write_state(state)
    if not _alive(state.get("wineserver")) or not all(map(_alive, state.get("services", []))):
        env["DISPLAY"] = state["display"]
        # -p: it waits for the next test however long that takes; the
        # cleanup test, or the watcher, ends it.
        server = _start_wineserver(env, "-p")
        state["wineserver"] = _record(server.pid)
        state["services"] = [r for r in _prefix_processes(env) if r["pid"] != server.pid]
        _write_state(state)
        log("shared wineserver started on %s: %d services" % (state["display"],
                                                              len(state["services"])))
    return state


def stop_shared():
    """Stops what start_shared started, by its record, with every Wine
    process on the prefix, and the watcher unless it is the caller."""
    state = _read_state() or {}
    _stop_wineserver(environment(), state.get("wineserver"))
    _end(state.get("xvfb"), signal.SIGTERM)
    watcher = state.get("watcher")
    if watcher and watcher["pid"] != os.getpid():
        _end(watcher, signal.SIGTERM)
    for path in (_state_file(), _in_use_mark()):
        with contextlib.suppress(FileNotFoundError):
            os.remove(path)


def _start_watcher():
    """Leaves a process that stops the shared servers once the ctest run that
    started them (this script's parent) has gone, should it end without
    the cleanup test."""
    state = _read_state()
    watcher = subprocess.Popen(
        [sys.executable, os.path.abspath(__file__), "watch", json.dumps(_record(os.getppid()))],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    state["watcher"] = _record(watcher.pid)
    _write_state(state)


def _watch(ctest):
    while True:
        time.sleep(1)
        state = _read_state()
        if not state or (state.get("watcher") or {}).get("pid") != os.getpid():
            return  # the cleanup test has run
        if not _alive(ctest):
            stop_shared()
            return


class SharedWineServer(WineServer):
    """The shared wineserver on the shared Xvfb (DISPLAY is set to it), for
    one test script: as a with block, it starts them where they do not run
    and puts back what a test may have changed (see above)."""

    def __init__(self):
        super().__init__(None)
        self.failed = False  # set by a caller that learns of a failure otherwise
        self.state = None

    def __enter__(self):
        require_prefix()
        if _read_state() is None:
            raise TestFailure("no shared Wine server in %s: the fixture test wine_prefix starts "
                              "it (ctest runs it first)" % wine_dir())
        if os.path.exists(_in_use_mark()):
            log("the last test on the shared Wine servers did not end cleanly: new ones")
            state = _read_state()
            _stop_wineserver(environment(), state.get("wineserver"))
            _end(state.get("xvfb"), signal.SIGTERM)
        self.state = start_shared()
        self.env = environment(self.state["display"])
        os.environ["DISPLAY"] = self.state["display"]
        self._end_leftovers()
        # A new Xvfb's root background, pointer and keyboard focus
        # (PointerRoot, which X numbers 1).
        harness.run(["xsetroot", "-def"])
        harness.xdotool("mousemove", SHARED_SCREEN[0] // 2, SHARED_SCREEN[1] // 2)
        harness.xdotool("windowfocus", 1)
        open(_in_use_mark(), "w").close()
        return self

    def __exit__(self, exc_type, exc, tb):
        self._end_leftovers()
        ended_well = exc_type is None or (exc_type is SystemExit and
                                          exc.code in (None, 0, harness.SKIP_CODE))
        if ended_well and not self.failed:
            with contextlib.suppress(FileNotFoundError):
                os.remove(_in_use_mark())
        return False

    def _end_leftovers(self):
        kept = {r["pid"] for r in self.state["services"]} | {self.state["wineserver"]["pid"]}
        left = [r for r in _prefix_processes(self.env) if r["pid"] not in kept]
        if left:
            log("ending %d Wine processes on the shared server (the desktop's, services "
                "started on demand, the test's own left running)" % len(left))
        for record in left:
            _end(record, signal.SIGKILL)


@contextlib.contextmanager
def session(width=1920, height=1080):
    """The X server and wineserver for a whole test script; yields the
    wineserver. The shared ones on their screen (SHARED_SCREEN); for another,
    an Xvfb of that size and a wineserver of the script's own, which stops
    the shared wineserver (a prefix has one). Fails with one clear line, not
    a trace, when the Windows build or the prefix is missing."""
    try:
        screensaver()
        if (width, height) == SHARED_SCREEN:
            with SharedWineServer() as server:
                yield server
        else:
            with harness.Xvfb(width, height) as xvfb, WineServer(xvfb.display) as server:
                yield server
    except TestFailure as error:
        log("FAILED: %s" % error)
        sys.exit(1)


# ---- the registry ------------------------------------------------------------------

_ROOTS = {"HKLM": "HKEY_LOCAL_MACHINE", "HKCU": "HKEY_CURRENT_USER", "HKCR": "HKEY_CLASSES_ROOT",
          "HKU": "HKEY_USERS", "HKCC": "HKEY_CURRENT_CONFIG"}
# reg's answer, with exit code 1, for a key that is not there.
_NO_SUCH_KEY = "reg: Unable to find the specified registry key"
# What WineServer.answer's parse returns for a run that gave no answer.
NO_ANSWER = object()


def parse_reg_query(key, code, out):
    """What `reg query KEY` (without /v) answered: {lower-case name: data},
    None for reg's "no such key", or NO_ANSWER when it is neither. Its
    output is the key's full name, a line "    NAME    TYPE    DATA" for
    each value, then the full names of the subkeys."""
    lines = [line.rstrip("\r") for line in out.split("\n")]
    if code == 1 and _NO_SUCH_KEY in lines:
        return None
    root, _, rest = key.partition("\\")
    full_name = (_ROOTS.get(root.upper(), root) + "\\" + rest).lower()
    if code != 0 or full_name not in (line.strip().lower() for line in lines):
        return NO_ANSWER
    values = {}
    for line in lines:
        if line.startswith("    "):
            fields = line[4:].split("    ", 2)
            if len(fields) < 2 or not fields[1].startswith("REG_"):
                return NO_ANSWER
            values[fields[0].lower()] = fields[2] if len(fields) == 3 else ""
    return values


# ---- the stand-in for the Screen Saver Settings dialog --------------------------

class PreviewHost:
    """preview_host.exe under Wine: its output lines are read on a thread of
    our own, commands go to its standard input."""

    def __init__(self, server, *args, env=None):
        self.lines = queue.Queue()
        self.proc = subprocess.Popen(
            ["wine", windows_program(os.path.join("tests", "preview_host.exe"))] + list(args),
            env=env or server.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, start_new_session=True)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.seen = []  # every line, for failure messages
        self.pending = []  # lines no expect() has taken yet

    def _read(self):
        for raw in self.proc.stdout:
            self.lines.put((time.time(), raw.decode(errors="replace").strip()))
        self.lines.put((time.time(), None))

    def expect(self, prefix, timeout=45):
        """The first output line starting with prefix, waiting at most timeout
        seconds; returns (arrival time, rest of the line). Lines that do not
        match are kept for later calls, so an "exit" line is never lost. The
        bound is wide: a Wine program can take many seconds to start on a
        loaded machine."""
        for index, (arrived, line) in enumerate(self.pending):
            if line.startswith(prefix):
                del self.pending[index]
                return arrived, line[len(prefix):].strip()
        deadline = time.time() + timeout
        while True:
            remaining = deadline - time.time()
            try:
                arrived, line = self.lines.get(timeout=max(remaining, 0.01))
            except queue.Empty:
                raise TestFailure("preview host: no '%s' within %d s (output: %s)"
                                  % (prefix, timeout, self.seen)) from None
            if line is None:
                raise TestFailure("preview host ended before '%s' (output: %s)"
                                  % (prefix, self.seen))
            self.seen.append(line)
            if line.startswith(prefix):
                return arrived, line[len(prefix):].strip()
            self.pending.append((arrived, line))

    def command(self, text, answer="ok", timeout=45):
        self.proc.stdin.write((text + "\n").encode())
        self.proc.stdin.flush()
        return self.expect(answer, timeout)[1]

    def close(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.flush()
                self.proc.wait(timeout=10)
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait(timeout=10)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False


# ---- X windows that Wine made ---------------------------------------------------------

_TREE_LINE = re.compile(r'^\s*(0x[0-9a-f]+) (?:"([^"]*)"|\(has no name\)).*?'
                        r'(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)\s*$')


def x_windows():
    """(id, name, width, height, absolute x, absolute y) of every X window,
    from xwininfo -root -tree. A window that goes away while the tree is read
    makes xwininfo fail; the tree is then read again."""
    def tree():
        result = subprocess.run(["xwininfo", "-root", "-tree"], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, timeout=30)
        return result.stdout.decode(errors="replace") if result.returncode == 0 else None
    text = harness.wait_until(tree, 10, 0.05)
    check(text is not None, "xwininfo could not read the window tree")
    windows = []
    for line in text.splitlines():
        match = _TREE_LINE.match(line)
        if match:
            g = match.groups()
            windows.append((int(g[0], 16), g[1] or "", int(g[2]), int(g[3]), int(g[6]),
                            int(g[7])))
    return windows


def run_windows_test(relative, timeout=300):
    """Runs a test program of the Windows build under Wine on the shared
    servers; returns its exit code."""
    exe = windows_program(relative)
    with SharedWineServer() as server:
        program = server.start(exe)
        try:
            code = program.wait(timeout)
            sys.stdout.write(program.output().replace("\r\n", "\n"))
            server.failed = code != 0
            if code is None:
                log("FAILED: %s did not end within %d s" % (exe, timeout))
                return 1
            if code != 0:
                # A Wine process that dies early may say nothing else.
                log("%s ended with exit code %d" % (exe, code))
            return code
        finally:
            program.stop()


def main():
    """wine.py setup: make the run's prefix and start the shared servers.
    wine.py cleanup: stop them. wine.py run PROGRAM: run a test program of
    the Windows build (a path inside it)."""
    try:
        if sys.argv[1:] == ["setup"]:
            # An earlier run's servers, should it have ended without its
            # cleanup and its watcher not have stopped them yet.
            stop_shared()
            # The Windows build is checked first: without it every Wine test
            # would fail anyway, and this says why at once.
            screensaver()
            create_prefix()
            start_shared()
            _start_watcher()
        elif sys.argv[1:] == ["cleanup"]:
            stop_shared()
        elif len(sys.argv) == 3 and sys.argv[1] == "watch":
            _watch(json.loads(sys.argv[2]))
        elif len(sys.argv) == 3 and sys.argv[1] == "run":
            sys.exit(run_windows_test(sys.argv[2]))
        else:
            sys.exit("usage: wine.py setup | cleanup | run PROGRAM")
    except TestFailure as error:
        log("FAILED: %s" % error)
        sys.exit(1)


if __name__ == "__main__":
    main()
