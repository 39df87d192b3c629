"""The release's tools on their own, with no build: where the one date of a
release comes from, and how the signing password reaches the signing tools.
The medium they make is checked in tests/e2e/test_medium.py."""

import os
import subprocess
import sys
import tempfile
import unittest
from contextlib import nullcontext, redirect_stderr
from io import StringIO
from unittest import mock

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "medium"))
import signing  # noqa: E402
from source_date import EARLIEST, source_date  # noqa: E402


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


if __name__ == "__main__":
    unittest.main()
