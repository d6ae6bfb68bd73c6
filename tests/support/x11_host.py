"""The tests' X11 screensaver host (x11_preview_host.c): a window of another
client, the preview window of a top-level one, that the clock is told to
draw into, driven through the host's standard input.

    with HostWindow(304, 224) as host:   # host.id: the preview window's id;
                                         # at=(x, y) places it on the screen
        host.command("destroy")          # or unmap, resize W H, focus
"""
import os
import subprocess

from harness import check

HOST = os.path.join(os.environ["TOLVANE_BUILD_DIR"], "tests", "x11_preview_host")


class HostWindow:
    def __init__(self, width=152, height=112, at=(120, 120)):
        self.proc = subprocess.Popen([HOST, str(width), str(height), str(at[0]), str(at[1])],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline()
        if not line.strip().isdigit():
            self.stop()
            check(False, "preview host did not start")
        self.id = int(line)

    def command(self, text):
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        check(self.proc.stdout.readline().strip() == "ok", "host did not answer " + text)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=10)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False
