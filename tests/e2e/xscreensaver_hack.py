"""The Linux program as users install it: the Debian package, and the
packaged program as an xscreensaver hack.

- The package (made once per run by the package_deb test) holds the
  program in the hack folder with a relative link to it on the PATH, the
  hack description, the screensaver entry that MATE's and XFCE's
  screensavers list (valid, of the same name as the description, which
  XFCE opens for it, and shown in both) and the manual page, and lintian
  reports no error on it.
- Extracted into a scratch root, the packaged program runs under a real
  xscreensaver daemon on the script's Xvfb, started as a throwaway
  unprivileged user (xscreensaver runs no hacks as root) whose
  ~/.xscreensaver selects it by the README's programs line: `-activate`
  puts the clock on screen, `-deactivate` ends it within 2 s. Making that
  user needs root; without it this case is skipped, and so is the script
  once its other cases have passed.
- Two --window-id instances on two host windows draw at once, and SIGTERM
  ends each at once.

The clock is put at a chosen time by preloading libfaketime through the
environment (LD_PRELOAD, FAKETIME) rather than the faketime wrapper: the
daemon hands its environment on to the hacks it starts, so the README's
line runs as it stands, and every pid seen is the program's own.
"""
import configparser
import os
import re
import signal
import subprocess
import xml.etree.ElementTree as ElementTree

import harness
from desktop_session import DesktopSession, daemon_runs_the_clock
from harness import check, log
from tile_reader import glyph_templates, read_tiles, soon_after
from x11_host import HostWindow

EXE = os.environ["TOLVANE_EXE"]

README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
PROGRAM = "usr/bin/tolvane-screensaver"
HACK = "usr/libexec/xscreensaver/tolvane-screensaver"
DESCRIPTION = "usr/share/xscreensaver/config/tolvane-screensaver.xml"
ENTRY = "usr/share/applications/screensavers/tolvane-screensaver.desktop"
MANUAL = "usr/share/man/man6/tolvane-screensaver.6.gz"
FAKED_START = "2026-03-14 12:34:10"
# The clock shows 12:34 for the first 50 s.
SHOWS_THE_FAKED_TIME = soon_after(FAKED_START.split()[1], 49)

scratch = harness.scratch_dir("tolvane-hack-")
extracted = os.path.join(scratch, "root")


def shown_digits(shot, width, height, templates):
    read = read_tiles(shot, width, height, templates)
    return [read[p][0] for p in range(4, 10)]


# ---- the package ----------------------------------------------------------------

def package_builds_and_holds_the_hack():
    deb = harness.debian_package()

    listing = harness.run(["dpkg-deb", "-c", deb])
    for path in (HACK, DESCRIPTION, ENTRY, MANUAL):
        check(re.search(r"^-\S+ .*\s\./%s$" % re.escape(path), listing, re.M),
              "no file %s in:\n%s" % (path, listing))
    fields = harness.run(["dpkg-deb", "-f", deb, "Depends", "Enhances"])
    log(fields.strip())
    check("Enhances: xscreensaver" in fields, "not enhancing xscreensaver: " + fields)
    # Computed from the program's libraries, plus libGL that it opens itself.
    for library in ("libc6", "libx11-6", "libgl1"):
        check(re.search(r"\b%s\b" % library, fields), "no dependency on %s: %s" % (library, fields))

    harness.run(["dpkg", "-x", deb, extracted])
    hack = ElementTree.parse(os.path.join(extracted, DESCRIPTION)).getroot()
    check(hack.tag == "screensaver" and hack.get("name") == "tolvane-screensaver",
          "description names %s %s" % (hack.tag, hack.attrib))
    check(hack.get("_label") == "Tolvane", "label %r" % hack.get("_label"))
    check([c.get("arg") for c in hack.iter("command")] == ["--root"], "not the --root command")
    check((hack.findtext("_description") or "").strip(), "no description")
    link = os.path.join(extracted, PROGRAM)
    check(os.path.islink(link) and not os.path.isabs(os.readlink(link))
          and os.path.samefile(link, os.path.join(extracted, HACK)),
          "%s is not a relative link to %s" % (PROGRAM, HACK))
    check(os.access(os.path.join(extracted, HACK), os.X_OK), "the program is not executable")

    entry_path = os.path.join(extracted, ENTRY)
    validated = subprocess.run(["desktop-file-validate", entry_path], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, timeout=60)
    report = validated.stdout.decode(errors="replace")
    log("desktop-file-validate: %s" % (report.strip() or "(nothing)"))
    check(validated.returncode == 0 and not re.search(r": (error|warning): ", report),
          "the screensaver entry is not valid:\n" + report)
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(entry_path, encoding="utf-8")
    entry = dict(parser["Desktop Entry"])
    check(entry.get("Exec") == "/%s --root" % HACK and entry.get("TryExec") == "/" + HACK,
          "the entry runs %r (try %r)" % (entry.get("Exec"), entry.get("TryExec")))
    check(entry.get("Name") == hack.get("_label"), "the entry's name %r" % entry.get("Name"))
    check("Screensaver" in entry.get("Categories", "").split(";"),
          "not a screensaver: %r" % entry.get("Categories"))
    shown_in = set(filter(None, entry.get("OnlyShowIn", "MATE;XFCE").split(";")))
    check({"MATE", "XFCE"} <= shown_in, "hidden from MATE or XFCE: %s" % shown_in)
    manual = harness.run_bytes(["zcat", os.path.join(extracted, MANUAL)]).decode()
    check(manual.startswith(".\\\"") and ".TH TOLVANE-SCREENSAVER 6" in manual, "manual page")

    result = subprocess.run(["lintian", "--fail-on", "error", deb], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, timeout=300)
    report = result.stdout.decode(errors="replace")
    log("lintian: %s" % (report.strip() or "(nothing)"))
    check(result.returncode == 0 and not re.search(r"^E: ", report, re.M),
          "lintian reports errors:\n" + report)


