"""The release's tools on their own, with no build: where the one date of a
release comes from, how the signing password reaches the signing tools, which
keys a configure signs with, and AUTORUN.INF. The medium they make is checked
in tests/e2e/test_medium.py."""

import os
import subprocess
import sys
import tempfile
import unittest
from contextlib import nullcontext, redirect_stderr
from io import StringIO
from types import SimpleNamespace
from unittest import mock

from menubuild.medium import make_medium, signing
from menubuild.medium.source_date import EARLIEST, product_not_committed, source_date

SIGNING_CMAKE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake", "signing.cmake")


class PasswordPassageTest(unittest.TestCase):
    """How the password reaches the tools is chosen by the operating system, not
    by the folders there are: on this machine /dev/fd is there for every row."""

    def test_the_system_chooses_pipe_or_private_file_and_a_file_left_behind_is_named(self):
        shows_its_file = [sys.executable, "-c", "import sys; print(sys.argv[1], open(sys.argv[1], 'rb').read())"]
        temporary = tempfile.gettempdir()
        cases = [  # name, os.name, sys.platform, Python, where the password is read, the file is left
            ("Linux", "posix", "linux", (3, 11, 0), "/dev/fd/", False),
            ("Windows, with a folder C:\\dev\\fd", "nt", "win32", (3, 12, 4), temporary, False),
            ("Windows, the file left behind", "nt", "win32", (3, 13, 0), temporary, True),
            ("MSYS2, whose tools cannot open /dev/fd", "posix", "msys", (3, 11, 0), temporary, False),
            ("Windows, a 3.11 the change was carried back to", "nt", "win32", (3, 11, 10), temporary, False),
            ("Windows, a Python that cannot keep the file private", "nt", "win32", (3, 12, 3), None, False),
            ("Windows, a 3.11 from before the change", "nt", "win32", (3, 11, 9), None, False),
        ]
        self.assertTrue(os.path.isdir("/dev/fd"))
        for name, os_name, platform, version, where, left in cases:
            with self.subTest(name), redirect_stderr(StringIO()) as stderr, \
                    mock.patch.object(signing.os, "name", os_name), \
                    mock.patch.object(signing.sys, "platform", platform), \
                    mock.patch.object(signing.sys, "version_info", version), \
                    mock.patch.object(signing.shutil, "rmtree", lambda *a, **k: None) if left else nullcontext():
                if where is None:
                    with self.assertRaisesRegex(signing.SigningError, r"needs Python 3\.12\.4 or later \(or 3\.11\.10"):
                        signing.run_with_password(b"pass ", lambda path: shows_its_file + [path])
                    continue
                run = signing.run_with_password(b"pass ", lambda path: shows_its_file + [path])
                path, _, read = run.stdout.strip().partition(" ")
                self.assertEqual((run.returncode, read), (0, repr(b"pass \n")), run.stderr)
                self.assertTrue(path.startswith(where), path)
                self.assertEqual(os.path.exists(path), left)
                if left:
                    self.assertIn(f"warning: could not remove {path}, which holds the signing password",
                                  stderr.getvalue())
                    os.remove(path)
                    os.rmdir(os.path.dirname(path))
                else:
                    self.assertEqual(stderr.getvalue(), "")


