"""Choosing a language with the keyboard alone."""

import os
import shutil
import unittest

from harness import COMMAND1, LANGUAGES, Medium, MenuTest, wait_for

AZURE = (2, 128, 255)
STATE_FOCUSED = 0x4
ENGLISH_CHILD, EXIT_CHILD = 4, 5  # positions in the accessible tree: heading, prompt, the three languages, exit


class KeyboardTest(MenuTest):
    def open_menu(self, exe=None):
        self.pointer.move(2, 2)  # off the window: only the keyboard lights anything
        medium = Medium(self.work)
        if exe:
            shutil.copy(exe, medium.exe)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.wait_for_button_focus(form)
        return proc, form

    def lit(self, form, index):
        x, y = LANGUAGES[index][1][:2]
        return self.display.grab().pixel(form["client"][0] + x + 2, form["client"][1] + y + 2) == AZURE

    def button(self, form):
        x, y, w, h = COMMAND1
        return self.display.grab().crop(form["client"][0] + x, form["client"][1] + y, w, h).data

    def focused_children(self, form):
        tree = self.wine.probe("accessible", str(form["hwnd"]))
        return [i for i, child in enumerate(tree["children"]) if child["state"] & STATE_FOCUSED]

    def test_down_three_times_lights_english_and_enter_starts_its_setup(self):
        proc, form = self.open_menu()
        self.pointer.keys("Down", "Down", "Down")
        wait_for(lambda: self.lit(form, 3), 20, "English to be lit")
        self.assertFalse(self.lit(form, 1) or self.lit(form, 2))
        self.pointer.keys("Return")
        launched = wait_for(self.launches, 30, "the English setup to start")
        self.wait_for_exit(proc)
        self.assertEqual([entry["module"].rsplit("\\", 2)[-2:] for entry in launched], [["English_link", "Setup.exe"]])

    def test_up_lights_english_the_focus_cue_gives_way_and_escape_gives_the_exit_button_back(self):
        proc, form = self.open_menu()
        with_cue = wait_for(lambda: self.button(form), 10, "the button")
        self.assertEqual(self.focused_children(form), [EXIT_CHILD])
        self.pointer.keys("Up")
        wait_for(lambda: self.lit(form, 3), 20, "English to be lit")
        wait_for(lambda: self.button(form) != with_cue, 10, "the focus cue to go")
        self.assertEqual(self.focused_children(form), [ENGLISH_CHILD], "a screen reader follows the choice")
        self.pointer.keys("Escape")
        wait_for(lambda: not self.lit(form, 3), 20, "the light to go out")
        wait_for(lambda: self.button(form) == with_cue, 10, "the focus cue to come back")
        self.assertEqual(self.focused_children(form), [EXIT_CHILD])
        self.pointer.keys("Return")  # the exit button again
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])

    def test_a_space_whose_release_a_declined_prompt_took_leaves_the_next_space_to_the_exit_button(self):
        prompt = "Velbrook test elevation prompt"  # the test build's first start is a declined prompt
        proc, form = self.open_menu(os.environ["VELBROOK_DECLINED_EXE"])
        self.pointer.keys("Down")
        wait_for(lambda: self.lit(form, 1), 20, "Traditional Chinese to be lit")
        self.pointer.burst("keydown", "space")
        wait_for(lambda: [w for w in self.wine.probe("windows", prompt) if w["active"]], 30, "the prompt")
        self.pointer.burst("keyup", "space")  # read by the prompt
        self.pointer.click(4, 4)  # declined
        wait_for(lambda: not self.wine.probe("windows", prompt), 30, "the prompt to go")
        self.wait_for_button_focus(form)
        self.pointer.keys("Escape", "space")  # the exit button's own Space
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])


if __name__ == "__main__":
    unittest.main()
