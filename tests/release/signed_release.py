"""A release signed with a throwaway self-signed certificate made here: the
signed Tolvane.scr, installer and uninstaller verify; the signatures on
their own, attached to a rebuild, give the signed release byte for byte;
and the signed installer, run silently under Wine, installs a Tolvane.scr
that runs (/s, a key ends it) and whose signature, like the uninstaller's,
still verifies."""
import os
import shutil
import subprocess

import harness
import release
import wine
import wine_install
from harness import check, log


def throwaway_certificate(folder):
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    harness.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                 "-subj", "/CN=Tolvane throwaway test signer", "-addext",
                 "extendedKeyUsage=codeSigning", "-keyout", key, "-out", cert], timeout=60)
    return cert, key


def verified(path, cert):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", cert, "-in", path],
                            capture_output=True, text=True, timeout=120)
    check(result.returncode == 0 and "Signature verification: ok" in result.stdout,
          "%s does not verify:\n%s%s" % (path, result.stdout, result.stderr))
    return result.stdout


def read(path):
    with open(path, "rb") as f:
        return f.read()


def signed_release():
    setup = "Tolvane-Setup-%s.exe" % release.VERSION
    signatures = ["Tolvane.scr.sig", "Uninstall.exe.sig", setup + ".sig"]
    with harness.scratch("tolvane-signed-") as scratch:
        cert, key = throwaway_certificate(scratch)
        signed = os.path.join(scratch, "signed")
        signed_sums = release.make(release.SOURCE_DIR, signed,
                                   dict(os.environ, TOLVANE_SIGN_CERT=cert, TOLVANE_SIGN_KEY=key))
        for name in release.downloads() + signatures + ["SHA256SUMS.unsigned"]:
            check(name in signed_sums, "the signed release lacks %s" % name)
        log(verified(os.path.join(signed, "Tolvane.scr"), cert))
        verified(os.path.join(signed, setup), cert)
        with open(os.path.join(signed, "SHA256SUMS.unsigned")) as f:
            unsigned = dict(reversed(line.split()) for line in f)
        check(sorted(unsigned) == sorted(n[:-4] for n in signatures),
              "SHA256SUMS.unsigned lists %s" % sorted(unsigned))

        # A rebuilder has the published files, not the key.
        published = os.path.join(scratch, "published")
        os.makedirs(published)
        for name in signatures:
            shutil.copy(os.path.join(signed, name), published)
        rebuilt = os.path.join(scratch, "rebuilt")
        rebuilt_sums = release.make(release.SOURCE_DIR, rebuilt, dict(
            os.environ, TOLVANE_SIGNATURES=published, TOLVANE_SIGN_CAFILE=cert))
        differing = sorted(n for n in signed_sums if signed_sums[n] != rebuilt_sums.get(n))
        check(not differing, "with the signatures attached the rebuild differs in %s" % differing)

        with wine.session() as server, wine_install.left_as_found(server):
            code, out = server.run(os.path.join(rebuilt, setup), "/S", timeout=120)
            check(code == 0, "the silent install failed (%d): %s" % (code, out))
            check(read(wine_install.installed_file()) == read(os.path.join(signed, "Tolvane.scr")),
                  "the installed Tolvane.scr is not the signed one")
            verified(wine_install.installed_file(), cert)
            verified(wine_install.uninstaller_file(), cert)
            wine_install.runs_full_screen_until_a_key(server)


if __name__ == "__main__":
    release.skip_unless_committed()
    harness.main({"signed_release": signed_release})
