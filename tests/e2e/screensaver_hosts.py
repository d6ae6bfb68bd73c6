"""The installed Debian package under the Linux screensaver hosts other than
xscreensaver, each on an Xvfb of the test's own:

- mate-screensaver, as a MATE session runs it (a session bus, dconf),
  finds the clock by its screensaver entry and runs the installed program.
  Chosen as MATE's Screensaver Preferences choose one (gsettings),
  `mate-screensaver-command --activate` starts it, on screen at the
  system's time within 3 s of its start; stopped for 6 s and continued, as around
  MATE's unlock dialog, it shows the system's time again within 2 s;
  `--deactivate` ends it within 2 s. The daemon logs whatever its savers
  write to standard error: it logs nothing of the clock's.
- xfce4-screensaver (Debian 13 on; where the system has none, the script
  says it skipped this host), the same way as an XFCE session runs it:
  chosen in xfconf as its Screensaver Preferences choose one, and driven
  by xfce4-screensaver-command.
- xsecurelock, run by a throwaway user, runs the program that the README's
  XSECURELOCK_SAVER names: the clock at the system's time, gone within 2 s
  of the locker's own SIGTERM.

The daemons' common run is desktop_session.daemon_runs_the_clock, which
xscreensaver_hack.py asks of xscreensaver too.

The hosts hand their savers a reduced environment (no TZ, no LD_PRELOAD),
so the clock cannot be faked: it is read against the system's own time in
the system's zone, a second either way for the moment a picture changes.

Installing the package needs root, and so do the hosts' runs (MATE's as
root with a home of its own, xsecurelock's as another user): without, the
script says so and is skipped. The package is removed again at the end;
where a package of the clock is installed already, the script leaves it
alone and is skipped.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

import harness
from desktop_session import DesktopSession, daemon_runs_the_clock, gone_within
from harness import check, log
from tile_reader import glyph_templates, read_tiles, seconds_of_day

PACKAGE = "tolvane-screensaver"
HACK = "/usr/libexec/xscreensaver/tolvane-screensaver"
ENTRY = "/usr/share/applications/screensavers/tolvane-screensaver.desktop"
# The theme's name in both desktops' settings: the entry's, in its menu folder.
THEME = "screensavers-" + os.path.basename(ENTRY)[:-len(".desktop")]
README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
DAY = 24 * 3600


def savers(session):
    """The pids of the installed clock among a session's processes."""
    return [pid for pid, (_, command) in session.processes().items()
            if command.split(" ", 1)[0] == HACK]


def system_seconds_of_day(at):
    local = time.localtime(at)
    return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec


def shows_the_system_time(scratch, templates, deadline, what):
    """Screenshots the whole screen until one taken by deadline (time.time())
    shows the system's time of the moment it was taken; fails with the last
    reading. Each reading is judged by the times its own screenshot was
    taken, so a busy machine's slow reading only leaves fewer of them."""
    path = os.path.join(scratch, "screen.xwd")
    last = ["nothing: no screenshot taken in time"]

    def shows_it():
        before = time.time()
        if before > deadline:
            return False
        harness.run(["xwd", "-root", "-silent", "-out", path])
        after = time.time()
        read = read_tiles(path, 1920, 1080, templates)
        shown = [read[p][0] for p in range(4, 10)]
        # The clock takes whole seconds and changes its picture at their
        # turn: a second either way of the time the screenshot took.
        low = system_seconds_of_day(before) - 1
        high = system_seconds_of_day(after) + 1
        if (seconds_of_day(shown) - low) % DAY <= (high - low) % DAY:
            log("%s: %d%d:%d%d:%d%d, the system's time, %.1f s before the deadline"
                % ((what,) + tuple(shown) + (deadline - before,)))
            return True
        last[0] = "%d%d:%d%d:%d%d at %s" % (tuple(shown) + (
            time.strftime("%H:%M:%S", time.localtime(before)),))
        return False

    check(harness.wait_until(shows_it, max(0.0, deadline - time.time()), interval=0.05),
          "%s: the screen showed %s" % (what, last[0]))


# ---- mate-screensaver and xfce4-screensaver ------------------------------------------

class DesktopHost:
    """A desktop's screensaver daemon: how its Screensaver Preferences store
    the choice of one theme (and that neither idleness nor a lock gets in
    the test's way), and the names of its daemon and its command."""

    def __init__(self, daemon, desktop, command, settings):
        self.daemon, self.desktop, self.command, self.settings = daemon, desktop, command, settings


