"""A release rebuilt from its commit. Two clones in two folders, built at two
clock times and signed with the same throwaway certificate, give the same
bytes; every date in them is the commit's; the signature verifies against
the CA and breaks on one changed byte; the signed menu runs; an unsigned
rebuild is the signed menu without its signature."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

from certificates import ThrowawayCA, missing_tools
from harness import ARTIFACTS, PRODUCT, WORK, MenuTest, wait_for, windows_path
from menubuild.medium import pe
from menubuild.medium.source_date import product_not_committed

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PRESET = os.environ.get("VELBROOK_RELEASE_ARCH", "")  # the presets are named after the architectures
VERSION = os.environ.get("VELBROOK_VERSION", "")
VENDOR_URL = "https://www.kestrin.example/velbrook"
PASSWORD = "correct horse battery"  # the throwaway certificate's


def commit_dated():
    """The environment without SOURCE_DATE_EPOCH: the date must come from the commit."""
    return {k: v for k, v in os.environ.items() if k != "SOURCE_DATE_EPOCH"}


def verify(path):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", keys[0].pem, "-in", path],
                          capture_output=True, text=True)


def product_in(clone):
    """The clone's copy of the configured product, which the commit holds (setUpModule checks)."""
    return os.path.join(clone, os.path.relpath(os.path.realpath(PRODUCT.folder), os.path.realpath(SOURCES)))


class Build:
    """One clone of the checked-out commit, built with its `medium` target."""

    def __init__(self, root, folder, commit, keys, clock=None):
        self.clone = os.path.join(root, folder)
        self.log = os.path.join(root, folder.replace(os.sep, "-") + ".log")
        subprocess.run(["git", "clone", "-q", "--no-local", "--no-checkout", SOURCES, self.clone], check=True)
        subprocess.run(["git", "-C", self.clone, "checkout", "-q", "--detach", commit], check=True)
        env = commit_dated()
        # A later clock, not later files: faketime would also shift the times stat() reports.
        env["NO_FAKE_STAT"] = "1"
        clock = ["faketime", "-f", clock] if clock else []
        pfx, password_file = keys
        with open(self.log, "w") as log:
            for step in (["cmake", "--preset", PRESET, f"-DVELBROOK_PRODUCT={product_in(self.clone)}",
                          f"-DVELBROOK_SIGN_PKCS12={pfx}",
                          f"-DVELBROOK_SIGN_PASSWORD_FILE={password_file}", f"-DVELBROOK_VENDOR_URL={VENDOR_URL}"],
                         ["cmake", "--build", "--preset", PRESET, "--target", "medium"]):
                if subprocess.run(clock + step, cwd=self.clone, env=env, stdout=log, stderr=subprocess.STDOUT).returncode:
                    raise RuntimeError(f"{' '.join(step)} failed in {self.clone}; see {self.log}")
        self.build = os.path.join(self.clone, "build", PRESET)
        self.release = os.path.join(self.build, "release")
        self.base = PRODUCT.release_base(PRESET)
        self.menu = os.path.join(self.release, self.base, PRODUCT.executable)
        self.commit_time = int(subprocess.run(["git", "-C", self.clone, "log", "-1", "--format=%ct"],
                                              capture_output=True, text=True, check=True).stdout)

    def files(self):
        """Every file of the release, by its path inside the release folder."""
        found = {}
        for root, _, names in os.walk(self.release):
            for name in names:
                path = os.path.join(root, name)
                found[os.path.relpath(path, self.release)] = path
        return found


builds = []
keys = None


def setUpModule():
    global keys
    missing = missing_tools() + [tool for tool in ("git", "xorriso") if not shutil.which(tool)]
    if missing:
        raise unittest.SkipTest(f"{', '.join(missing)} not installed")
    if not PRESET or not VERSION:
        raise unittest.SkipTest("VELBROOK_RELEASE_ARCH or VELBROOK_VERSION is not set: run through ctest")
    top = subprocess.run(["git", "-C", SOURCES, "rev-parse", "--show-toplevel"], capture_output=True, text=True)
    if top.returncode or os.path.realpath(top.stdout.strip()) != os.path.realpath(SOURCES):
        raise unittest.SkipTest("the sources are not a git checkout, so there is no commit to rebuild")
    not_committed = product_not_committed(SOURCES, PRODUCT.folder)
    if not_committed:
        # The release refuses to sign it (tests/medium checks the refusal): commit the product first.
        raise unittest.SkipTest(f"no signed release is made from this commit: {not_committed}")
    root = os.path.join(WORK, "release-rebuild")
    shutil.rmtree(root, ignore_errors=True)
    ca = ThrowawayCA(os.path.join(root, "keys"))
    keys = ca, ca.issue("Release", password=PASSWORD)
    # Different folders (of different depths) and clock times three days apart.
    commit = subprocess.run(["git", "-C", SOURCES, "rev-parse", "HEAD"], capture_output=True, text=True,
                            check=True).stdout.strip()
    builds.append(Build(root, "a", commit, keys[1]))
    builds.append(Build(root, os.path.join("b", "elsewhere", "src"), commit, keys[1], clock="+3d"))


