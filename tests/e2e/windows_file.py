"""Tolvane.scr is one file that needs nothing but Windows itself: every DLL it
imports is one that every Windows system has."""
import os

import harness
from harness import check

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "shell32.dll",
               "dsound.dll", "msvcrt.dll", "advapi32.dll", "winmm.dll", "ole32.dll"}


def imports_only_system_dlls():
    scr = os.path.join(os.environ["TOLVANE_WINDOWS_BUILD_DIR"], "src", "host", "Tolvane.scr")
    check(os.path.isfile(scr), "no Windows build at %s (make windows builds it)" % scr)
    out = harness.run(["x86_64-w64-mingw32-objdump", "-p", scr])
    dlls = {line.split(":", 1)[1].strip().lower() for line in out.splitlines()
            if "DLL Name:" in line}
    check("kernel32.dll" in dlls and "opengl32.dll" in dlls, "imports not read: %s" % dlls)
    check(dlls <= SYSTEM_DLLS, "imports beyond the system: %s" % (dlls - SYSTEM_DLLS))
    check("subsystem" in out.lower() and "(Windows GUI)" in out, "not a GUI program")


if __name__ == "__main__":
    harness.main({"imports_only_system_dlls": imports_only_system_dlls})