class MateHost(DesktopHost):
    # MATE keeps its settings in dconf, through gsettings.
    def __init__(self):
        super().__init__(["mate-screensaver", "--no-daemon", "--debug"], "MATE",
                         "mate-screensaver-command", [
            ("mode", "'single'"),
            ("themes", "['%s']" % THEME),
            ("idle-activation-enabled", "false"),
            ("lock-enabled", "false"),
        ])

    def choose(self, session):
        for key, value in self.settings:
            session.run("gsettings", "set", "org.mate.screensaver", key, value)
            stored = session.run("gsettings", "get", "org.mate.screensaver", key)
            check(stored.strip() == value, "%s not stored: %s" % (key, stored))


class XfceHost(DesktopHost):
    # XFCE keeps its settings in xfconf (channel xfce4-screensaver); its
    # saver modes are 0 blank only, 1 random, 2 one theme.
    def __init__(self):
        super().__init__(["xfce4-screensaver", "--debug"], "XFCE",
                         "xfce4-screensaver-command", [
            ("/saver/enabled", "bool", "true"),
            ("/saver/mode", "int", "2"),
            ("/saver/themes/list", "string", THEME),
            ("/saver/idle-activation/enabled", "bool", "false"),
            ("/lock/enabled", "bool", "false"),
        ])

    def choose(self, session):
        for prop, kind, value in self.settings:
            array = ["--force-array"] if prop.endswith("/list") else []
            session.run("xfconf-query", "-c", "xfce4-screensaver", "-p", prop, "--create",
                        "-t", kind, "-s", value, *array)
            stored = session.run("xfconf-query", "-c", "xfce4-screensaver", "-p", prop)
            # An array is printed after a line that counts its items.
            check(stored.strip().splitlines()[-1].strip() == value,
                  "%s not stored: %s" % (prop, stored))


def desktop_host_runs_the_installed_clock(host):
    templates = glyph_templates()
    # As root: the session bus wants its user in the password database,
    # which a throwaway uid is not. An X server of its own: the clock is
    # read off the whole screen, where a saver that another host left would
    # read as this host's.
    with harness.scratch("tolvane-%s-" % host.desktop.lower()) as scratch, \
            harness.Xvfb() as xvfb, \
            DesktopSession(scratch, xvfb.display,
                           {"XDG_CURRENT_DESKTOP": host.desktop, "NO_AT_BRIDGE": "1"}) as session:
        # The session bus that a desktop session has; the settings' keeper
        # (dconf, xfconfd) is started through it.
        bus = session.start("dbus-daemon", "--session", "--nofork", "--print-address=1")

        def bus_address():
            found = re.search(r"^(unix:\S+)\n", bus.output(), re.M)
            return found and found.group(1)

        address = harness.wait_until(bus_address, 20)
        check(address, "no session bus: " + bus.output())
        session.env["DBUS_SESSION_BUS_ADDRESS"] = address
        host.choose(session)
        daemon = session.start(*host.daemon)

        def shown():
            activated = time.time()
            # The 3 s are the clock's: they run from the moment the host
            # starts it, which a busy machine delays by seconds in either host.
            check(harness.wait_until(lambda: savers(session), 10, interval=0.05),
                  "no clock started within 10 s of --activate: %s" % session.processes())
            started = time.time()
            log("the daemon started the clock %.2f s after --activate" % (started - activated))
            shows_the_system_time(scratch, templates, started + 3,
                                  "3 s after the daemon started it")
            running = savers(session)
            check(len(running) == 1, "the daemon runs %s" % session.processes())
            saver = running[0]
            log("the daemon runs %s" % session.processes()[saver][1])
            stopped_and_continued(session, saver, scratch, templates)

        daemon_runs_the_clock(session, daemon, host.command,
                              ("--query", "--activate", "--deactivate"), shown,
                              lambda: savers(session))
        logged = [line for line in daemon.output().splitlines() if "command output:" in line]
        check(not logged, "the daemon logged the clock's standard error:\n" + "\n".join(logged))


