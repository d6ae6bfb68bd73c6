"""How the native program ends when what it stands on fails: no display at
all, the X server going away under a running clock. Each ends by itself,
within its bound. (SIGTERM is among the ends of launch_native.py.)"""
import os
import subprocess

import harness
from harness import check
from native import EXE, wait_drawn


def free_display_number():
    """A display number that no X server listens on."""
    for number in range(150, 250):
        if not any(os.path.exists(path % number)
                   for path in ("/tmp/.X11-unix/X%d", "/tmp/.X%d-lock")):
            return number
    raise harness.TestFailure("no free display number")


def no_display_at_all():
    # The library's text and the program's own go to standard error, as the
    # message boxes would show them; the end is exit code 0.
    unset = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    absent = dict(unset, DISPLAY=":%d" % free_display_number())
    cases = [("DISPLAY unset", unset, "Error: X11: The DISPLAY environment variable is missing"),
             ("no server at " + absent["DISPLAY"], absent,
              "Error: X11: Failed to open display " + absent["DISPLAY"])]
    for what, env, library_text in cases:
        for args in ([], ["/s"]):
            result = subprocess.run([EXE] + args, env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
            errors = result.stderr.decode(errors="replace")
            check(result.returncode == 0, "%s %s: exit code %d:\n%s"
                  % (what, args, result.returncode, errors))
            check(library_text in errors, "%s %s: no '%s' on standard error:\n%s"
                  % (what, args, library_text, errors))
            check("Debug: Failed to open window" in errors and
                  errors.index(library_text) < errors.index("Debug: Failed to open window"),
                  "%s %s: no 'Failed to open window' after the library's text:\n%s"
                  % (what, args, errors))


def lost_x_server_ends_it():
    # A server of its own: the case ends it.
    xvfb = harness.Xvfb()
    with xvfb:
        with harness.started([EXE, "/s"]) as program:
            wait_drawn(program)
            xvfb.proc.kill()
            xvfb.proc.wait(timeout=10)
            code = program.wait(2.0)
            check(code is not None, "still running 2 s after the X server ended")
            check(code == 0, "X server gone: exit code %s, output:\n%s"
                  % (code, program.output()[-2000:]))


if __name__ == "__main__":
    harness.main({
        "no_display_at_all": no_display_at_all,
        "lost_x_server_ends_it": lost_x_server_ends_it,
    })
