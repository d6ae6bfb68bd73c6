"""tools/release.sh for the release tests: whether the tree can make a
release, a release made into a folder (optionally as another user and
umask), and its SHA256SUMS read and checked."""
import hashlib
import os
import pwd
import subprocess
import sys

from harness import check, log

SOURCE_DIR = os.environ.get("TOLVANE_SOURCE_DIR", "")
VERSION = os.environ.get("TOLVANE_VERSION", "")
SKIPPED = 77


def skip_unless_committed(tree=SOURCE_DIR):
    """A release is made from a commit: with changes in the tree the test is
    skipped, saying so (CI's clean clone always runs it)."""
    result = subprocess.run(["git", "-C", tree, "status", "--porcelain"],
                            capture_output=True, text=True, timeout=60)
    reason = None
    if result.returncode != 0:
        reason = "not a git checkout: " + result.stderr.strip()
    elif result.stdout.strip():
        reason = "the tree has uncommitted changes, and a release is made from a commit:\n" + result.stdout
    if reason:
        log("skipped: " + reason)
        sys.exit(SKIPPED)


def other_user():
    """(uid, gid) of nobody when running as root, else None."""
    if os.geteuid() != 0:
        return None
    entry = pwd.getpwnam("nobody")
    return entry.pw_uid, entry.pw_gid


def command(argv, user, preload):
    """argv as user, with the variables of preload (libfaketime's) set only
    after the switch: the first process that loads libfaketime makes its
    shared memory, which must be the user's own."""
    if preload:
        argv = ["env"] + ["%s=%s" % item for item in sorted(preload.items())] + argv
    if user is None:
        return argv
    return ["setpriv", "--reuid=%d" % user[0], "--regid=%d" % user[1], "--clear-groups", "--"] + argv


def run(argv, cwd, env=None, user=None, umask=None, preload=None, timeout=1800):
    """Runs argv (as user, with umask and preload); its output, or a failure
    with its end."""
    preexec = (lambda: os.umask(umask)) if umask is not None else None
    process = subprocess.Popen(command(argv, user, preload), cwd=cwd, env=env or os.environ,
                               preexec_fn=preexec, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
    try:
        output, _ = process.communicate(timeout=timeout)
    finally:
        process.kill()
        process.wait()
        if preload:
            # libfaketime's shared memory, named after the first process
            # that loaded it: this one (setpriv and env exec).
            for name in ("faketime_shm_%d", "sem.faketime_sem_%d"):
                path = os.path.join("/dev/shm", name % process.pid)
                if os.path.exists(path):
                    os.remove(path)
    check(process.returncode == 0, "%s failed (%d):\n%s" % (" ".join(argv), process.returncode,
                                                            output[-6000:]))
    return output


def make(tree, out, env=None, user=None, umask=None, preload=None, timeout=1800):
    """Makes the release of tree into out; returns {file: sha256} of its
    SHA256SUMS, each checked against the file."""
    env = dict(env or os.environ, TOLVANE_RELEASE_DIR=out)
    output = run(["sh", os.path.join(tree, "tools", "release.sh")], tree, env, user, umask, preload,
                 timeout)
    log(output[output.rfind("release: "):] if "release: " in output else output[-2000:])
    return sums(out)


def sums(folder):
    listed = {}
    with open(os.path.join(folder, "SHA256SUMS")) as f:
        for line in f:
            digest, name = line.rstrip("\n").split("  ", 1)
            listed[name] = digest
    for name, digest in listed.items():
        with open(os.path.join(folder, name), "rb") as f:
            check(hashlib.sha256(f.read()).hexdigest() == digest, "%s: not the sum listed" % name)
    return listed


def downloads():
    """The files a release must hold, whatever else it holds."""
    check(VERSION, "TOLVANE_VERSION is not set (run the tests through ctest)")
    return ["Tolvane.scr", "Tolvane-Setup-%s.exe" % VERSION,
            "tolvane-screensaver_%s_amd64.deb" % VERSION, "tolvane-screensaver-%s.tar.gz" % VERSION,
            "TOOLS"]
