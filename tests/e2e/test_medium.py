"""The installation medium: staging it, its ISO image, the release zip, the
one version they all carry, the stamped time, and what signing refuses.
The tools' tests that need no build are in tests/medium."""

import os
import pathlib
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest
import zipfile
from datetime import datetime, timedelta, timezone
from unittest import mock

from certificates import ThrowawayCA, missing_tools
from harness import EXE, PRODUCT, STUB, Medium, MenuTest, only_for_the_default_product, wait_for, windows_path
from menubuild.medium import make_medium, pe, pe_stamp

MAKE_MEDIUM = [sys.executable, "-m", "menubuild.medium.make_medium"]
PRODUCT_JSON = os.environ.get("VELBROOK_PRODUCT_JSON", "")
RELEASE = os.environ.get("VELBROOK_RELEASE", "")
VERSION = os.environ.get("VELBROOK_VERSION", "")
RELEASE_ARCH = os.environ.get("VELBROOK_RELEASE_ARCH", "")
# The build's own release is signed only when its cache names a certificate.
RELEASE_SUFFIX = "" if os.environ.get("VELBROOK_RELEASE_SIGNED") == "1" else "-unsigned"
SIGNERS_GUIDE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "docs", "release-signing.md")
FOLDERS = Medium.LANGUAGE_FOLDERS
MENU = PRODUCT.executable


def xorriso(*args):
    return subprocess.run(["xorriso", *args], capture_output=True, text=True, check=True).stdout


def listing(iso, tree):
    """Every path on the image as the given tree names it: "norock" reads the Joliet names
    (what Windows shows), "ecma119" the plain ISO 9660 names."""
    out = xorriso("-read_fs", tree, "-indev", iso, "-find", "/")
    return sorted(line.strip().strip("'") for line in out.splitlines() if line.startswith("'/"))


def extract(iso, folder):
    """The Joliet tree of the image into a folder, made writable again."""
    xorriso("-read_fs", "norock", "-osirrox", "on", "-indev", iso, "-extract", "/", folder)
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            os.chmod(path, os.stat(path).st_mode | stat.S_IWUSR)
    os.chmod(folder, os.stat(folder).st_mode | stat.S_IWUSR)


def need_environment(test):
    for name, value in (("VELBROOK_RELEASE", RELEASE), ("VELBROOK_VERSION", VERSION)):
        if not value:
            test.skipTest(f"{name} is not set: run through ctest")


