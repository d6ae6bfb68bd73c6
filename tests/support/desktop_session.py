"""Throwaway desktop sessions for the tests that run real screensaver hosts,
and what every such host is asked of the clock.

    with DesktopSession(scratch, display, {"NAME": "value"}) as session:
        session.start("dbus-daemon", "--session", "--nofork")
        session.env["MORE"] = "..."       # for the commands started after
        session.processes()               # {pid: (state, command line)}

Every process a session started, and whatever those started, is stopped by
pid at the end. Scripts that run at the same time (ctest -j) each hold
their throwaway uid by an abstract socket of its name, which the kernel
gives back when the script ends, however it ends.
"""
import os
import signal
import socket
import stat
import subprocess
import time

import harness
from harness import TestFailure, check, log

UIDS = range(64100, 65000)


def live_processes():
    """{pid: (uid, session id, state, command line)} of every live process."""
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            uid = os.stat("/proc/" + entry).st_uid
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            continue  # ended meanwhile
        if fields[0] != "Z":  # a zombie has ended; only its parent's wait is missing
            found[int(entry)] = (uid, int(fields[3]), fields[0], command)
    return found


def processes_of(uid):
    """{pid: (state, command line)} of every live process of a uid."""
    return {pid: (state, command) for pid, (owner, _, state, command)
            in live_processes().items() if owner == uid}


def stop_processes(processes):
    """SIGKILLs every process that processes() ({pid: ...}) lists, until it
    lists none (twice at most, 5 s each); says what is left."""
    for _ in range(2):
        for pid in processes():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if harness.wait_until(lambda: not processes(), 5):
            return
    log("left running: %s" % processes())


def take_free_uid():
    """(uid, claim): a uid that no account and no process has, held for this
    script alone while claim is open."""
    taken = {int(line.split(":")[2]) for line in open("/etc/passwd") if line.count(":") >= 2}
    for uid in UIDS:
        if uid in taken:
            continue
        claim = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            claim.bind("\0tolvane-test-uid-%d" % uid)
        except OSError:
            claim.close()
            continue  # another script's
        if not processes_of(uid):
            return uid, claim
        claim.close()
    raise TestFailure("no free uid")


class DesktopSession:
    """Programs run as a desktop session would run them, with a HOME of their
    own under parent: as the script's own user (root), with a runtime
    folder too, each program the leader of a session of its own, so that
    everything it starts (a bus's services, a daemon's saver) is found by
    session; or, throwaway_uid, as a uid that no account and no process
    has (setpriv: needs root), by which all its processes are found, with
    the session's environment alone (env -i)."""

    def __init__(self, parent, display, extra_env, throwaway_uid=False):
        self.uid, self._claim = take_free_uid() if throwaway_uid else (None, None)
        self.home = os.path.join(parent, "home")
        os.makedirs(self.home)
        self.env = {"HOME": self.home, "DISPLAY": display, "PATH": "/usr/bin:/bin",
                    "LANG": "C.UTF-8"}
        if throwaway_uid:
            os.chown(self.home, self.uid, self.uid)
            # A scratch folder is the root's alone; the user needs to reach
            # its home and whatever else the test put there.
            os.chmod(parent, stat.S_IRWXU | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH
                     | stat.S_IXOTH)
        else:
            self.env["XDG_RUNTIME_DIR"] = os.path.join(parent, "run")
            os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        # A sanitizer build's options reach the programs through the hosts too.
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self.env.update(extra_env)
        self.programs = []

    def _spawn(self, command):
        """The argv and environment that run command in the session."""
        if self.uid is None:
            return list(command), dict(self.env)
        # setpriv runs in the script's environment, the command in the session's.
        return (["setpriv", "--reuid=%d" % self.uid, "--regid=%d" % self.uid, "--clear-groups",
                 "env", "-i"] + ["%s=%s" % item for item in self.env.items()] + list(command),
                None)

    def start(self, *command):
        """A harness.Program of command, stopped with the session."""
        argv, env = self._spawn(command)
        program = harness.Program(argv, env=env)
        self.programs.append(program)
        return program

    def run(self, *command):
        """The output of a command that must succeed."""
        argv, env = self._spawn(command)
        return harness.run(argv, env=env)

    def succeeds(self, *command):
        """Whether a command ends with 0 (within 20 s)."""
        argv, env = self._spawn(command)
        return subprocess.run(argv, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=20).returncode == 0

    def write_home_file(self, name, text):
        path = os.path.join(self.home, name)
        with open(path, "w") as f:
            f.write(text)
        if self.uid is not None:
            os.chown(path, self.uid, self.uid)

    def processes(self):
        """{pid: (state, command line)} of every live process of the session."""
        if self.uid is not None:
            return processes_of(self.uid)
        sessions = {program.proc.pid for program in self.programs}
        return {pid: (state, command) for pid, (_, session, state, command)
                in live_processes().items() if session in sessions}

    def stop_everything(self):
        stop_processes(self.processes)
        for program in self.programs:
            program.stop()
        if self._claim is not None:
            self._claim.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop_everything()
        return False


# ---- what every screensaver host is asked -------------------------------------------

def gone_within(still_running, what, seconds=2.0):
    """Waits until still_running() ({pid: ...}) lists nothing, at most
    seconds from now, the moment after what (a host's ending of its saver);
    fails with what is left."""
    began = time.time()
    check(harness.wait_until(lambda: not still_running(), seconds, interval=0.05),
          "still running %g s after %s: %s" % (seconds, what, still_running()))
    log("gone %.2f s after %s" % (time.time() - began, what))


def daemon_runs_the_clock(session, daemon, command, verbs, shown, still_running):
    """A screensaver daemon (a harness.Program) in session, driven by its
    command with verbs (query, activate, deactivate): it answers within
    30 s; activated, shown() finds the clock on screen as that host shows
    it; deactivated, still_running() lists nothing within 2 s, and the
    daemon itself runs on."""
    query, activate, deactivate = verbs
    check(harness.wait_until(lambda: daemon.running() and session.succeeds(command, query), 30),
          "the daemon did not answer %s %s; output:\n%s" % (command, query, daemon.output()))
    check(session.succeeds(command, activate), "%s %s failed" % (command, activate))
    log("%s %s" % (command, activate))
    shown()
    check(session.succeeds(command, deactivate), "%s %s failed" % (command, deactivate))
    gone_within(still_running, "%s %s" % (command, deactivate))
    check(daemon.running(), "the daemon itself ended: " + daemon.output())
