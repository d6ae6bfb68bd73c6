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

import harness
import wine
from harness import check, log
from wine_install import (DESKTOP_KEY, INSTALLED, UNINSTALL_KEY, installation_gone,
                          installed_file, left_as_found, registry_value, run_to_end,
                          runs_full_screen_until_a_key, uninstaller_file)

VERSION = os.environ.get("TOLVANE_VERSION", "")


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
    runs_full_screen_until_a_key(server)
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


def main():
    with wine.session() as server, left_as_found(server):
        harness.main({"install_run_and_uninstall": lambda: install_run_and_uninstall(server)})


if __name__ == "__main__":
    main()