class Staging(unittest.TestCase):
    """The staging (menubuild.medium.make_medium) run by hand into a work folder of its own."""

    def setUp(self):
        need_environment(self)
        self.work = tempfile.mkdtemp(prefix="staging-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def setups(self, without=()):
        """A vendor's folder: every language folder with its setup and a data file beside it."""
        folder = os.path.join(self.work, "setups")
        for row in PRODUCT.languages:
            os.makedirs(os.path.join(folder, row.folder))
            with open(os.path.join(folder, row.folder, "data.cab"), "wb") as f:
                f.write(row.folder.encode())
            if row not in without:
                shutil.copy(STUB, os.path.join(folder, row.setup))
        return folder

    def committed_product(self):
        """A checkout whose one commit holds the product's folder, dated like the sources' commit:
        a signed release is made only from a committed product, wherever this one lies."""
        checkout = os.path.join(self.work, "checkout")
        if not os.path.isdir(checkout):
            folder = os.path.join(checkout, "products", "product")
            shutil.copytree(PRODUCT.folder, folder)
            date = subprocess.run(["git", "-C", make_medium.SOURCES, "log", "-1", "--format=%ct"],
                                  capture_output=True, text=True).stdout.strip() or "315532800"
            git = ["git", "-C", checkout, "-c", "user.name=t", "-c", "user.email=t@example.com"]
            subprocess.run(["git", "init", "-q", checkout], check=True)
            subprocess.run(git + ["add", "-A"], check=True)
            subprocess.run(git + ["commit", "-q", "-m", "the product"], check=True,
                           env=dict(os.environ, GIT_COMMITTER_DATE=f"@{date} +0000"))
        return ["--sources", checkout, "--product-folder", os.path.join(checkout, "products", "product")]

    def make(self, setups, *extra, env=None):
        """The staging with the vendor's `setups`, or the stub setups when None."""
        out = os.path.join(self.work, "out")
        source = ["--setups", setups] if setups else ["--stub", STUB]
        return out, subprocess.run([*MAKE_MEDIUM, "--product", PRODUCT_JSON, "--menu", EXE, *source,
                                    "--arch", "win32", "--out", out, *self.committed_product(), *extra],
                                   capture_output=True, text=True, env=env)


class StagingTest(Staging):
    def test_refuses_when_a_language_the_menu_offers_has_no_setup(self):
        for row in PRODUCT.shown:
            with self.subTest(language=row.folder):
                setups = self.setups(without=(row,))
                out, run = self.make(setups, "--iso")
                self.assertEqual(run.returncode, 1, run.stdout)
                self.assertIn(os.path.join(setups, row.folder), run.stderr)
                self.assertFalse(os.path.exists(out) and os.listdir(out), "something was staged or written")
                shutil.rmtree(self.work)
                os.makedirs(self.work)

    def test_stages_the_vendors_setups_whole_and_a_hidden_languages_may_be_absent(self):
        hidden = PRODUCT.hidden[0] if PRODUCT.hidden else None
        for case, absent in (("every setup", None), ("a hidden language's setup absent", hidden)):
            with self.subTest(case):
                if case != "every setup" and absent is None:
                    self.skipTest(f"{PRODUCT.name} has no hidden language, whose setup may be absent")
                self.stage_without(absent)
                shutil.rmtree(self.work)
                os.makedirs(self.work)

    def stage_without(self, absent):
        setups = self.setups(without=(absent,) if absent else ())
        out, run = self.make(setups, "--iso")
        self.assertEqual(run.returncode, 0, run.stderr)
        staged = os.path.join(out, PRODUCT.release_base("win32", demo=False, signed=False))
        for row in PRODUCT.languages:
            files = sorted(os.listdir(os.path.join(staged, row.folder)))
            self.assertEqual(files, sorted([row.program, "data.cab"]) if row != absent else ["data.cab"])
            # The stub is unsigned: a warning per setup, and the setup copied unchanged.
            if row != absent:
                self.assertIn(f"warning: {row.setup} is not signed", run.stderr)
                with open(STUB, "rb") as a, open(os.path.join(staged, row.setup), "rb") as b:
                    self.assertEqual(a.read(), b.read())
        self.assertIn("UNSIGNED", run.stdout)
        iso = os.path.join(out, PRODUCT.release_base("win32", demo=False, signed=False) + ".iso")
        label = xorriso("-indev", iso, "-pvd_info")
        self.assertIn(PRODUCT.volume_id(demo=False) + "\n", label + "\n", "a vendor's medium is no demo")
        self.assertNotIn("DEMO", label)


class InterruptedReleaseTest(Staging):
    def test_a_release_that_cannot_be_moved_in_whole_leaves_nothing(self):
        moved, replace = [], os.replace

        def interrupted_at_the_checksums(source, target):
            if os.path.basename(target) == "SHA256SUMS":
                raise OSError("interrupted")
            moved.append(os.path.basename(target))
            replace(source, target)
        out = os.path.join(self.work, "out")
        with mock.patch.object(make_medium.os, "replace", interrupted_at_the_checksums):
            code = make_medium.main(["--product", PRODUCT_JSON, "--menu", EXE, "--stub", STUB, "--arch", "win32",
                                     "--out", out, "--iso", "--zip"])
        base = PRODUCT.release_base("win32", signed=False)
        self.assertEqual((code, sorted(moved)), (1, [base, base + ".iso", base + ".zip"]),
                         "the checksums were not moved in last")
        self.assertEqual(os.listdir(out), [], "a partial release was left")


class ReleaseTest(unittest.TestCase):
    """What the build's `medium` target wrote: a demo, since CI names no setups."""

    def setUp(self):
        need_environment(self)
        self.base = PRODUCT.release_base(RELEASE_ARCH, signed=not RELEASE_SUFFIX)
        self.iso = os.path.join(RELEASE, self.base + ".iso")

    def test_the_image_holds_the_menu_autorun_and_every_language_with_its_setup(self):
        joliet = listing(self.iso, "norock")
        self.assertEqual(joliet, sorted(["/", "/AUTORUN.INF", f"/{MENU}"] +
                                        [p for row in PRODUCT.languages
                                         for p in (f"/{row.folder}", f"/{row.folder}/{row.program}")]))
        root = [p for p in listing(self.iso, "ecma119") if p.count("/") == 1 and p != "/"]
        self.assertIn("/AUTORUN.INF", root)
        stem, _, ext = MENU.partition(".")
        if len(stem) <= 8 and MENU.isascii():  # a longer name is shortened its own way
            self.assertIn("/" + MENU.upper(), root)
        self.assertEqual(len(root), 2 + len(FOLDERS), root)
        for name in root:  # upper-case 8.3 at the root
            stem, _, ext = name[1:].partition(".")
            self.assertTrue(name == name.upper() and len(stem) <= 8 and len(ext) <= 3, name)

    def test_autorun_names_files_on_the_image_and_the_label_marks_the_demo(self):
        with tempfile.TemporaryDirectory() as folder:
            extract(self.iso, folder)
            with open(os.path.join(folder, "AUTORUN.INF"), "rb") as f:
                raw = f.read()
        # ASCII, or UTF-16 after its byte-order mark where a name needs more.
        text = raw[2:].decode("utf-16-le") if raw.startswith(b"\xff\xfe") else raw.decode("ascii")
        self.assertIn("\r\n", text, "Windows reads INF lines ending in CR LF")
        entries = dict(line.split("=", 1) for line in text.splitlines() if "=" in line)
        on_image = {p.lower() for p in listing(self.iso, "norock")}
        self.assertIn("/" + entries["open"].lower(), on_image)
        icon_file, _, index = entries["icon"].partition(",")
        self.assertIn("/" + icon_file.lower(), on_image)
        self.assertEqual(index, "0", "the menu's one icon group")
        self.assertEqual(entries["label"], PRODUCT.name)
        self.assertIn(f"Volume Id    : {PRODUCT.volume_id()}\n", xorriso("-indev", self.iso, "-pvd_info"))

    def test_the_zip_holds_the_staged_medium_and_the_image_under_versioned_names(self):
        with zipfile.ZipFile(os.path.join(RELEASE, self.base + ".zip")) as z:
            names = set(z.namelist())
        self.assertIn(self.base + ".iso", names)
        self.assertIn(f"{self.base}/{MENU}", names)
        self.assertIn(f"{self.base}/AUTORUN.INF", names)
        for row in PRODUCT.languages:
            self.assertIn(f"{self.base}/{row.folder}/{row.program}", names)

    def test_the_menu_on_the_image_carries_the_products_version(self):
        with tempfile.TemporaryDirectory() as folder:
            extract(self.iso, folder)
            resources = pe.PeFile(os.path.join(folder, MENU)).resources()
        values = dict(pe.version_strings(resources[(pe.RT_VERSION, 1, PRODUCT.version_language)]))
        self.assertEqual((values["FileVersion"], values["ProductVersion"]), (PRODUCT.version, PRODUCT.version))
        self.assertEqual(VERSION, PRODUCT.version, "the build's version is not the description's")

    def test_the_signers_guide_names_the_default_products_release_by_its_version(self):
        only_for_the_default_product(self)
        with open(SIGNERS_GUIDE, encoding="utf-8") as f:
            guide = f.read()
        self.assertIn(f"Velbrook-{VERSION}-win32.iso", guide)
        self.assertIn(f"Velbrook-{VERSION}-win32.zip", guide)


class SigningInputTest(Staging):
    """Every input that cannot make a trusted signature is refused with a message
    that says why, and nothing is left: not even an earlier release."""

    @classmethod
    def setUpClass(cls):
        missing = missing_tools()
        if missing:
            raise unittest.SkipTest(f"{', '.join(missing)} not installed")
        cls.keys = tempfile.mkdtemp(prefix="keys-")
        cls.ca = ThrowawayCA(cls.keys)
        cls.good, cls.password = cls.ca.issue("signer")
        cls.expired, cls.expired_password = cls.ca.issue("expired", issued="2020-01-01 00:00:00 UTC")
        cls.valid_from = datetime.now(timezone.utc) + timedelta(days=40)
        cls.early, cls.early_password = cls.ca.issue("early", issued=f"{cls.valid_from:%Y-%m-%d %H:%M:%S} UTC")
        cls.empty, _ = cls.ca.issue("empty", password="")
        cls.empty_password = os.path.join(cls.keys, "empty.notepad.password")  # only the line end Notepad saves
        with open(cls.empty_password, "wb") as f:
            f.write(b"\r\n")
        cls.web, cls.web_password = cls.ca.issue("web", usage="serverAuth")
        # Windows signs with a certificate whose extended key usage says code signing and that
        # has no key usage extension; one whose key usage leaves out signatures it refuses.
        cls.eku_only, cls.eku_only_password = cls.ca.issue("eku-only", key_usage=None)
        cls.encipher, cls.encipher_password = cls.ca.issue("encipher", key_usage="critical,keyEncipherment")
        cls.alone = os.path.join(cls.keys, "alone.pfx")  # the signer's certificate without the CA's
        subprocess.run(["openssl", "pkcs12", "-export", "-inkey", cls.ca.path("signer.key"), "-in",
                        cls.ca.path("signer.pem"), "-passout", "file:" + cls.password, "-out", cls.alone],
                       check=True, capture_output=True)
        cls.garbage = os.path.join(cls.keys, "garbage.pfx")
        with open(cls.garbage, "wb") as f:
            f.write(b"not a certificate")
        cls.wrong = os.path.join(cls.keys, "wrong.password")
        with open(cls.wrong, "w") as f:
            f.write("not the password\n")
        cls.notepad = os.path.join(cls.keys, "notepad.password")  # saved by Notepad: a BOM and CR LF
        with open(cls.notepad, "wb") as f:
            f.write(b"\xef\xbb\xbf" + pathlib.Path(cls.password).read_bytes().rstrip(b"\n") + b"\r\n")
        cls.unicode = os.path.join(cls.keys, "unicode.password")  # Notepad's "Unicode", PowerShell's >
        with open(cls.unicode, "w", encoding="utf-16", newline="\r\n") as f:
            f.write(pathlib.Path(cls.password).read_text())
        cls.unicode_be = os.path.join(cls.keys, "unicode-be.password")  # Notepad's "Unicode big endian"
        with open(cls.unicode_be, "wb") as f:
            f.write(b"\xfe\xff" + pathlib.Path(cls.password).read_text().replace("\n", "\r\n").encode("utf-16-be"))
        cls.cut_utf16 = os.path.join(cls.keys, "cut.password")  # UTF-16 cut short: an odd number of bytes
        with open(cls.cut_utf16, "wb") as f:
            f.write(b"\xff\xfep\x00a\x00s")
        cls.blank = os.path.join(cls.keys, "blank.password")  # the right password and a blank: another password
        with open(cls.blank, "w") as f:
            f.write(pathlib.Path(cls.password).read_text().rstrip("\n") + " \n")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.keys, ignore_errors=True)

    def release(self, *signing, env=None):
        out = os.path.join(self.work, "out")
        os.makedirs(out, exist_ok=True)
        for name in (PRODUCT.release_base("win32") + ".iso", "SHA256SUMS"):  # an earlier run's release
            with open(os.path.join(out, name), "w") as f:
                f.write("earlier")
        return self.make(None, "--iso", "--zip", *signing, env=env)

    def test_each_bad_input_gives_its_message_and_leaves_no_output(self):
        missing = os.path.join(self.keys, "missing")
        # A medium that fails after staging: the image cannot be written.
        failing = os.path.join(self.work, "bin")
        os.makedirs(failing)
        with open(os.path.join(failing, "xorriso"), "w") as f:
            f.write("#!/bin/sh\nexit 5\n")
        os.chmod(os.path.join(failing, "xorriso"), 0o755)
        broken_path = dict(os.environ, PATH=failing + os.pathsep + os.environ["PATH"])
        cases = [
            ("missing certificate", [self.good.replace("signer", "nobody"), self.password],
             "cannot read the certificate file"),
            ("not a PKCS#12 file", [self.garbage, self.password], "is not a PKCS#12 (.pfx/.p12) file"),
            ("missing password file", [self.good, missing], "cannot read the password file"),
            ("no password file named", [self.good, None], "VELBROOK_SIGN_PASSWORD_FILE is not"),
            ("wrong password", [self.good, self.wrong], "(wrong password)"),
            ("a UTF-16 password file cut short", [self.good, self.cut_utf16], "starts as UTF-16 but is not UTF-16 text"),
            ("a blank after the password", [self.good, self.blank],
             "(wrong password (its line ends in a blank, which is part of it))"),
            ("expired", [self.expired, self.expired_password], "expired on 2020-01-31"),
            ("not valid yet", [self.early, self.early_password], f"is valid only from {self.valid_from:%Y-%m-%d}"),
            ("not for code signing", [self.web, self.web_password],
             "is not for code signing (its extended key usage is TLS Web Server Authentication)"),
            ("a key usage without signatures", [self.encipher, self.encipher_password],
             "may not make digital signatures"),
            ("without its issuers' certificates", [self.alone, self.password],
             "but not the certificates that issued it (its issuer is CN = Velbrook Test CA)"),
            ("the image cannot be written", [self.good, self.password], "xorriso"),
            ("a password file saved on Windows", [self.good, self.notepad], None),  # is no bad input
            ("a password file saved in UTF-16", [self.good, self.unicode], None),
            ("a password file saved in UTF-16 big-endian", [self.good, self.unicode_be], None),
            ("an empty password", [self.empty, self.empty_password], None),
            ("code signing in the extended key usage, no key usage", [self.eku_only, self.eku_only_password], None),
        ]
        for name, (pfx, password), message in cases:
            with self.subTest(name):
                signing = ["--sign-pkcs12", pfx] + (["--sign-password-file", password] if password else [])
                out, run = self.release(*signing, env=broken_path if "image" in name else None)
                if message is None:
                    self.assertEqual(run.returncode, 0, run.stderr)
                    self.assertIn("the signature verifies", run.stdout)
                    continue
                self.assertEqual(run.returncode, 1, run.stdout + run.stderr)
                self.assertIn("no medium was made", run.stderr)
                self.assertIn(message, run.stderr)
                self.assertEqual(os.listdir(out), [], "something was left in the release folder")
                shutil.rmtree(out)

    def test_a_signed_vendor_setup_draws_no_warning(self):
        signed, unsigned = PRODUCT.shown[-1], PRODUCT.other_shown(PRODUCT.shown[-1])
        if unsigned is None:
            self.skipTest(f"{PRODUCT.name} shows one language only: no unsigned setup beside the signed one")
        setups = self.setups(without=PRODUCT.hidden[:1])  # a hidden language's setup may be absent too
        setup = os.path.join(setups, signed.setup)
        subprocess.run(["osslsigncode", "sign", "-pkcs12", self.good, "-readpass", self.password,
                        "-in", STUB, "-out", setup + ".signed"], check=True, capture_output=True)
        os.replace(setup + ".signed", setup)
        out, run = self.make(setups, "--iso", "--sign-pkcs12", self.good, "--sign-password-file", self.password)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertNotIn(f"{signed.setup} is not signed", run.stderr)
        self.assertIn(f"{unsigned.setup} is not signed", run.stderr)
        staged = os.path.join(out, PRODUCT.release_base("win32", demo=False))
        self.assertEqual(sorted(os.listdir(staged)), sorted(["AUTORUN.INF", MENU, *FOLDERS]))
        self.assertTrue(pe.PeFile(os.path.join(staged, MENU)).is_signed())
        self.assertTrue(pe.PeFile(os.path.join(staged, signed.setup)).is_signed())
        self.assertFalse(pe.PeFile(os.path.join(staged, unsigned.setup)).is_signed())


