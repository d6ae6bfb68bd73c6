"""A throwaway desktop user for the tests that run real screensaver hosts:
a uid that no account and no process has, with a HOME of its own, whose
processes are all the test's, so that every one of them is stopped by pid
at the end.

    with UserSession(scratch, display, {"NAME": "value"}) as user:
        harness.Program(user.argv("xscreensaver", "-no-splash"))
        user.env["MORE"] = "..."       # for the commands started after
        user.processes()               # {pid: (state, command line)}

Needs root (setpriv). Scripts that run at the same time (ctest -j) each
hold their uid by an abstract socket of its name, which the kernel gives
back when the script ends, however it ends.
"""
import os
import signal
import socket
import stat

import harness
from harness import TestFailure, log

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


class UserSession:
    """Runs commands as a throwaway uid with a HOME of its own under parent,
    and stops by pid every process of that uid that is left at the end."""

    def __init__(self, parent, display, extra_env):
        self.uid, self._claim = take_free_uid()
        self.home = os.path.join(parent, "home")
        os.makedirs(self.home)
        os.chown(self.home, self.uid, self.uid)
        # A scratch folder is the root's alone; the user needs to reach its
        # home and whatever else the test put there.
        os.chmod(parent, stat.S_IRWXU | stat.S_IRGRP | stat.S_IXGRP | stat.S_IROTH | stat.S_IXOTH)
        self.env = {"HOME": self.home, "DISPLAY": display, "PATH": "/usr/bin:/bin",
                    "LANG": "C.UTF-8"}
        # A sanitizer build's options reach the programs through the hosts too.
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"):
            if name in os.environ:
                self.env[name] = os.environ[name]
        self.env.update(extra_env)

    def argv(self, *command):
        return (["setpriv", "--reuid=%d" % self.uid, "--regid=%d" % self.uid, "--clear-groups",
                 "env", "-i"] + ["%s=%s" % item for item in self.env.items()] + list(command))

    def write_home_file(self, name, text):
        path = os.path.join(self.home, name)
        with open(path, "w") as f:
            f.write(text)
        os.chown(path, self.uid, self.uid)

    def processes(self):
        return processes_of(self.uid)

    def stop_everything(self):
        stop_processes(self.processes)
        self._claim.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop_everything()
        return False
