"""The Windows installer under Wine, as a user (or a deployment tool) runs it:
a silent install puts Tolvane.scr into the system folder, makes it the
user's screensaver and registers its uninstaller; the installed file runs
with /s and /c and carries the project's version; the silent uninstall
takes all of it away again, also when it starts while the screensaver is
still ending.

Runs on the run's prefix; whatever happens, it ends with nothing of the
installation left there for the other Wine tests.
"""
import os
import re
import shutil
import time

import harness
import wine
from harness import check, log

VERSION = os.environ.get("TOLVANE_VERSION", "")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
SESSION_MANAGER_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"
INSTALLED = r"C:\windows\system32\Tolvane.scr"
# The uninstaller hands over to a copy of itself in the temporary folder,
# whose command line names the installation folder so: "_?=C:\...".
UNINSTALLER_COPY = r"\b_\?="


def installed_file():
    return os.path.join(wine.prefix_dir(), "drive_c", "windows", "system32", "Tolvane.scr")


def uninstaller_file():
    return os.path.join(wine.prefix_dir(), "drive_c", "Program Files", "Tolvane", "Uninstall.exe")


def registry_value(server, key, name):
    """The data of a registry value, or None when the key or the value is
    not there; a read that fails is no answer and fails the test."""
    values = server.registry_key(key)
    return None if values is None else values.get(name.lower())


def left_behind(server):
    """What of the installation is still there, by name."""
    left = [what for what, path in ((INSTALLED, installed_file()),
                                    ("the uninstaller", uninstaller_file()),
                                    ("its folder", os.path.dirname(uninstaller_file())))
            if os.path.exists(path)]
    if server.registry_key(UNINSTALL_KEY) is not None:
        left.append("the uninstall entry")
    return left


def marked_for_restart(server):
    """Whether Tolvane.scr waits to be deleted at the next restart, as a file
    is that was in use when the uninstaller tried it."""
    pending = registry_value(server, SESSION_MANAGER_KEY, "PendingFileRenameOperations")
    return "tolvane.scr" in (pending or "").lower()


def wait_for_uninstall_end(server, copy_seen=False, timeout=120):
    """Waits for the real end of an uninstall whose uninstaller has handed
    over to its copy: that copy ended, or, should it have come and gone
    between two looks, nothing of the installation left. Then nothing may be
    left; what is, is named."""
    seen = [True] if copy_seen else []

    def ended():
        if server.processes(UNINSTALLER_COPY):
            seen.append(True)
            return False
        return bool(seen) or not left_behind(server)

    harness.wait_until(ended, timeout, 0.05)
    running = server.processes(UNINSTALLER_COPY)
    check(not running, "the uninstaller's copy still runs after %d s: %s" % (timeout, running))
    left = left_behind(server)
    if INSTALLED in left and marked_for_restart(server):
        left[left.index(INSTALLED)] += (" (in use when the uninstaller ran: marked for"
                                        " deletion at the next restart)")
    check(not left, "the silent uninstall left %s" % ", ".join(left))


def uninstall(server, quiet):
    """Runs the uninstall command as a deployment tool does, to its real end."""
    command = re.match(r'^"([^"]+)"\s+(.*)$', quiet)
    check(command, "QuietUninstallString %r" % quiet)
    code, out = server.run(command.group(1), *command.group(2).split(), timeout=120)
    check(code == 0, "the uninstaller: exit code %d (output: %s)" % (code, out))
    wait_for_uninstall_end(server)


def clean_up(server):
    """Takes an installation that a failed run left behind off the prefix;
    when the registry gives no answer, whatever there may be."""
    try:
        if not left_behind(server):
            return
    except harness.TestFailure as error:
        log(error)
    log("cleaning up the installation on the prefix")
    for path in (installed_file(), uninstaller_file()):
        if os.path.exists(path):
            os.remove(path)
    shutil.rmtree(os.path.dirname(uninstaller_file()), ignore_errors=True)
    # Left marked, it would be taken for a later run's.
    if marked_for_restart(server):
        server.run("reg", "delete", SESSION_MANAGER_KEY, "/v", "PendingFileRenameOperations",
                   "/f", timeout=60)
    server.run("reg", "delete", UNINSTALL_KEY, "/f", timeout=60)
    if (registry_value(server, DESKTOP_KEY, "SCRNSAVE.EXE") or "").lower() == INSTALLED.lower():
        server.run("reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f", timeout=60)


def end_with(program, what, send, timeout=15):
    """Sends input (send()) until the program ends with 0, within timeout
    seconds. On a loaded machine a Wine window that has just appeared may
    not take input yet: the first key can be lost, so it is sent again
    every 2 s while the program runs."""
    deadline = time.time() + timeout
    while True:
        send()
        code = program.wait(min(2.0, max(deadline - time.time(), 0.1)))
        if code is not None or time.time() >= deadline:
            break
    check(code is not None, "%s did not end within %d s" % (what, timeout))
    check(code == 0, "%s: exit code %d (output: %s)" % (what, code, program.output()))


def press_a_key():
    harness.xdotool("mousemove", 900, 500)
    harness.xdotool("key", "a")


def install(server):
    """A silent install of the build's installer."""
    check(VERSION, "TOLVANE_VERSION is not set (run the tests through ctest)")
    setup = os.path.join(os.environ["TOLVANE_WINDOWS_BUILD_DIR"], "Tolvane-Setup-%s.exe" % VERSION)
    check(os.path.isfile(setup), "no installer at %s: make installer builds it" % setup)
    code, out = server.run(setup, "/S", timeout=120)
    check(code == 0, "the silent install failed (%d): %s" % (code, out))