class PeStampTest(unittest.TestCase):
    def test_the_stamp_sets_the_time_and_the_checksum_as_the_linker_computes_it(self):
        if not EXE:
            self.skipTest("VELBROOK_EXE is not set: run through ctest")
        linked = pe.PeFile(EXE)
        self.assertNotEqual(linked.checksum, 0)
        self.assertEqual(pe_stamp.checksum(linked.data, linked.checksum_offset), linked.checksum)
        with tempfile.TemporaryDirectory() as folder:
            copy = os.path.join(folder, "Velbrook.exe")
            shutil.copy(EXE, copy)
            pe_stamp.stamp(copy, 1700000000)
            stamped = pe.PeFile(copy)
        self.assertEqual(stamped.time_stamp, 1700000000)
        self.assertEqual(pe_stamp.checksum(stamped.data, stamped.checksum_offset), stamped.checksum)
        fields = {*range(linked.time_stamp_offset, linked.time_stamp_offset + 4),
                  *range(linked.checksum_offset, linked.checksum_offset + 4)}
        changed = {i for i, (a, b) in enumerate(zip(linked.data, stamped.data)) if a != b}
        self.assertLessEqual(changed, fields, "the stamp changed more than the time and the checksum")


class MenuFromImageTest(MenuTest):
    def test_the_menu_taken_from_the_image_starts_a_rows_setup(self):
        need_environment(self)
        iso = os.path.join(RELEASE, PRODUCT.release_base(RELEASE_ARCH, signed=not RELEASE_SUFFIX) + ".iso")
        folder = os.path.join(self.work, "disc")
        extract(iso, folder)
        proc = self.start_menu(os.path.join(folder, MENU))
        form = self.wait_for_form(proc)
        row = PRODUCT.shown[-1]
        self.click_centre(form, row.rect)
        launched = wait_for(self.launches, 30, f"{row.setup} to start")
        self.assertEqual([l["module"].lower() for l in launched], [row.started_from(folder).lower()])
        self.wait_for_exit(proc)


if __name__ == "__main__":
    unittest.main()