def stopped_and_continued(session, saver, scratch, templates):
    """Stopped, as the desktops stop their saver while the unlock dialog
    shows (the test stops it itself, so that the stop is as long whichever
    host it is), and continued, the saver shows the system's time at once."""
    os.kill(saver, signal.SIGSTOP)
    check(harness.wait_until(lambda: session.processes().get(saver, ("",))[0] == "T", 5),
          "the clock did not stop: %s" % (session.processes().get(saver),))
    # Six seconds of the system's time, the clock stopped throughout: a
    # host continuing it sooner would leave it less to catch up.
    stopped = time.time()

    def stopped_six_seconds():
        state = session.processes().get(saver, ("",))[0]
        check(state == "T", "the clock was continued during its stop: %s" % (state,))
        return time.time() >= stopped + 6

    check(harness.wait_until(stopped_six_seconds, 10), "the stop did not last 6 s")
    os.kill(saver, signal.SIGCONT)
    continued = time.time()
    shows_the_system_time(scratch, templates, continued + 2, "2 s after a 6 s stop")


def mate_screensaver_runs_the_installed_clock():
    desktop_host_runs_the_installed_clock(MateHost())


def xfce4_screensaver_runs_the_installed_clock():
    if shutil.which("xfce4-screensaver") is None:
        # Debian 12 does not carry it; tools/bootstrap.sh installs it where
        # the release does.
        log("SKIPPED this host: xfce4-screensaver is not available on this system")
        return
    desktop_host_runs_the_installed_clock(XfceHost())


# ---- xsecurelock -----------------------------------------------------------------------

def readme_saver():
    """The program the README tells xsecurelock's users to name."""
    with open(README, encoding="utf-8") as f:
        named = set(re.findall(r"XSECURELOCK_SAVER=(\S+) ", f.read()))
    check(named == {HACK}, "the README names %s for XSECURELOCK_SAVER" % sorted(named))
    return named.pop()


def xsecurelock_runs_the_installed_clock():
    templates = glyph_templates()
    saver = readme_saver()
    # An X server of its own, as each desktop host has.
    with harness.scratch("tolvane-xsecurelock-") as scratch, harness.Xvfb() as xvfb, \
            DesktopSession(scratch, xvfb.display,
                           # Xvfb offers Composite but nothing composites.
                           {"XSECURELOCK_NO_COMPOSITE": "1", "XSECURELOCK_SAVER": saver},
                           throwaway_uid=True) as user:
        locker = user.start("xsecurelock")
        check(harness.wait_until(lambda: savers(user), 30),
              "no clock runs: %s; output:\n%s" % (user.processes(), locker.output()))
        log("the locker runs %s" % [user.processes()[pid][1] for pid in savers(user)])
        shows_the_system_time(scratch, templates, time.time() + 15,
                              "15 s after the clock started under xsecurelock")

        locker.proc.send_signal(signal.SIGTERM)
        gone_within(lambda: savers(user), "the locker's SIGTERM")
        check(locker.wait(10) is not None, "the locker did not end: " + locker.output())


# ---- the package, installed for the run ---------------------------------------------------

def apt_get(*args):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    # Another install on the machine (a bootstrap) may hold dpkg's lock.
    return harness.run(["apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=300",
                        "--no-install-recommends"] + list(args), timeout=900, env=env)


def installed_version():
    result = subprocess.run(["dpkg-query", "-W", "-f", "${Status} ${Version}", PACKAGE],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    words = result.stdout.decode().split()
    return words[-1] if result.returncode == 0 and words[:3] == ["install", "ok", "installed"] \
        else None


def main():
    if os.geteuid() != 0:
        log("SKIPPED: installing the package and running a user of the test's own need root")
        sys.exit(harness.SKIP_CODE)
    if installed_version() is not None:
        log("SKIPPED: %s %s is installed on this machine; the test installs its own and would"
            " remove it (apt-get purge %s to run the test)" % (PACKAGE, installed_version(),
                                                               PACKAGE))
        sys.exit(harness.SKIP_CODE)
    # The system's time as the hosts' savers see it: no TZ.
    os.environ.pop("TZ", None)
    time.tzset()
    apt_get("install", harness.debian_package())
    try:
        check(os.path.isfile(HACK) and os.path.isfile(ENTRY),
              "the package did not install %s and %s" % (HACK, ENTRY))
        harness.main({
            "mate_screensaver_runs_the_installed_clock": mate_screensaver_runs_the_installed_clock,
            "xfce4_screensaver_runs_the_installed_clock":
                xfce4_screensaver_runs_the_installed_clock,
            "xsecurelock_runs_the_installed_clock": xsecurelock_runs_the_installed_clock,
        })
    finally:
        apt_get("purge", PACKAGE)
        check(installed_version() is None and not os.path.exists(HACK),
              "the package is still installed")


if __name__ == "__main__":
    main()
