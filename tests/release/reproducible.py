"""Two releases of one commit are the same bytes: the first from this tree's
own build folders (a person's native build, and the Windows build the other
tests used), the second from a clone in another
folder built from nothing, with the variations Debian's reprotest applies: a
date years away (libfaketime, an offset, checked to reach make and CMake),
another user (nobody, where the tests run as root), umask 077, another time
zone and another locale. Runs after the other tests, on its own: it builds
both targets once more."""
import datetime
import os
import shutil
import subprocess

import harness
import release
from harness import check, log

OFFSET_DAYS = 3000
CACHE_DIR = os.environ.get("TOLVANE_CACHE_DIR", "")
GLFW_TARBALL = "glfw3_3.3.8.orig.tar.gz"
YEAR_PROBE = """all:
\t@cmake -P year.cmake
"""


def varied_environment(home):
    env = dict(os.environ, HOME=home, TZ="Pacific/Kiritimati")
    if env.get("TZ") == os.environ.get("TZ"):
        env["TZ"] = "America/Adak"
    current = os.environ.get("LC_ALL") or os.environ.get("LANG") or "C"
    env["LC_ALL"] = "C" if current == "C.UTF-8" else "C.UTF-8"
    # The wall clock moved by an offset, so it still runs as make expects;
    # files keep their real times.
    preload = harness.with_libfaketime({}, FAKETIME="+%dd" % OFFSET_DAYS, DONT_FAKE_MONOTONIC="1",
                                       NO_FAKE_STAT="1")
    return env, preload


def check_faked_year(scratch, env, user, preload):
    """make, and CMake started by it, read the faked date."""
    probe = os.path.join(scratch, "probe")
    os.makedirs(probe)
    with open(os.path.join(probe, "Makefile"), "w") as f:
        f.write(YEAR_PROBE)
    with open(os.path.join(probe, "year.cmake"), "w") as f:
        f.write('string(TIMESTAMP year "%Y" UTC)\nmessage(STATUS "year ${year}")\n')
    out = release.run(["make", "-s"], probe, env, user, preload=preload)
    expected = (datetime.datetime.now(datetime.timezone.utc) +
                datetime.timedelta(days=OFFSET_DAYS)).year
    log("under libfaketime: %s" % out.strip())
    check("year %d" % expected in out, "make and CMake do not see the faked year %d: %r" % (expected, out))


def reproducible():
    with harness.scratch("tolvane-rebuild-") as scratch:
        os.chmod(scratch, 0o755)
        first = os.path.join(scratch, "first")
        log("first release: this tree's builds")
        first_sums = release.make(release.SOURCE_DIR, first)

        user = release.other_user()
        tree = os.path.join(scratch, "another", "place", "tolvane")
        commit = subprocess.run(["git", "-C", release.SOURCE_DIR, "rev-parse", "HEAD"],
                                capture_output=True, text=True, check=True).stdout.strip()
        release.run(["git", "clone", "-q", "--no-checkout", release.SOURCE_DIR, tree], scratch)
        release.run(["git", "-C", tree, "checkout", "-q", commit], scratch)
        cached = os.path.join(CACHE_DIR, GLFW_TARBALL)
        if os.path.isfile(cached):  # no second download
            os.makedirs(os.path.join(tree, ".cache"))
            shutil.copy(cached, os.path.join(tree, ".cache"))
        home = os.path.join(scratch, "home")
        os.makedirs(home)
        if user:
            for path in (tree, home):
                release.run(["chown", "-R", "%d:%d" % user, path], scratch)
        env, preload = varied_environment(home)
        log("second release: %s, user %s, umask 077, TZ=%s, LC_ALL=%s, clock +%d days" %
            (tree, user[0] if user else "(not root: the same)", env["TZ"], env["LC_ALL"], OFFSET_DAYS))
        check_faked_year(home, env, user, preload)
        # The second build makes only the release's programs; the test
        # programs' configuration does not reach them.
        for preset in ("linux-user", "windows"):
            release.run(["cmake", "--preset", preset, "-DTOLVANE_BUILD_TESTS=OFF"], tree, env, user,
                        0o077, preload)
        second = os.path.join(scratch, "second")
        os.makedirs(second)
        if user:
            os.chown(second, *user)
        second_sums = release.make(tree, second, env, user, 0o077, preload)

        log("SHA256SUMS, first and second:")
        for name in sorted(set(first_sums) | set(second_sums)):
            log("  %-34s %s %s" % (name, first_sums.get(name, "-" * 64),
                                   second_sums.get(name, "-" * 64)))
        if first_sums.get("TOOLS") != second_sums.get("TOOLS"):
            subprocess.run(["diff", os.path.join(first, "TOOLS"), os.path.join(second, "TOOLS")])
        check(set(first_sums) == set(second_sums), "the releases list different files")
        for name in release.downloads():
            check(name in first_sums, "%s is missing from the release" % name)
        # TOOLS names the tools each build found, which may differ for
        # another user (a Python of root's own, say); the files may not.
        differing = [n for n in first_sums if first_sums[n] != second_sums[n] and n != "TOOLS"]
        check(not differing, "the second build differs in %s" % ", ".join(differing))


if __name__ == "__main__":
    release.skip_unless_committed()
    harness.main({"reproducible": reproducible})
