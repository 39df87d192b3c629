"""A press on a language picture starts that language's setup and ends the menu."""

import os
import shutil
import unittest

from harness import (LANGUAGES, MenuTest, Medium, STUB, wait_for, windows_path)


def arguments_after_program(cmdline):
    """What follows the program's own name on a command line."""
    cmdline = cmdline.lstrip()
    if cmdline.startswith('"'):
        end = cmdline.index('"', 1) + 1
    else:
        end = cmdline.find(" ") if " " in cmdline else len(cmdline)
    return cmdline[end:].strip()


class LaunchTest(MenuTest):
    def test_each_language_starts_its_setup_from_a_folder_with_blanks_and_chinese_letters(self):
        medium = Medium(self.work, name="My Menu 安裝光碟")
        for index, (folder, rect) in LANGUAGES.items():
            with self.subTest(language=folder):
                if os.path.exists(self.log):
                    os.remove(self.log)
                proc = self.start_menu(medium.exe)
                form = self.wait_for_form(proc)
                self.click_centre(form, rect)
                launched = wait_for(self.launches, 30, f"{folder}\\Setup.exe to start")
                self.wait_for_exit(proc)
                setup_folder = windows_path(os.path.join(medium.folder, folder))
                self.assertEqual(len(launched), 1, launched)
                self.assertEqual(launched[0]["module"].lower(), (setup_folder + "\\Setup.exe").lower())
                self.assertEqual(launched[0]["cwd"].rstrip("\\").lower(), setup_folder.lower())
                self.assertEqual(arguments_after_program(launched[0]["cmdline"]), "")

    def test_right_button_press_also_starts_the_setup(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.click_centre(form, LANGUAGES[2][1], button=3)
        launched = wait_for(self.launches, 30, "the setup to start")
        self.wait_for_exit(proc)
        self.assertTrue(launched[0]["module"].endswith("SimpChin_link\\Setup.exe"), launched)

    def test_a_program_planted_beside_a_folder_with_blanks_is_never_started(self):
        # "Media Kit\..." read as a command line would start "Media.exe".
        os.makedirs(os.path.join(self.work, "Media"))
        shutil.copy(STUB, os.path.join(self.work, "Media.exe"))
        medium = Medium(self.work, name="Media Kit")
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.click_centre(form, LANGUAGES[3][1])
        launched = wait_for(self.launches, 30, "a setup to start")
        self.wait_for_exit(proc)
        self.assertEqual([l["module"].rsplit("\\", 2)[-2:] for l in launched], [["English_link", "Setup.exe"]])

    def test_a_missing_setup_shows_the_error_box_over_the_open_window(self):
        medium = Medium(self.work, setups=("TradChin_link", "SimpChin_link", "Japanese_link"))
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.click_centre(form, LANGUAGES[3][1])
        box = wait_for(lambda: self.wine.dialogs(), 30, "the error box")[0]
        text = "\n".join(box["texts"])
        self.assertIn("Run-time error '53'", text)
        self.assertIn("File not found", text)
        self.assertIn(windows_path(os.path.join(medium.folder, "English_link", "Setup.exe")), text)
        self.assertTrue(any(w["visible"] for w in self.wine.forms(pid=box["pid"])), "the window was unloaded")
        self.wine.probe("command", str(box["hwnd"]), "1")
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])


if __name__ == "__main__":
    unittest.main()
