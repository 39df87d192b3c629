"""Choosing a language with the keyboard alone."""

import json
import os
import shutil
import time
import unittest

from harness import COMMAND1, PROBE, PRODUCT, DESIGN, Frame, Medium, MenuTest, drawn_picture, wait_for, windows_path

AZURE = (2, 128, 255)
STATE_FOCUSED = 0x4
# Positions in the accessible tree: the heading, the prompt, the shown languages, the exit button.
LAST_ROW_CHILD = 1 + len(PRODUCT.shown)
EXIT_CHILD = LAST_ROW_CHILD + 1
OBJID_CLIENT = -4
PROMPT = "Velbrook test elevation prompt"  # the declining test build's first start is a declined prompt


class KeyboardTest(MenuTest):
    def open_menu(self, exe=None, env=None):
        self.pointer.move(2, 2)  # off the window: only the keyboard lights anything
        medium = Medium(self.work)
        if exe:
            shutil.copy(exe, medium.exe)
        proc = self.wine.start(medium.exe, env=dict(VELBROOK_STUB_LOG=windows_path(self.log), **(env or {})))
        form = self.wait_for_form(proc)
        self.wait_for_button_focus(form)
        return proc, form

    def lit(self, form, row):
        x, y = row.rect[:2]
        return self.display.grab().pixel(form["client"][0] + x + 2, form["client"][1] + y + 2) == AZURE

    def button(self, form):
        x, y, w, h = COMMAND1
        return self.display.grab().crop(form["client"][0] + x, form["client"][1] + y, w, h).data

    def cue_dots(self, button):
        """How many pixels of the focus cue's top line (4 pixels in from the button's edge) differ from
        the button's picture there: every other one while the cue shows, none without it."""
        w, h = COMMAND1[2:]
        picture = drawn_picture("Command1")
        left, top = int((w - picture.width) / 2), int((h - picture.height) / 2)  # centred, halved towards zero
        shown = Frame(button, w, h)
        return sum(shown.pixel(x, 4) != picture.pixel(x - left, 4 - top) for x in range(4, w - 4))

    def lit_language(self, form):
        frame = self.display.grab()
        left, top = form["client"][0], form["client"][1]
        lit = [row for row in PRODUCT.shown if frame.pixel(left + row.rect[0] + 2, top + row.rect[1] + 2) == AZURE]
        return lit[0] if len(lit) == 1 else None

    def started(self):
        return [entry["module"].rsplit("\\", 2)[-2:] for entry in self.launches()]

    def focused_children(self, form):
        tree = self.wine.probe("accessible", str(form["hwnd"]))
        return [i for i, child in enumerate(tree["children"]) if child["state"] & STATE_FOCUSED]

    def test_down_once_a_row_lights_the_last_row_and_enter_starts_its_setup(self):
        proc, form = self.open_menu()
        last = PRODUCT.shown[-1]
        self.pointer.keys(*["Down"] * len(PRODUCT.shown))
        wait_for(lambda: self.lit(form, last), 20, f"{last.name} to be lit")
        self.assertFalse(any(self.lit(form, row) for row in PRODUCT.shown[:-1]))
        self.pointer.keys("Return")
        launched = wait_for(self.launches, 30, f"{last.setup} to start")
        self.wait_for_exit(proc)
        self.assertEqual([entry["module"].rsplit("\\", 2)[-2:] for entry in launched], [[last.folder, last.program]])

    def test_up_lights_the_last_row_the_focus_cue_gives_way_and_escape_gives_the_exit_button_back(self):
        proc, form = self.open_menu()
        last = PRODUCT.shown[-1]
        with_cue = wait_for(lambda: self.button(form), 10, "the button")
        self.assertGreater(self.cue_dots(with_cue), (COMMAND1[2] - 8) // 3, "no focus cue on the button at the start")
        self.assertEqual(self.focused_children(form), [EXIT_CHILD])
        listening = os.path.join(self.work, "listening")
        os.makedirs(listening)
        self.wine.start(PROBE, "focus-events", str(form["pid"]), windows_path(listening))
        wait_for(lambda: os.path.exists(os.path.join(listening, "ready")), 30, "a screen reader to listen")
        self.pointer.keys("Up")
        wait_for(lambda: self.lit(form, last), 20, f"{last.name} to be lit")
        wait_for(lambda: self.button(form) != with_cue, 10, "the focus cue to go")
        self.assertEqual(self.focused_children(form), [LAST_ROW_CHILD], "a screen reader follows the choice")
        open(os.path.join(listening, "stop"), "w").close()
        events = os.path.join(listening, "events.json")
        wait_for(lambda: os.path.exists(events), 30, "what the screen reader heard")
        with open(events, encoding="utf-8") as f:
            heard = [(e["hwnd"], e["object"], e["child"]) for e in json.load(f)]
        self.assertIn((form["hwnd"], OBJID_CLIENT, LAST_ROW_CHILD + 1), heard, "the focus event names the row")
        self.pointer.keys("Escape")
        wait_for(lambda: not self.lit(form, last), 20, "the light to go out")
        wait_for(lambda: self.button(form) == with_cue, 10, "the focus cue to come back")
        self.assertEqual(self.focused_children(form), [EXIT_CHILD])
        self.pointer.keys("Return")  # the exit button again
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])

    def test_left_and_right_cross_to_the_same_row_of_the_other_column_and_enter_starts_the_one_lit(self):
        # With one column Left and Right leave the last row lit; the screen reader's focus follows.
        proc, form = self.open_menu()
        shown, per_column = PRODUCT.shown, DESIGN.rows.per_column
        last = shown[-1]
        steps = [("End", last), ("Left", shown[(len(shown) - 1) % per_column] if PRODUCT.second_column else last),
                 ("Right", last)]
        if PRODUCT.second_column:
            steps += [("Home", shown[0]), ("Right", shown[per_column]), ("Up", shown[per_column - 1]),
                      ("Right", shown[min(2 * per_column, len(shown)) - 1])]  # the shorter column's last row
        for key, row in steps:
            with self.subTest(key=key, row=row.name):
                self.pointer.keys(key)
                wait_for(lambda: self.lit_language(form) == row, 20, f"{row.name} to be lit after {key}")
                self.assertEqual(self.focused_children(form), [2 + shown.index(row)])
        chosen = steps[-1][1]
        self.pointer.keys("Return")
        wait_for(self.launches, 30, f"{chosen.setup} to start")
        self.wait_for_exit(proc)
        self.assertEqual(self.started(), [[chosen.folder, chosen.program]])

    def test_a_space_whose_release_a_declined_prompt_took_leaves_the_next_space_to_the_exit_button(self):
        prompt = PROMPT
        proc, form = self.open_menu(os.environ["VELBROOK_DECLINED_EXE"])
        first = PRODUCT.shown[0]
        self.pointer.keys("Down")
        wait_for(lambda: self.lit(form, first), 20, f"{first.name} to be lit")
        self.pointer.burst("keydown", "space")
        wait_for(lambda: [w for w in self.wine.probe("windows", prompt) if w["active"]], 30, "the prompt")
        self.pointer.burst("keyup", "space")  # read by the prompt
        self.pointer.click(4, 4)  # declined
        wait_for(lambda: not self.wine.probe("windows", prompt), 30, "the prompt to go")
        self.wait_for_button_focus(form)
        self.pointer.keys("Escape", "space")  # the exit button's own Space
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])

    def test_keys_queued_while_a_declined_prompt_took_its_time_press_nothing(self):
        last, other = self.two_shown_rows()
        show, asked = os.path.join(self.work, "show"), os.path.join(self.work, "prompt.log")
        proc, form = self.open_menu(os.environ["VELBROOK_DECLINED_EXE"], {
            "VELBROOK_PROMPT_AFTER": windows_path(show), "VELBROOK_PROMPT_LOG": windows_path(asked)})
        self.pointer.keys("End")
        wait_for(lambda: self.lit(form, last), 20, f"{last.name} to be lit")
        self.pointer.keys("Return")
        wait_for(lambda: os.path.exists(asked), 30, "the start to be asked for")
        self.pointer.keys("Return")  # while the prompt takes its time: meant for the prompt
        open(show, "w").close()
        wait_for(lambda: self.wine.probe("windows", PROMPT), 30, "the prompt")
        self.pointer.click(4, 4)  # declined
        wait_for(lambda: not os.path.exists(show), 30, "the prompt to be declined")
        # Input is handled in order: had the queued Enter pressed, the last row would have started first.
        self.click_centre(form, other.rect)
        wait_for(self.launches, 30, "a setup to start")
        self.wait_for_exit(proc)
        self.wait_for_setups_to_end()
        self.assertEqual(self.started(), [[other.folder, other.program]])

    def test_an_enter_held_across_a_declined_prompt_presses_once(self):
        last, other = self.two_shown_rows()  # a held Down steps from one to the other
        proc, form = self.open_menu(os.environ["VELBROOK_DECLINED_EXE"])
        # The server repeats a held key: a held Down steps on from language to language.
        self.pointer.burst("keydown", "Down")
        seen = set()
        wait_for(lambda: seen.add(self.lit_language(form)) or len(seen - {None}) >= 2, 20,
                 "a held Down to step on by itself")
        self.pointer.burst("keyup", "Down")
        self.pointer.keys("End")
        wait_for(lambda: self.lit(form, last), 20, f"{last.name} to be lit")
        self.pointer.burst("keydown", "Return")
        wait_for(lambda: self.wine.probe("windows", PROMPT), 30, "the prompt")
        self.pointer.click(4, 4)  # declined while Enter is still held
        wait_for(lambda: not self.wine.probe("windows", PROMPT), 30, "the prompt to go")
        self.wait_for_button_focus(form)
        time.sleep(2)  # the user goes on holding Enter: its repeats reach the menu meanwhile
        self.pointer.burst("keyup", "Return")
        self.click_centre(form, other.rect)
        wait_for(self.launches, 30, "a setup to start")
        self.wait_for_exit(proc)
        self.wait_for_setups_to_end()
        self.assertEqual(self.started(), [[other.folder, other.program]])


if __name__ == "__main__":
    unittest.main()
