"""The installation medium: staging it, its ISO image, the release zip, and
the one version they all carry."""

import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest
import zipfile

import pe
from harness import EXE, LANGUAGES, STUB, Medium, MenuTest, wait_for, windows_path

MAKE_MEDIUM = os.environ.get("VELBROOK_MAKE_MEDIUM", "")
RELEASE = os.environ.get("VELBROOK_RELEASE", "")
VERSION = os.environ.get("VELBROOK_VERSION", "")
RELEASE_ARCH = os.environ.get("VELBROOK_RELEASE_ARCH", "")
README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
FOLDERS = Medium.LANGUAGE_FOLDERS


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
    for name, value in (("VELBROOK_MAKE_MEDIUM", MAKE_MEDIUM), ("VELBROOK_RELEASE", RELEASE),
                        ("VELBROOK_VERSION", VERSION)):
        if not value:
            test.skipTest(f"{name} is not set: run through ctest")


class StagingTest(unittest.TestCase):
    def setUp(self):
        need_environment(self)
        self.work = tempfile.mkdtemp(prefix="staging-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def setups(self, without=()):
        """A vendor's folder: every language folder with its setup and a data file beside it."""
        folder = os.path.join(self.work, "setups")
        for language in FOLDERS:
            os.makedirs(os.path.join(folder, language))
            with open(os.path.join(folder, language, "data.cab"), "wb") as f:
                f.write(language.encode())
            if language not in without:
                shutil.copy(STUB, os.path.join(folder, language, "Setup.exe"))
        return folder

    def make(self, setups, *extra):
        out = os.path.join(self.work, "out")
        return out, subprocess.run([sys.executable, MAKE_MEDIUM, "--menu", EXE, "--setups", setups,
                                    "--version", VERSION, "--arch", "win32", "--out", out, *extra],
                                   capture_output=True, text=True)

    def test_refuses_when_a_language_the_menu_offers_has_no_setup(self):
        for language in ("TradChin_link", "SimpChin_link", "English_link"):
            with self.subTest(language=language):
                setups = self.setups(without=(language,))
                out, run = self.make(setups, "--iso")
                self.assertEqual(run.returncode, 1, run.stdout)
                self.assertIn(os.path.join(setups, language), run.stderr)
                self.assertFalse(os.path.exists(out) and os.listdir(out), "something was staged or written")
                shutil.rmtree(self.work)
                os.makedirs(self.work)

    def test_stages_the_vendors_setups_whole_and_japanese_may_be_absent(self):
        setups = self.setups(without=("Japanese_link",))
        out, run = self.make(setups, "--iso")
        self.assertEqual(run.returncode, 0, run.stderr)
        staged = os.path.join(out, f"Velbrook-{VERSION}-win32")
        for language in FOLDERS:
            files = sorted(os.listdir(os.path.join(staged, language)))
            self.assertEqual(files, ["Setup.exe", "data.cab"] if language != "Japanese_link" else ["data.cab"])
        iso = os.path.join(out, f"Velbrook-{VERSION}-win32.iso")
        label = xorriso("-indev", iso, "-pvd_info")
        self.assertIn(f"VELBROOK_{VERSION.replace('.', '_')}\n", label + "\n", "a vendor's medium is no demo")
        self.assertNotIn("DEMO", label)


class ReleaseTest(unittest.TestCase):
    """What the build's `medium` target wrote: a demo, since CI names no setups."""

    def setUp(self):
        need_environment(self)
        self.base = f"Velbrook-{VERSION}-{RELEASE_ARCH}-demo"
        self.iso = os.path.join(RELEASE, self.base + ".iso")

    def test_the_image_holds_the_menu_autorun_and_every_language_with_its_setup(self):
        joliet = listing(self.iso, "norock")
        self.assertEqual(joliet, sorted(["/", "/AUTORUN.INF", "/Velbrook.exe"] +
                                        [p for f in FOLDERS for p in (f"/{f}", f"/{f}/Setup.exe")]))
        root = [p for p in listing(self.iso, "ecma119") if p.count("/") == 1 and p != "/"]
        self.assertIn("/AUTORUN.INF", root)
        self.assertIn("/VELBROOK.EXE", root)
        for name in root:  # upper-case 8.3 at the root
            stem, _, ext = name[1:].partition(".")
            self.assertTrue(name == name.upper() and len(stem) <= 8 and len(ext) <= 3, name)

    def test_autorun_names_files_on_the_image_and_the_label_marks_the_demo(self):
        with tempfile.TemporaryDirectory() as folder:
            extract(self.iso, folder)
            with open(os.path.join(folder, "AUTORUN.INF"), "rb") as f:
                raw = f.read()
        self.assertIn(b"\r\n", raw, "Windows reads INF lines ending in CR LF")
        entries = dict(line.split("=", 1) for line in raw.decode("ascii").splitlines() if "=" in line)
        on_image = {p.lower() for p in listing(self.iso, "norock")}
        self.assertIn("/" + entries["open"].lower(), on_image)
        icon_file, _, index = entries["icon"].partition(",")
        self.assertIn("/" + icon_file.lower(), on_image)
        self.assertEqual(index, "0", "the menu's one icon group")
        self.assertEqual(entries["label"], "Velbrook Cable")
        self.assertIn(f"Volume Id    : VELBROOK_{VERSION.replace('.', '_')}_DEMO", xorriso("-indev", self.iso,
                                                                                          "-pvd_info"))

    def test_the_zip_holds_the_staged_medium_and_the_image_under_versioned_names(self):
        with zipfile.ZipFile(os.path.join(RELEASE, self.base + ".zip")) as z:
            names = set(z.namelist())
        self.assertIn(self.base + ".iso", names)
        self.assertIn(f"{self.base}/Velbrook.exe", names)
        self.assertIn(f"{self.base}/AUTORUN.INF", names)
        for language in FOLDERS:
            self.assertIn(f"{self.base}/{language}/Setup.exe", names)

    def test_the_version_block_and_the_readme_carry_the_same_version(self):
        with tempfile.TemporaryDirectory() as folder:
            extract(self.iso, folder)
            resources = pe.PeFile(os.path.join(folder, "Velbrook.exe")).resources()
        values = dict(pe.version_strings(resources[(pe.RT_VERSION, 1, 0x0404)]))
        self.assertEqual((values["FileVersion"], values["ProductVersion"]), (VERSION, VERSION))
        with open(README, encoding="utf-8") as f:
            readme = f.read()
        self.assertIn(f"Velbrook-{VERSION}-win32.iso", readme)
        self.assertIn(f"Velbrook-{VERSION}-win32.zip", readme)


class MenuFromImageTest(MenuTest):
    def test_the_menu_taken_from_the_image_starts_the_english_setup(self):
        need_environment(self)
        iso = os.path.join(RELEASE, f"Velbrook-{VERSION}-{RELEASE_ARCH}-demo.iso")
        folder = os.path.join(self.work, "disc")
        extract(iso, folder)
        proc = self.start_menu(os.path.join(folder, "Velbrook.exe"))
        form = self.wait_for_form(proc)
        self.click_centre(form, LANGUAGES[3][1])
        launched = wait_for(self.launches, 30, "the English setup to start")
        self.assertEqual([l["module"].lower() for l in launched],
                         [windows_path(os.path.join(folder, "English_link", "Setup.exe")).lower()])
        self.wait_for_exit(proc)


if __name__ == "__main__":
    unittest.main()