def wait_for_screensaver(program):
    found = harness.wait_until(
        lambda: program.running() and harness.find_windows(name="^Tolvane Screensaver$"), 30)
    check(found, "/s: no screensaver window; output: %s" % program.output())
    return found


def install_run_and_uninstall(server):
    install(server)
    check(os.path.isfile(installed_file()), "no Tolvane.scr in the system folder")
    with open(installed_file(), "rb") as a, open(wine.screensaver(), "rb") as b:
        check(a.read() == b.read(), "the installed Tolvane.scr is not the build's")
    desktop = server.registry_key(DESKTOP_KEY) or {}
    chosen = desktop.get("scrnsave.exe")
    check((chosen or "").lower() == INSTALLED.lower(), "SCRNSAVE.EXE is %r" % chosen)
    check(desktop.get("screensaveactive") == "1",
          "ScreenSaveActive %r" % desktop.get("screensaveactive"))
    values = server.registry_key(UNINSTALL_KEY)
    check(values is not None, "no uninstall entry %s" % UNINSTALL_KEY)
    entry = {name: values.get(name.lower())
             for name in ("DisplayName", "DisplayVersion", "Publisher", "EstimatedSize",
                          "UninstallString", "QuietUninstallString")}
    log("uninstall entry: %s" % entry)
    check(entry["DisplayName"] == "Tolvane Screensaver", "DisplayName %r" % entry["DisplayName"])
    check(entry["DisplayVersion"] == VERSION, "DisplayVersion %r" % entry["DisplayVersion"])
    check(entry["Publisher"], "no Publisher")
    # The installed size in KiB: the screensaver is a few MiB.
    check(entry["EstimatedSize"] is not None, "no EstimatedSize in the uninstall entry")
    size = int(entry["EstimatedSize"], 0)
    check(1024 < size < 100 * 1024, "EstimatedSize %s KiB" % size)
    quiet = entry["QuietUninstallString"] or ""
    check(quiet.endswith(" /S") and "Uninstall.exe" in quiet, "QuietUninstallString %r" % quiet)
    check(os.path.isfile(uninstaller_file()), "no uninstaller at %s" % uninstaller_file())

    # The installed file, started the way the settings start it.
    with server.started(INSTALLED, "/s") as program:
        found = wait_for_screensaver(program)
        check(harness.window_geometry(found[0]) == (0, 0, 1920, 1080), "/s: not full screen")
        end_with(program, "/s and a key", press_a_key)
    with server.started(INSTALLED, "/c") as program:
        about = harness.wait_until(
            lambda: program.running() and harness.find_windows(name="^About$"), 30)
        check(about, "/c: no About window; output: %s" % program.output())
        end_with(program, "/c and Alt+F4", lambda: harness.run(
            ["xdotool", "key", "--window", str(about[0]), "alt+F4"], check_rc=False))
    # Its resources and version, read from the installed copy by the
    # Windows unit tests' reader of the file.
    env = dict(server.env, TOLVANE_SCR_FILE=INSTALLED)
    reader = harness.Program(["wine", wine.windows_program("tests/tolvane_unit_tests.exe"),
                              "--gtest_filter=ScreensaverFile.*"], env=env)
    try:
        code = reader.wait(120)
        out = reader.output()
        check(code == 0 and "[  PASSED  ] 3 tests" in out, "the installed file's resources:\n" + out)
    finally:
        reader.stop()

    # Another screensaver chosen meanwhile stays chosen: only ours is cleared.
    for chosen, cleared in ((r"C:\windows\other.scr", False), (INSTALLED.upper(), True)):
        install(server)
        code, out = server.run("reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", chosen,
                               "/f", timeout=60)
        check(code == 0, "reg add SCRNSAVE.EXE: exit code %d (output: %s)" % (code, out))
        uninstall(server, quiet)
        left = registry_value(server, DESKTOP_KEY, "SCRNSAVE.EXE")
        if cleared:
            check(left is None, "SCRNSAVE.EXE still names %r" % left)
        else:
            check(left == chosen, "SCRNSAVE.EXE %r, not the other screensaver %r" % (left, chosen))


def uninstall_as_the_screensaver_ends(server):
    """The uninstall a person starts while the screensaver, which a key ends
    a moment later, still runs: the file is in use when the uninstaller
    first tries it, and is removed once the screensaver has ended, not left
    for the next restart."""
    install(server)
    with server.started(INSTALLED, "/s") as program:
        wait_for_screensaver(program)
        code, out = server.run(uninstaller_file(), "/S", timeout=120)
        check(code == 0, "the uninstaller: exit code %d (output: %s)" % (code, out))
        if not harness.wait_until(lambda: server.processes(UNINSTALLER_COPY), 30, 0.02):
            raise harness.TestFailure("no copy of the uninstaller seen running; left: %s"
                                      % left_behind(server))
        end_with(program, "/s and a key during the uninstall", press_a_key)
    wait_for_uninstall_end(server, copy_seen=True)


def restore(server, name, value):
    if value is None:
        server.run("reg", "delete", DESKTOP_KEY, "/v", name, "/f", timeout=60)
    else:
        server.run("reg", "add", DESKTOP_KEY, "/v", name, "/d", value, "/f", timeout=60)


def main():
    with wine.session() as server:
        before = {name: registry_value(server, DESKTOP_KEY, name)
                  for name in ("SCRNSAVE.EXE", "ScreenSaveActive")}
        try:
            harness.main({
                "install_run_and_uninstall": lambda: install_run_and_uninstall(server),
                "uninstall_as_the_screensaver_ends":
                    lambda: uninstall_as_the_screensaver_ends(server),
            })
        finally:
            clean_up(server)
            for name, value in before.items():
                restore(server, name, value)


if __name__ == "__main__":
    main()