# ---- under xscreensaver ----------------------------------------------------------

def readme_programs_line():
    """The line the README tells users to add to the programs: list."""
    with open(README, encoding="utf-8") as f:
        lines = {line.strip() for line in f if "tolvane-screensaver --root" in line
                 and line.rstrip().endswith("\\n\\")}
    check(len(lines) == 1, "the README gives %d different programs lines" % len(lines))
    return lines.pop()


def xscreensaver_runs_the_packaged_clock():
    if os.geteuid() != 0:
        raise harness.Skipped("xscreensaver runs no hacks as root, so they run as a throwaway"
                              " user of the test's own, and making one needs root")
    program = os.path.join(extracted, PROGRAM)
    check(os.path.isfile(program), "no extracted package (the package test runs first)")
    templates = glyph_templates()
    line = readme_programs_line()
    # The README names the installed program; the test runs the extracted one.
    line = re.sub(r"(?<![\w/.-])tolvane-screensaver(?=\s)", program, line, count=1)
    with DesktopSession(scratch, os.environ["DISPLAY"],
                        harness.faked_clock({"TZ": "UTC"}, FAKED_START),
                        throwaway_uid=True) as user:
        user.write_home_file(".xscreensaver", "\n".join([
            "mode: one", "selected: 0", "timeout: 1:00:00", "lock: False", "fade: False",
            "unfade: False", "splash: False", "dpmsEnabled: False",
            "programs: \\", "  " + line, ""]))
        daemon = user.start("xscreensaver", "-no-splash", "-verbose")

        def hack_pids():
            return [pid for pid, (_, cmd) in user.processes().items()
                    if cmd.startswith(program)]

        def clock_on_screen():
            if not hack_pids():
                return None
            shot = harness.screenshot(os.path.join(scratch, "xscreensaver.png"))
            shown = shown_digits(shot, 1920, 1080, templates)
            clock_on_screen.last = shown
            return SHOWS_THE_FAKED_TIME(shown)

        def shown():
            clock_on_screen.last = None
            check(harness.wait_until(clock_on_screen, 30, interval=0.5),
                  "no clock at 12:34 on screen (read %s); daemon output:\n%s"
                  % (clock_on_screen.last, daemon.output()))
            log("the daemon runs %s" % [user.processes()[p][1] for p in hack_pids()])

        def others():
            return {p: c for p, c in user.processes().items() if p != daemon.proc.pid}

        try:
            daemon_runs_the_clock(user, daemon, "xscreensaver-command",
                                  ("-time", "-activate", "-deactivate"), shown, others)
        finally:
            if daemon.running():
                daemon.proc.terminate()
                daemon.wait(10)


# ---- side by side ------------------------------------------------------------------

def two_window_id_instances_draw_at_once():
    templates = glyph_templates()
    env = harness.faked_clock(dict(os.environ, TZ="UTC"), FAKED_START)
    with HostWindow(640, 360) as one, HostWindow(640, 360) as other:
        hosts = [one.id, other.id]
        for window, place in zip(hosts, ((0, 0), (960, 540))):
            # Apart, so that neither covers the other; the preview host's
            # own window is the parent of the window it prints.
            parent = re.search(r"Parent window id: (0x[0-9a-f]+)",
                               harness.run(["xwininfo", "-children", "-id", str(window)]))
            harness.xdotool("windowmove", int(parent.group(1), 16), *place)
        # One id in hexadecimal, one in decimal, as hacks receive them.
        with harness.started([EXE, "--window-id", hex(hosts[0])], env=env) as first, \
                harness.started([EXE, "-window-id", str(hosts[1])], env=env) as second:
            def both_show_the_clock():
                results = []
                for index, window in enumerate(hosts):
                    shot = harness.screenshot(os.path.join(scratch, "host%d.png" % index),
                                              window=window)
                    results.append(shown_digits(shot, 640, 360, templates))
                both_show_the_clock.last = results
                return (all(SHOWS_THE_FAKED_TIME(shown) for shown in results)
                        and first.running() and second.running())

            both_show_the_clock.last = None
            check(harness.wait_until(both_show_the_clock, 30, interval=0.5),
                  "not both windows show the clock (read %s); outputs:\n%s\n%s"
                  % (both_show_the_clock.last, first.output(), second.output()))
            # The daemon's way of ending a hack ends it at once.
            for program in (first, second):
                program.proc.send_signal(signal.SIGTERM)
            for program in (first, second):
                code = program.wait(2)
                check(code == -signal.SIGTERM, "SIGTERM: %s after 2 s" % code)


if __name__ == "__main__":
    # One X server for the script's cases: each ends what it started there
    # (the daemon's case checks that its hacks are gone), and neither reads
    # what the other may leave: the windows' case reads its own windows, the
    # daemon's case the screen that its saver covers whole.
    try:
        with harness.Xvfb():
            harness.main({
                "package_builds_and_holds_the_hack": package_builds_and_holds_the_hack,
                "xscreensaver_runs_the_packaged_clock": xscreensaver_runs_the_packaged_clock,
                "two_window_id_instances_draw_at_once": two_window_id_instances_draw_at_once,
            })
    finally:
        harness.remove_dir(scratch)
