"""The installer's installation on the Wine prefix: where it puts things,
the registry values it writes, waiting for an uninstall's real end, naming
what one left, and taking an installation away again."""
import contextlib
import os
import re
import shutil
import time

import harness
import wine
from harness import check, log

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


def wait_for_screensaver(program):
    found = harness.wait_until(
        lambda: program.running() and harness.find_windows(name="^Tolvane Screensaver$"), 30)
    check(found, "/s: no screensaver window; output: %s" % program.output())
    return found


def restore(server, name, value):
    if value is None:
        server.run("reg", "delete", DESKTOP_KEY, "/v", name, "/f", timeout=60)
    else:
        server.run("reg", "add", DESKTOP_KEY, "/v", name, "/d", value, "/f", timeout=60)


@contextlib.contextmanager
def left_as_found(server):
    """Whatever happens inside, the prefix ends with no installation on it
    and the user's screensaver settings as they were."""
    before = {name: registry_value(server, DESKTOP_KEY, name)
              for name in ("SCRNSAVE.EXE", "ScreenSaveActive")}
    try:
        yield
    finally:
        clean_up(server)
        for name, value in before.items():
            restore(server, name, value)


def runs_full_screen_until_a_key(server):
    """The installed Tolvane.scr, started with /s as the settings start it,
    covers the screen and ends on a key."""
    with server.started(INSTALLED, "/s") as program:
        found = wait_for_screensaver(program)
        check(harness.window_geometry(found[0]) == (0, 0, 1920, 1080), "/s: not full screen")
        end_with(program, "/s and a key", press_a_key)
