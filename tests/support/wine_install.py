"""The installer's installation on the Wine prefix: where it puts things,
the registry values it writes, and taking an installation away again."""
import contextlib
import os
import re
import shutil

import harness
import wine
from harness import check, log

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
INSTALLED = r"C:\windows\system32\Tolvane.scr"


def installed_file():
    return os.path.join(wine.prefix_dir(), "drive_c", "windows", "system32", "Tolvane.scr")


def uninstaller_file():
    return os.path.join(wine.prefix_dir(), "drive_c", "Program Files", "Tolvane", "Uninstall.exe")


def registry_value(server, key, name):
    """The data of a registry value, or None when there is none."""
    code, out = server.run("reg", "query", key, "/v", name, timeout=60)
    if code != 0:
        return None
    for line in out.splitlines():
        match = re.match(r"^\s+(\S+)\s+(REG_\w+)\s*(.*?)\s*$", line)
        if match and match.group(1).lower() == name.lower():
            return match.group(3)
    return None


def installation_gone(server):
    """Neither the file, nor the uninstaller and its folder, nor the entry."""
    return (not os.path.exists(installed_file()) and
            not os.path.exists(os.path.dirname(uninstaller_file())) and
            registry_value(server, UNINSTALL_KEY, "DisplayName") is None)


def clean_up(server):
    """Takes an installation that a failed run left behind off the prefix."""
    if installation_gone(server):
        return
    log("cleaning up the installation on the prefix")
    for path in (installed_file(), uninstaller_file()):
        if os.path.exists(path):
            os.remove(path)
    shutil.rmtree(os.path.dirname(uninstaller_file()), ignore_errors=True)
    server.run("reg", "delete", UNINSTALL_KEY, "/f", timeout=60)
    if (registry_value(server, DESKTOP_KEY, "SCRNSAVE.EXE") or "").lower() == INSTALLED.lower():
        server.run("reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f", timeout=60)


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


def run_to_end(program, what, timeout=60):
    code = program.wait(timeout)
    check(code is not None, "%s did not end within %d s" % (what, timeout))
    check(code == 0, "%s: exit code %d (output: %s)" % (what, code, program.output()))


def runs_full_screen_until_a_key(server):
    """The installed Tolvane.scr, started with /s as the settings start it,
    covers the screen and ends on a key."""
    with server.started(INSTALLED, "/s") as program:
        found = harness.wait_until(
            lambda: program.running() and harness.find_windows(name="^Tolvane Screensaver$"), 30)
        check(found, "/s: no screensaver window; output: %s" % program.output())
        check(harness.window_geometry(found[0]) == (0, 0, 1920, 1080), "/s: not full screen")
        harness.xdotool("mousemove", 900, 500)
        harness.xdotool("key", "a")
        run_to_end(program, "/s and a key", 15)
