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

import harness
import wine
from harness import check, log
from wine_install import (DESKTOP_KEY, INSTALLED, UNINSTALL_KEY, UNINSTALLER_COPY, end_with,
                          installed_file, left_as_found, left_behind, press_a_key,
                          registry_value, runs_full_screen_until_a_key, uninstall,
                          uninstaller_file, wait_for_screensaver, wait_for_uninstall_end)

VERSION = os.environ.get("TOLVANE_VERSION", "")


def install(server):
    """A silent install of the build's installer."""
    check(VERSION, "TOLVANE_VERSION is not set (run the tests through ctest)")
    setup = os.path.join(os.environ["TOLVANE_WINDOWS_BUILD_DIR"], "Tolvane-Setup-%s.exe" % VERSION)
    check(os.path.isfile(setup), "no installer at %s: make installer builds it" % setup)
    code, out = server.run(setup, "/S", timeout=120)
    check(code == 0, "the silent install failed (%d): %s" % (code, out))


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
    runs_full_screen_until_a_key(server)
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


def main():
    with wine.session() as server, left_as_found(server):
        harness.main({
            "install_run_and_uninstall": lambda: install_run_and_uninstall(server),
            "uninstall_as_the_screensaver_ends":
                lambda: uninstall_as_the_screensaver_ends(server),
        })


if __name__ == "__main__":
    main()
