"""The Windows build under Wine, for the tests: the one Wine prefix of a test
run, a wineserver of each test's own, and the Windows programs.

The prefix lives in the Linux build folder (build/linux/wine/prefix) and is
made once per test run by the ctest fixture wine_prefix (this module run as a
script: `python3 wine.py setup`). Every Wine test then starts its own
wineserver on it (WineServer) and stops exactly that one at the end, also on
failure. The Windows build folder comes from TOLVANE_WINDOWS_BUILD_DIR; when
its programs are missing the tests fail, saying so.
"""
import contextlib
import os
import queue
import re
import shutil
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
    """Stops a wineserver left on the prefix by an earlier, broken run."""
    if os.path.isdir(env["WINEPREFIX"]):
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


# ---- a wineserver of the test's own ----------------------------------------------

def _server_listening(pid):
    """True once the wineserver of that pid has made its socket. The server
    works in its own server directory, whose place differs between Wine
    builds, so it is found through the process's working directory."""
    try:
        return os.path.exists("/proc/%d/cwd/socket" % pid)
    except OSError:
        return False


class WineServer:
    """A wineserver on the run's prefix that outlives its clients, started and
    stopped by us.

    Started in the foreground so its pid is ours; stopped with `wineserver -k`
    for that prefix, which also ends every Wine process still on it.
    """

    def __init__(self, display):
        self.env = environment(display)
        self.proc = None

    def __enter__(self):
        require_prefix()
        _stop_server_of_prefix(self.env)
        # -p60: should this script be killed before it can stop the server,
        # the server still ends by itself a minute after its last client.
        self.proc = subprocess.Popen(["wineserver", "-f", "-p60"], env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        listening = harness.wait_until(
            lambda: _server_listening(self.proc.pid) or self.proc.poll() is not None, timeout=20)
        if not listening or self.proc.poll() is not None:
            self.__exit__(None, None, None)
            raise TestFailure("wineserver did not start")
        # Wine's services start with the first program on a server and
        # outlive it: started by a program under a faked clock, they would
        # run on that clock and keep a faketime wrapper waiting after the
        # program has ended.
        self.run("cmd", "/c", "exit")
        return self

    def __exit__(self, *exc):
        if self.proc is None:
            return False
        try:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
        except subprocess.TimeoutExpired:
            pass
        try:
            self.proc.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.proc.kill()
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


@contextlib.contextmanager
def session(width=1920, height=1080):
    """An Xvfb and a wineserver for a whole test script; yields the server.
    Fails with one clear line, not a trace, when the Windows build or the
    prefix is missing."""
    try:
        screensaver()
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
    """Runs a test program of the Windows build under Wine on an Xvfb and a
    wineserver of its own; returns its exit code."""
    exe = windows_program(relative)
    with harness.Xvfb() as xvfb, WineServer(xvfb.display) as server:
        program = server.start(exe)
        try:
            code = program.wait(timeout)
            sys.stdout.write(program.output().replace("\r\n", "\n"))
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
    """wine.py setup: make the run's prefix. wine.py run PROGRAM: run a test
    program of the Windows build (a path inside it)."""
    try:
        if sys.argv[1:] == ["setup"]:
            # The Windows build is checked first: without it every Wine test
            # would fail anyway, and this says why at once.
            screensaver()
            create_prefix()
        elif len(sys.argv) == 3 and sys.argv[1] == "run":
            sys.exit(run_windows_test(sys.argv[2]))
        else:
            sys.exit("usage: wine.py setup | wine.py run PROGRAM")
    except TestFailure as error:
        log("FAILED: %s" % error)
        sys.exit(1)


if __name__ == "__main__":
    main()
