"""The Windows installer under Wine, as a user (or a deployment tool) runs it:
a silent install puts Tolvane.scr into the system folder, makes it the
user's screensaver and registers its uninstaller; the installed file runs
with /s and /c and carries the project's version; the silent uninstall
takes all of it away again.

Runs on the run's prefix; whatever happens, it ends with nothing of the
installation left there for the other Wine tests.
"""
import os
import re
import shutil

import harness
import wine
from harness import check, log

VERSION = os.environ.get("TOLVANE_VERSION", "")
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


def run_to_end(program, what, timeout=60):
    code = program.wait(timeout)
    check(code is not None, "%s did not end within %d s" % (what, timeout))
    check(code == 0, "%s: exit code %d (output: %s)" % (what, code, program.output()))


def install_run_and_uninstall(server):
    check(VERSION, "TOLVANE_VERSION is not set (run the tests through ctest)")
    setup = os.path.join(os.environ["TOLVANE_WINDOWS_BUILD_DIR"], "Tolvane-Setup-%s.exe" % VERSION)
    check(os.path.isfile(setup), "no installer at %s: make installer builds it" % setup)
    code, out = server.run(setup, "/S", timeout=120)
    check(code == 0, "the silent install failed (%d): %s" % (code, out))
    check(os.path.isfile(installed_file()), "no Tolvane.scr in the system folder")
    with open(installed_file(), "rb") as a, open(wine.screensaver(), "rb") as b:
        check(a.read() == b.read(), "the installed Tolvane.scr is not the build's")
    check(registry_value(server, DESKTOP_KEY, "SCRNSAVE.EXE").lower() == INSTALLED.lower(),
          "SCRNSAVE.EXE is %r" % registry_value(server, DESKTOP_KEY, "SCRNSAVE.EXE"))
    check(registry_value(server, DESKTOP_KEY, "ScreenSaveActive") == "1", "ScreenSaveActive")
    entry = {name: registry_value(server, UNINSTALL_KEY, name)
             for name in ("DisplayName", "DisplayVersion", "Publisher", "EstimatedSize",
                          "UninstallString", "QuietUninstallString")}
    log("uninstall entry: %s" % entry)
    check(entry["DisplayName"] == "Tolvane Screensaver", "DisplayName %r" % entry["DisplayName"])
    check(entry["DisplayVersion"] == VERSION, "DisplayVersion %r" % entry["DisplayVersion"])
    check(entry["Publisher"], "no Publisher")
    # The installed size in KiB: the screensaver is a few MiB.
    size = int(entry["EstimatedSize"] or "0", 0)
    check(1024 < size < 100 * 1024, "EstimatedSize %s KiB" % size)
    quiet = entry["QuietUninstallString"] or ""
    check(quiet.endswith(" /S") and "Uninstall.exe" in quiet, "QuietUninstallString %r" % quiet)
    check(os.path.isfile(uninstaller_file()), "no uninstaller at %s" % uninstaller_file())

    # The installed file, started the way the settings start it.
    with server.started(INSTALLED, "/s") as program:
        found = harness.wait_until(
            lambda: program.running() and harness.find_windows(name="^Tolvane Screensaver$"), 30)
        check(found, "/s: no screensaver window; output: %s" % program.output())
        check(harness.window_geometry(found[0]) == (0, 0, 1920, 1080), "/s: not full screen")
        harness.xdotool("mousemove", 900, 500)
        harness.xdotool("key", "a")
        run_to_end(program, "/s and a key", 15)
    with server.started(INSTALLED, "/c") as program:
        about = harness.wait_until(
            lambda: program.running() and harness.find_windows(name="^About$"), 30)
        check(about, "/c: no About window; output: %s" % program.output())
        harness.run(["xdotool", "key", "--window", str(about[0]), "alt+F4"], check_rc=False)
        run_to_end(program, "/c and Alt+F4", 15)
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
        server.run(setup, "/S", timeout=120)
        server.run("reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", chosen, "/f", timeout=60)
        # The uninstaller hands over to a copy of itself and returns at once:
        # what it leaves behind is waited for.
        command = re.match(r'^"([^"]+)"\s+(.*)$', quiet)
        check(command, "QuietUninstallString %r" % quiet)
        server.run(command.group(1), *command.group(2).split(), timeout=120)
        check(harness.wait_until(lambda: installation_gone(server), 60),
              "the silent uninstall left the file, the uninstaller, its folder or the entry")
        left = registry_value(server, DESKTOP_KEY, "SCRNSAVE.EXE")
        if cleared:
            check(left is None, "SCRNSAVE.EXE still names %r" % left)
        else:
            check(left == chosen, "SCRNSAVE.EXE %r, not the other screensaver %r" % (left, chosen))


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
            harness.main({"install_run_and_uninstall": lambda: install_run_and_uninstall(server)})
        finally:
            clean_up(server)
            for name, value in before.items():
                restore(server, name, value)


if __name__ == "__main__":
    main()