class ReproducibleReleaseTest(unittest.TestCase):
    def test_two_builds_in_two_folders_at_two_times_give_the_same_bytes(self):
        # The clocks did differ: the linker stamped each build's own menu with its time.
        linked = [pe.PeFile(os.path.join(build.build, PRODUCT.executable)).time_stamp for build in builds]
        self.assertGreater(linked[1] - linked[0], 2 * 24 * 3600)
        first, second = (build.files() for build in builds)
        self.assertEqual(sorted(first), sorted(second))
        self.assertIn(f"{builds[0].base}.iso", first)
        self.assertIn(f"{builds[0].base}.zip", first)
        differing = []
        for name in sorted(first):
            with open(first[name], "rb") as a, open(second[name], "rb") as b:
                if a.read() != b.read():
                    differing.append(name)
        if differing and shutil.which("diffoscope"):
            os.makedirs(ARTIFACTS, exist_ok=True)
            for name in differing:
                report = os.path.join(ARTIFACTS, f"release-{name.replace(os.sep, '-')}.diffoscope.txt")
                subprocess.run(["diffoscope", "--text", report, first[name], second[name]],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                print(f"\ndifferences of {name}: {report}")
        self.assertEqual(differing, [], "these files differ between the two builds")
        sums = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=builds[0].release, capture_output=True, text=True)
        self.assertEqual(sums.returncode, 0, sums.stdout + sums.stderr)
        self.assertEqual(sorted(line.split(": ")[0] for line in sums.stdout.splitlines()),
                         [f"{builds[0].base}.iso", f"{builds[0].base}.zip"])

    def test_every_date_is_the_commits(self):
        build = builds[0]
        commit = build.commit_time
        self.assertEqual(pe.PeFile(build.menu).time_stamp, commit)
        iso = os.path.join(build.release, build.base + ".iso")
        info = subprocess.run(["xorriso", "-indev", iso, "-pvd_info"], capture_output=True, text=True).stdout
        stamp = time.strftime("%Y%m%d%H%M%S00", time.gmtime(commit))
        self.assertIn(f"Creation Time: {stamp}", info)
        self.assertIn(f"Modif. Time  : {stamp}", info)
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["xorriso", "-osirrox", "on", "-indev", iso, "-extract", "/", folder],
                           capture_output=True, check=True)
            dates = {os.stat(os.path.join(root, name)).st_mtime for root, dirs, files in os.walk(folder)
                     for name in dirs + files}
        self.assertEqual(dates, {commit})
        with zipfile.ZipFile(os.path.join(build.release, build.base + ".zip")) as z:
            # A zip entry holds its time in two-second steps.
            self.assertEqual({entry.date_time for entry in z.infolist()}, {time.gmtime(commit - commit % 2)[:6]})
            self.assertEqual({entry.external_attr >> 16 & 0o777 for entry in z.infolist()}, {0o644})
            names = z.namelist()
        self.assertEqual(names, sorted(names[:-1]) + [build.base + ".iso"], "the medium in order, then the image")
        verified = verify(build.menu).stdout
        self.assertIn("Signing time: " + time.strftime("%b %d %H:%M:%S %Y GMT", time.gmtime(commit)).replace(
            " 0", "  ", 1), verified)

    def test_the_signature_verifies_against_the_ca_names_the_product_and_breaks_on_one_changed_byte(self):
        menu = builds[0].menu
        verified = verify(menu)
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        self.assertIn("Message digest algorithm  : SHA256", verified.stdout)
        self.assertIn(f"Text description: {PRODUCT.name}", verified.stdout)
        self.assertIn(f"URL description: {VENDOR_URL}", verified.stdout)
        with tempfile.TemporaryDirectory() as folder:
            changed = os.path.join(folder, PRODUCT.executable)
            with open(menu, "rb") as f:
                data = bytearray(f.read())
            data[len(data) // 3] ^= 0x01  # one byte inside the code
            with open(changed, "wb") as f:
                f.write(data)
            broken = verify(changed)
        self.assertNotEqual(broken.returncode, 0, broken.stdout)
        self.assertIn("MISMATCH", broken.stdout)

    def test_the_password_is_in_no_file_of_the_build_and_in_no_log(self):
        for build in builds:
            with open(build.log, encoding="utf-8", errors="replace") as f:
                self.assertNotIn(PASSWORD, f.read())
            found = subprocess.run(["grep", "-rlF", PASSWORD, build.build], capture_output=True, text=True)
            self.assertEqual(found.stdout, "", "files holding the password")

    def test_an_unsigned_rebuild_is_the_signed_menu_without_its_signature(self):
        # What anyone without the vendor's key can check: rebuild unsigned, take
        # the signature off the released menu, compare.
        build = builds[1]
        env = dict(commit_dated(), PYTHONPATH=os.path.join(build.clone, "tools"))  # the clone's own tools
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([sys.executable, "-m", "menubuild.medium.make_medium",
                            "--product", os.path.join(build.build, "generated", "product", "product.json"),
                            "--menu", os.path.join(build.build, PRODUCT.executable),
                            "--stub", os.path.join(build.build, "Setup.exe"),
                            "--arch", PRESET, "--out", folder, "--staged-name", "unsigned"],
                           check=True, capture_output=True, env=env)
            stripped = os.path.join(folder, "stripped.exe")
            subprocess.run(["osslsigncode", "remove-signature", "-in", builds[0].menu, "-out", stripped],
                           check=True, capture_output=True)
            with open(stripped, "rb") as a, open(os.path.join(folder, "unsigned", PRODUCT.executable), "rb") as b:
                self.assertTrue(a.read() == b.read(), "the released menu without its signature is not the rebuild")


class SignedMenuTest(MenuTest):
    def test_the_signed_menu_runs_and_starts_a_rows_setup(self):
        menu = builds[0].menu
        proc = self.start_menu(menu)
        form = self.wait_for_form(proc)
        row = PRODUCT.shown[-1]
        self.click_centre(form, row.rect)
        launched = wait_for(self.launches, 30, f"{row.setup} to start")
        self.assertEqual([l["module"].lower() for l in launched], [row.started_from(os.path.dirname(menu)).lower()])
        self.wait_for_exit(proc)


if __name__ == "__main__":
    unittest.main()
