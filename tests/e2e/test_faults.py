"""Bad media, and an exit queued behind a press: each case has one clear
outcome and starts nothing else."""

import os
import random
import shutil
import signal
import stat
import unittest

from harness import BARE, COMMAND1, PREFIX, PRODUCT, Medium, MenuTest, wait_for, windows_path

ROW = PRODUCT.shown[-1] if PRODUCT.shown else None  # the row every case presses


class BadSetupTest(MenuTest):
    def break_the_row(self, medium, how):
        folder = os.path.join(medium.folder, ROW.folder)
        setup = os.path.join(folder, ROW.program)
        os.remove(setup)
        if how == "zero bytes":
            open(setup, "wb").close()
        elif how == "random bytes":
            with open(setup, "wb") as f:
                f.write(random.Random(7).randbytes(4096))
        elif how == "folder is a file":
            shutil.rmtree(folder)
            with open(folder, "wb") as f:
                f.write(b"not a folder")
        elif how == "setup is a folder":
            os.makedirs(setup)
        return windows_path(setup)

    def test_a_setup_that_cannot_start_gives_the_error_box_with_the_path_and_the_reason(self):
        for how in ("missing", "zero bytes", "random bytes", "folder is a file", "setup is a folder"):
            with self.subTest(case=how):
                medium = Medium(os.path.join(self.work, how.replace(" ", "-")))
                path = self.break_the_row(medium, how)
                proc = self.start_menu(medium.exe)
                try:
                    with self.screenshot_on_failure(how.replace(" ", "-")):
                        form = self.wait_for_form(proc)
                        self.click_centre(form, ROW.rect)
                        box = wait_for(lambda: self.wine.dialogs(), 30, "the error box")[0]
                        text = "\n".join(box["texts"])
                        self.assertIn("Run-time error", text)
                        self.assertIn(path, text)
                        reason = text.rsplit("\n\n", 1)[-1]
                        self.assertNotIn(path, reason, "a reason of its own follows the path")
                        self.assertGreater(len(reason), 10)
                        self.assertTrue(any(w["visible"] for w in self.wine.forms(pid=box["pid"])))
                        self.wine.probe("command", str(box["hwnd"]), "1")
                        self.wait_for_exit(proc)
                        self.assertEqual(self.launches(), [])
                finally:
                    self.wine.end_all()


class MediumPlacesTest(MenuTest):
    def press_the_row_and_expect_its_setup(self, medium):
        proc = self.start_menu(medium.exe)
        try:
            form = self.wait_for_form(proc)
            self.click_centre(form, ROW.rect)
            launched = wait_for(self.launches, 30, f"{ROW.setup} to start")
            self.wait_for_exit(proc)
            self.assertEqual(len(launched), 1)
            self.assertEqual(launched[0]["module"].lower(), ROW.started_from(medium.folder).lower())
        finally:
            self.wine.end_all()

    def test_a_medium_at_the_root_of_a_drive(self):
        medium = Medium(self.work, name="root")
        drive = os.path.join(PREFIX, "dosdevices", "m:")
        if os.path.lexists(drive):
            os.remove(drive)
        os.symlink(medium.folder, drive)
        self.addCleanup(os.remove, drive)
        proc = self.start_menu("M:\\" + PRODUCT.executable)
        form = self.wait_for_form(proc)
        self.click_centre(form, ROW.rect)
        launched = wait_for(self.launches, 30, f"{ROW.setup} to start")
        self.wait_for_exit(proc)
        self.assertEqual(launched[0]["module"], f"M:\\{ROW.folder}\\{ROW.program}", "no doubled backslash")

    def test_a_medium_in_a_folder_with_chinese_and_japanese_letters(self):
        medium = Medium(self.work, name="\u5b89\u88dd \u30a4\u30f3\u30b9\u30c8\u30fc\u30eb")
        self.press_the_row_and_expect_its_setup(medium)

    def test_a_read_only_medium(self):
        # Wine shows files without write permission as read-only, as on a disc.
        medium = Medium(self.work, name="read-only")
        folders = [root for root, _, _ in os.walk(medium.folder)]
        for root, _, files in os.walk(medium.folder):
            for name in files:
                os.chmod(os.path.join(root, name), 0o555)
        for folder in folders:
            os.chmod(folder, stat.S_IRUSR | stat.S_IXUSR)
        try:
            self.press_the_row_and_expect_its_setup(medium)
        finally:
            for folder in folders:
                os.chmod(folder, 0o755)

    def test_a_medium_deeper_than_260_characters_starts_its_setup_or_says_why_not(self):
        deep = os.path.join(self.work, *["d" * 50] * 6)
        os.makedirs(deep)
        medium = Medium(deep)
        expected = ROW.started_from(medium.folder)
        self.assertGreater(len(expected), 260)
        proc = self.start_menu(medium.exe)
        shown = wait_for(lambda: proc.poll() is not None or [w for w in self.wine.forms() if w["visible"]], 60,
                         "the menu's window or its end")
        if shown is True:
            self.skipTest("Wine itself cannot start a program from a path this deep on this architecture")
        form = shown[0]
        self.click_centre(form, ROW.rect)
        outcome = wait_for(lambda: self.launches() or self.wine.dialogs(), 30, "a start or an error box")
        if "module" in outcome[0]:
            self.assertEqual(outcome[0]["module"].lower(), expected.lower())
        else:
            # Where the system cannot start a program that deep, the box names the whole path.
            self.assertIn(expected, "\n".join(outcome[0]["texts"]))


class ExitDuringPressTest(MenuTest):
    """The press handler lets pending events run before it starts the setup:
    an exit click already queued by then ends the menu first."""

    AZURE = (2, 128, 255)

    def press_then_click(self, where):
        """Presses the row and, before the menu can handle the press, clicks `where` (client pixels)."""
        medium = Medium(os.path.join(self.work, f"{where[0]}-{where[1]}"))
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        left, top = form["client"][0], form["client"][1]
        x, y, w, h = ROW.rect
        self.pointer.move(left + x + w // 2, top + y + h // 2)
        # Lit: the pressable face is in front, and the menu is idle again.
        wait_for(lambda: self.display.grab().pixel(left + x + 2, top + y + 2) == self.AZURE, 20,
                 f"{ROW.name} to be lit")
        # Held still, the menu cannot handle the press before the click has queued behind it.
        os.kill(proc.pid, signal.SIGSTOP)
        try:
            self.pointer.burst("click", "1", "mousemove", str(left + where[0]), str(top + where[1]), "click", "1")
        finally:
            os.kill(proc.pid, signal.SIGCONT)
        self.wait_for_exit(proc)
        return self.launches()

    def test_an_exit_click_queued_behind_the_press_ends_the_menu_and_starts_nothing(self):
        x, y, w, h = COMMAND1
        self.assertEqual(self.press_then_click((x + w // 2, y + h // 2)), [])

    def test_the_same_sequence_ending_on_bare_background_starts_the_setup(self):
        # The control: the press is handled and the burst arrives whole.
        self.press_then_click(BARE)
        launched = wait_for(self.launches, 30, "the setup to start")
        self.assertEqual([entry["module"].rsplit("\\", 2)[-2:] for entry in launched], [[ROW.folder, ROW.program]])


if __name__ == "__main__":
    unittest.main()
