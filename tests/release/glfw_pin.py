"""tools/fetch-glfw.sh takes only the GLFW tarball whose SHA-256 it pins: the
cached genuine tarball is used without asking apt, and a tarball that differs
by one byte is refused with one line, also when a .dsc that matches it comes
along (a mirror serving another tarball)."""
import os
import shutil
import subprocess

import harness
from harness import check, log

SOURCE_DIR = os.environ.get("TOLVANE_SOURCE_DIR", "")
CACHE_DIR = os.environ.get("TOLVANE_CACHE_DIR", "")
NAME = "glfw3_3.3.8.orig.tar.gz"

# Stands in for apt-get: `source` writes the doctored tarball and a .dsc that
# vouches for it into the current folder, as a hostile mirror would.
FAKE_APT = """#!/bin/sh
echo "$*" >> "%(calls)s"
case " $* " in *" source "*)
    cp "%(doctored)s" %(name)s
    sum=$(sha256sum %(name)s | cut -d' ' -f1)
    printf 'Checksums-Sha256:\\n %%s 1 %(name)s\\n' "$sum" > glfw3_3.3.8-1.dsc ;;
esac
"""


def fetch(scratch, cache):
    env = dict(os.environ, PATH=scratch + "/bin:" + os.environ["PATH"])
    return subprocess.run(["sh", os.path.join(SOURCE_DIR, "tools", "fetch-glfw.sh"), cache],
                          env=env, cwd=scratch, capture_output=True, text=True, timeout=60)


def genuine():
    path = os.path.join(CACHE_DIR, NAME)
    check(os.path.isfile(path), "no fetched GLFW tarball at %s" % path)
    return path


def setup(scratch, doctored):
    os.makedirs(os.path.join(scratch, "bin"))
    fake = os.path.join(scratch, "bin", "apt-get")
    with open(fake, "w") as f:
        f.write(FAKE_APT % {"calls": os.path.join(scratch, "calls"), "doctored": doctored,
                            "name": NAME})
    os.chmod(fake, 0o755)


def apt_calls(scratch):
    path = os.path.join(scratch, "calls")
    return open(path).read().splitlines() if os.path.exists(path) else []


def genuine_is_taken():
    with harness.scratch() as scratch:
        setup(scratch, "/nonexistent")
        cache = os.path.join(scratch, "cache")
        os.makedirs(cache)
        shutil.copy(genuine(), cache)
        result = fetch(scratch, cache)
        check(result.returncode == 0, "the genuine tarball was refused: %s" % result.stderr)
        check(result.stdout.strip() == os.path.join(cache, NAME), "printed %r" % result.stdout)
        check(not apt_calls(scratch), "apt was asked although the cache held the tarball")


def one_byte_off_is_refused():
    with harness.scratch() as scratch:
        data = bytearray(open(genuine(), "rb").read())
        data[len(data) // 2] ^= 0x01
        doctored = os.path.join(scratch, "doctored.tar.gz")
        with open(doctored, "wb") as f:
            f.write(data)
        setup(scratch, doctored)
        cache = os.path.join(scratch, "cache")
        os.makedirs(cache)
        shutil.copy(doctored, os.path.join(cache, NAME))
        result = fetch(scratch, cache)
        log("stderr: %r" % result.stderr)
        check(result.returncode != 0, "a tarball one byte off was taken")
        check(any("source" in c for c in apt_calls(scratch)), "the bad cached tarball was not fetched again")
        lines = result.stderr.strip().splitlines()
        check(len(lines) == 1 and "pinned" in lines[0] and NAME in lines[0],
              "not one clear line: %r" % result.stderr)
        check(result.stdout == "", "printed a path for a refused tarball: %r" % result.stdout)


if __name__ == "__main__":
    harness.main({"genuine_is_taken": genuine_is_taken,
                  "one_byte_off_is_refused": one_byte_off_is_refused})