class SourceDateTest(unittest.TestCase):
    def test_the_date_comes_from_the_environment_then_the_commit_then_1980(self):
        with tempfile.TemporaryDirectory() as folder:
            checkout, inner, plain = (os.path.join(folder, name) for name in ("checkout", "checkout/inner", "plain"))
            for path in (inner, plain):
                os.makedirs(path)
            git = ["git", "-C", checkout, "-c", "user.name=t", "-c", "user.email=t@example.com"]
            subprocess.run(["git", "init", "-q", checkout], check=True)
            subprocess.run(git + ["commit", "-q", "--allow-empty", "-m", "dated"], check=True,
                           env=dict(os.environ, GIT_COMMITTER_DATE="@1700000000 +0100"))
            cases = [
                (checkout, {"SOURCE_DATE_EPOCH": "1800000000"}, 1800000000, "SOURCE_DATE_EPOCH"),
                (checkout, {}, 1700000000, "the time of commit"),
                (plain, {}, EARLIEST, "not a git checkout"),
                (inner, {}, EARLIEST, "not a git checkout"),  # a checkout that merely encloses the sources
            ]
            for source, environ, date, origin in cases:
                with self.subTest(source=os.path.relpath(source, folder), environ=environ):
                    found, said = source_date(source, environ)
                    self.assertEqual(found, date)
                    self.assertIn(origin, said)
            for bad in ("yesterday", "-5", "1000"):
                with self.subTest(SOURCE_DATE_EPOCH=bad), self.assertRaises(ValueError):
                    source_date(checkout, {"SOURCE_DATE_EPOCH": bad})


class CommittedProductTest(unittest.TestCase):
    """A release is rebuilt from its commit, so the product's folder must be in it as it is."""

    def test_a_signed_release_needs_the_product_folder_committed_and_unchanged(self):
        with tempfile.TemporaryDirectory() as root:
            checkout = os.path.join(root, "checkout")
            product = os.path.join(checkout, "products", "sallow")
            os.makedirs(product)
            git = ["git", "-C", checkout, "-c", "user.name=t", "-c", "user.email=t@example.com"]
            subprocess.run(["git", "init", "-q", checkout], check=True)
            for name, text in (("product.toml", "[product]\n"), ("icon.ico", "icon"), (".gitignore", "*.bak\n")):
                with open(os.path.join(product if name != ".gitignore" else checkout, name), "w") as f:
                    f.write(text)
            subprocess.run(git + ["add", "-A"], check=True)
            subprocess.run(git + ["commit", "-q", "-m", "the product"], check=True)
            os.symlink("sallow", os.path.join(checkout, "products", "link"))
            outside = os.path.join(root, "elsewhere")
            os.makedirs(outside)
            uncommitted = os.path.join(checkout, "products", "new")
            os.makedirs(uncommitted)
            with open(os.path.join(uncommitted, "product.toml"), "w") as f:
                f.write("[product]\n")

            def write(name, text):
                def change():
                    with open(os.path.join(product, name), "w") as f:
                        f.write(text)
                return change

            cases = [  # name, what is done to the checkout first, the folder, what the refusal says
                ("committed and unchanged", None, product, None),
                ("a changed file", write("product.toml", "[product]\ncaption = 1\n"), product, "product.toml"),
                ("an untracked picture", write("flag.bmp", "BM"), product, "flag.bmp"),
                ("an ignored file", write("notes.bak", "x"), product, "notes.bak"),
                ("a folder outside the checkout", None, outside, "outside the checkout"),
                ("a folder never committed", None, uncommitted, "is not committed"),
                ("sources that are no checkout", None, product, "not a git checkout"),
                ("a link to it the commit lacks", None, os.path.join(checkout, "products", "link"), "link"),
            ]
            for name, change, folder, said in cases:
                with self.subTest(name):
                    subprocess.run(git + ["reset", "-q", "--hard"], check=True)
                    subprocess.run(git + ["clean", "-q", "-fdx", "--", product], check=True)
                    if change:
                        change()
                    sources = root if said == "not a git checkout" else checkout
                    found = product_not_committed(sources, folder)
                    if said is None:
                        self.assertIsNone(found)
                    else:
                        self.assertIn(said, found or "")
            # The refusal comes before anything is read or written: the certificate is not even looked at.
            write("flag.bmp", "BM")()
            facts = os.path.join(root, "product.json")
            with open(facts, "w") as f:
                f.write('{"executable": "Sallow.exe", "name": "Sallow Hub", "company": "Orrin", "version": "2.10", '
                        '"release_name": "Sallow", "volume_label": "SALLOW", "languages": []}')
            with redirect_stderr(StringIO()) as stderr:
                status = make_medium.main(["--product", facts, "--menu", "menu.exe",
                                           "--stub", "stub.exe", "--arch", "win32", "--out", os.path.join(root, "out"),
                                           "--sources", checkout, "--product-folder", product,
                                           "--sign-pkcs12", os.path.join(root, "missing.pfx")])
            self.assertEqual(status, 1)
            self.assertIn("a signed release is made only from a committed product", stderr.getvalue())
            self.assertFalse(os.path.exists(os.path.join(root, "out")))


