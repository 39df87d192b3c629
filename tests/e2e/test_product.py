"""A second product, made from its description alone: its menu and its signed
medium are built in a build folder of their own, and under Wine the menu
shows its caption and heading, lights each of its rows and starts exactly
each row's program."""

import json
import os
import shutil
import subprocess
import unittest

from certificates import ThrowawayCA, missing_tools
from harness import MenuTest, wait_for, windows_path
from menubuild.product.records import Product

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PRESET = os.environ.get("VELBROOK_RELEASE_ARCH", "")  # the presets are named after the architectures
AZURE, NAVY = (2, 128, 255), (0, 38, 101)

build = None


def setUpModule():
    global build
    missing = missing_tools() + [tool for tool in ("xorriso",) if not shutil.which(tool)]
    if missing:
        raise unittest.SkipTest(f"{', '.join(missing)} not installed")
    if not PRESET or not os.environ.get("VELBROOK_BUILD"):
        raise unittest.SkipTest("VELBROOK_RELEASE_ARCH or VELBROOK_BUILD is not set: run through ctest")
    build = os.path.join(os.environ["VELBROOK_BUILD"], "product-tarnwick")
    keys = ThrowawayCA(os.path.join(build, "keys")).issue("Tarnwick")
    with open(os.path.join(build, "build.log"), "w") as log:
        for step in (["cmake", "--preset", PRESET, "-B", build, "-DVELBROOK_PRODUCT=products/tarnwick",
                      f"-DVELBROOK_SIGN_PKCS12={keys[0]}", f"-DVELBROOK_SIGN_PASSWORD_FILE={keys[1]}"],
                     ["cmake", "--build", build, "--target", "menu", "stub_setup", "probe", "layout_json", "medium"]):
            if subprocess.run(step, cwd=SOURCES, stdout=log, stderr=subprocess.STDOUT).returncode:
                raise RuntimeError(f"{' '.join(step)} failed; see {log.name}")


class SecondProductTest(MenuTest):
    def setUp(self):
        super().setUp()
        self.product = Product.from_json(os.path.join(build, "generated", "product", "product.json"))
        with open(os.path.join(build, "layout.json"), encoding="utf-8") as f:
            self.layout = json.load(f)
        self.release = os.path.join(build, "release", f"Tarnwick-1.20-{PRESET}-demo")

    def start(self):
        """The menu from a copy of the staged release, and its window."""
        medium = os.path.join(self.work, "medium")
        if not os.path.exists(medium):
            shutil.copytree(self.release, medium)
        proc = self.start_menu(os.path.join(medium, self.product.executable))

        def shown():
            if proc.poll() is not None:
                raise AssertionError(f"the menu ended early with status {proc.returncode}")
            return [w for w in self.wine.probe("windows", self.product.caption)
                    if w["class"] == self.product.form_class and w["visible"]]
        return proc, wait_for(shown, 60, "the menu's window")[0], medium

    def rows(self):
        return [(row, self.layout["controls"][f"CountryImage({row.code})"]["rect"])
                for row in self.product.languages if row.shown]

    def test_the_release_is_signed_and_named_for_the_product(self):
        menu = os.path.join(self.release, "Tarnwick.exe")
        verified = subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(build, "keys", "ca.pem"),
                                   "-in", menu], capture_output=True, text=True)
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        self.assertIn("Text description: Tarnwick Dock", verified.stdout)
        self.assertTrue(os.path.exists(self.release + ".iso"))

    def test_caption_heading_a_light_on_each_row_and_each_rows_program(self):
        proc, form, medium = self.start()
        heading = self.wine.probe("accessible", str(form["hwnd"]))["children"][0]["name"]
        self.assertEqual(heading, "Kestrin USB 3.0 Tarnwick Dock")
        left, top = form["client"][0], form["client"][1]
        rows = self.rows()
        self.assertEqual([row.words for row, _ in rows], ["English", "Deutsch", "Français", "日本語", "한국어"])
        for row, (x, y, w, h) in rows:
            with self.subTest(row=row.name):
                self.pointer.move(left + x + w // 2, top + y + h // 2)
                wait_for(lambda: self.display.grab().pixel(left + x + 2, top + y + 2) == AZURE, 20,
                         f"{row.name} to be lit")
                frame = self.display.grab()
                others = [r for r, (rx, ry, _, _) in rows if frame.pixel(left + rx + 2, top + ry + 2) != NAVY]
                self.assertEqual(others, [row], "one row lit at a time")
        self.wine.end_all()
        for row, (x, y, w, h) in rows:
            with self.subTest(press=row.name):
                if os.path.exists(self.log):
                    os.remove(self.log)
                proc, form, medium = self.start()
                self.click_centre(form, (x, y, w, h))
                wait_for(self.launches, 30, f"{row.folder}\\{row.program} to start")
                self.wait_for_exit(proc)
                self.wait_for_setups_to_end()
                expected = windows_path(os.path.join(medium, row.folder, row.program))
                self.assertEqual([l["module"].lower() for l in self.launches()], [expected.lower()])


if __name__ == "__main__":
    unittest.main()
