"""The click through the real sound devices into a PulseAudio null sink:
OpenAL Soft natively, DirectSound under Wine. A small program loads the
click with the player and plays it once; what reaches the sink is captured
and measured. Before it, a capture with nothing playing must be silent, so
the measurement itself is shown to tell sound from silence."""
import os
import re
import signal
import subprocess

import harness
import wine
from harness import check

BUILD = os.environ["TOLVANE_BUILD_DIR"]
NATIVE_PLAYER = os.path.join(BUILD, "tests", "play_click")
BYTES_PER_SECOND = 44100 * 2  # what parec records: mono, 16 bits
WAV_HEADER = 44


class PulseAudio:
    """A PulseAudio server of our own with a null sink, on its own runtime
    folder; anonymous clients, so no cookie is needed."""

    def __init__(self, folder):
        self.runtime = os.path.join(folder, "pulse-runtime")
        self.proc = None

    def env(self):
        env = dict(os.environ)
        env["XDG_RUNTIME_DIR"] = self.runtime
        env.pop("PULSE_SERVER", None)
        return env

    def __enter__(self):
        os.makedirs(self.runtime, mode=0o700)
        self.proc = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "--use-pid-file=no", "--log-target=stderr",
             "--load=module-null-sink sink_name=nullsink rate=44100",
             "--load=module-native-protocol-unix auth-anonymous=1"],
            env=dict(self.env(), HOME=self.runtime),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = os.path.join(self.runtime, "pulse", "native")
        if not harness.wait_until(lambda: os.path.exists(socket), 10):
            self.__exit__()
            raise harness.TestFailure("PulseAudio did not start")
        return self

    def __exit__(self, *exc):
        harness.stop_server(self.proc)
        return False

    def capture(self, path, action):
        """Records the sink from a quarter of a second before action() runs
        to half a second after it, by the length of what was recorded."""
        recorder = subprocess.Popen(
            ["parec", "-d", "nullsink.monitor", "--latency-msec=50", "--channels=1",
             "--rate=44100", "--format=s16le", "--file-format=wav", path],
            env=self.env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def recorded():
            return os.path.getsize(path) if os.path.exists(path) else 0

        def record_for(seconds, after):
            check(harness.wait_until(lambda: recorded() >= after + seconds * BYTES_PER_SECOND,
                                     10, 0.05), "parec recorded nothing")
        try:
            record_for(0.25, WAV_HEADER)
            action()
            record_for(0.5, recorded())
        finally:
            # SIGINT lets parec finish the file's header.
            recorder.send_signal(signal.SIGINT)
            try:
                recorder.wait(timeout=10)
            except subprocess.TimeoutExpired:
                recorder.kill()
                recorder.wait(timeout=10)
        return peak(path)


def peak(path):
    """The largest absolute sample of a sound file, 0 to 1."""
    report = harness.run(["sox", path, "-n", "stat"])
    found = re.search(r"Maximum amplitude:\s*([-0-9.]+)", report)
    check(found, "sox reported no amplitude: " + report)
    minimum = re.search(r"Minimum amplitude:\s*([-0-9.]+)", report)
    return max(abs(float(found.group(1))), abs(float(minimum.group(1))) if minimum else 0.0)


def expect_click(pulse, folder, play):
    """play() runs the player program to its end and returns its exit code
    and output."""
    def nothing():
        pass
    quiet = pulse.capture(os.path.join(folder, "quiet.wav"), nothing)
    check(quiet == 0.0, "the sink was not silent before the click: peak %.3f" % quiet)

    def played():
        code, output = play()
        check(code == 0, "the player program failed (%s): %s" % (code, output.strip()))
    loud = pulse.capture(os.path.join(folder, "click.wav"), played)
    harness.log("peak of the captured click: %.3f" % loud)
    check(loud > 0.05, "no click reached the sink: peak %.3f" % loud)


def native_openal():
    with harness.scratch("tolvane-sound-") as folder:
        with PulseAudio(folder) as pulse:
            def play():
                with harness.started([NATIVE_PLAYER], env=pulse.env()) as program:
                    return program.wait(30), program.output()
            expect_click(pulse, folder, play)


def wine_directsound():
    """On the Wine servers the Wine tests share (the fixture wine)."""
    exe = wine.windows_program(os.path.join("tests", "play_click.exe"))
    with harness.scratch("tolvane-sound-wine-") as folder:
        with PulseAudio(folder) as pulse, wine.SharedWineServer() as server:
            # Wine's audio driver, which runs in the program's own process,
            # finds the sound server through this.
            server.env["XDG_RUNTIME_DIR"] = pulse.runtime
            expect_click(pulse, folder, lambda: server.run(exe, timeout=120))


if __name__ == "__main__":
    harness.main({"native_openal": native_openal, "wine_directsound": wine_directsound})