class RememberedKeysTest(unittest.TestCase):
    """CMake's cache keeps the signing keys for every later configure of a build folder."""

    def test_a_configure_that_signs_with_keys_it_was_not_given_says_so_and_how_to_stop(self):
        certificate, password = "VELBROOK_SIGN_PKCS12=/keys/kestrin.pfx", "VELBROOK_SIGN_PASSWORD_FILE=/keys/kestrin.pw"
        signed = "--sign-pkcs12;/keys/kestrin.pfx;--sign-password-file;/keys/kestrin.pw"
        cases = [  # what is done, the configure's arguments, make_medium's signing arguments, the files remembered
            ("given", ["-D" + certificate, "-D" + password], signed, []),
            ("left out", [], signed, [certificate, password]),
            ("given again with their types", ["-D" + certificate.replace("=", ":FILEPATH="),
                                              "-D" + password.replace("=", ":FILEPATH=")], signed, []),
            ("left out again", [], signed, [certificate, password]),
            ("the certificate given, the password left out", ["-D" + certificate], signed, [password]),
            ("the certificate emptied: the remembered password is left out too", ["-DVELBROOK_SIGN_PKCS12="], "", []),
            ("given once more", ["-D" + certificate, "-D" + password], signed, []),
            ("every key removed", ["-U", "VELBROOK_SIGN_*"], "", []),
            ("a password file given alone: make_medium refuses it", ["-D" + password],
             "--sign-password-file;/keys/kestrin.pw", []),
        ]
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, "CMakeLists.txt"), "w") as f:
                f.write("cmake_minimum_required(VERSION 3.25)\nproject(signing NONE)\n"
                        f"include({SIGNING_CMAKE})\n"
                        'message(STATUS "signing: [${signing}]")\n')
            for what, arguments, signing_arguments, remembered in cases:
                with self.subTest(what):
                    run = subprocess.run(["cmake", "-S", folder, "-B", os.path.join(folder, "build"), "-G", "Ninja",
                                          *arguments], capture_output=True, text=True)
                    self.assertEqual(run.returncode, 0, run.stderr)
                    self.assertIn(f"signing: [{signing_arguments}]", run.stdout)
                    for key in (certificate, password):
                        self.assertEqual(key in run.stderr, key in remembered, run.stderr)
                    self.assertEqual("-U 'VELBROOK_SIGN_*' (or -DVELBROOK_SIGN_PKCS12=)" in " ".join(run.stderr.split()),
                                     bool(remembered), run.stderr)


class AutorunTest(unittest.TestCase):
    def test_windows_reads_the_names_as_written(self):
        # Windows reads AUTORUN.INF in the system's code page, or as UTF-16 after a byte-order mark.
        for executable, name in (("Velbrook.exe", "Velbrook Cable"), ("V\u00e9lbrook.exe", "\u7E41\u9AD4 Cable")):
            with self.subTest(name):
                raw = make_medium.autorun_inf(SimpleNamespace(executable=executable, name=name))
                text = raw[2:].decode("utf-16-le") if raw.startswith(b"\xff\xfe") else raw.decode("cp1252")
                self.assertEqual(text, f"[AutoRun]\r\nopen={executable}\r\nicon={executable},0\r\nlabel={name}\r\n")


if __name__ == "__main__":
    unittest.main()
