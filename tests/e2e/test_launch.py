"""A press on a language picture starts that language's setup and ends the menu."""

import json
import os
import shutil
import unittest

from harness import PRODUCT, MenuTest, Medium, PROBE, STUB, wait_for, windows_path

SW_SHOWNORMAL = 1
AZURE = (2, 128, 255)


def accessible_child(row):
    """A shown row's id among the accessible children: after the heading and the prompt."""
    return 3 + PRODUCT.shown.index(row)


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
        for row in PRODUCT.shown:
            with self.subTest(language=row.folder):
                if os.path.exists(self.log):
                    os.remove(self.log)
                proc = self.start_menu(medium.exe)
                form = self.wait_for_form(proc)
                self.click_centre(form, row.rect)
                launched = wait_for(self.launches, 30, f"{row.setup} to start")
                self.wait_for_exit(proc)
                setup_folder = windows_path(os.path.join(medium.folder, row.folder))
                self.assertEqual(len(launched), 1, launched)
                self.assertEqual(launched[0]["module"].lower(), row.started_from(medium.folder).lower())
                self.assertEqual(launched[0]["cwd"].rstrip("\\").lower(), setup_folder.lower())
                self.assertEqual(arguments_after_program(launched[0]["cmdline"]), "")
                self.assertEqual(launched[0]["show"], SW_SHOWNORMAL)

    def test_right_button_press_also_starts_the_setup(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        # A row whose program has a name of its own where there is one: the press starts that name.
        row = PRODUCT.not_setup_exe() or PRODUCT.shown[-1]
        self.click_centre(form, row.rect, button=3)
        launched = wait_for(self.launches, 30, "the setup to start")
        self.wait_for_exit(proc)
        self.assertEqual([l["module"].lower() for l in launched], [row.started_from(medium.folder).lower()])

    def test_a_double_click_starts_the_setup_once(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        row = PRODUCT.shown[0]
        x, y, w, h = row.rect
        # One burst: the second click is queued before the menu has handled the first.
        self.pointer.burst("mousemove", str(form["client"][0] + x + w // 2), str(form["client"][1] + y + h // 2),
                           "click", "--repeat", "2", "--delay", "1", "1")
        wait_for(self.launches, 30, "the setup to start")
        self.wait_for_exit(proc)
        self.wait_for_setups_to_end()
        self.assertEqual([l["module"].lower() for l in self.launches()], [row.started_from(medium.folder).lower()])

    def test_a_program_planted_beside_a_folder_with_blanks_is_never_started(self):
        # "Media Kit\..." read as a command line would start "Media.exe".
        os.makedirs(os.path.join(self.work, "Media"))
        shutil.copy(STUB, os.path.join(self.work, "Media.exe"))
        medium = Medium(self.work, name="Media Kit")
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        row = PRODUCT.shown[0]
        self.click_centre(form, row.rect)
        launched = wait_for(self.launches, 30, "a setup to start")
        self.wait_for_exit(proc)
        self.assertEqual([l["module"].lower() for l in launched], [row.started_from(medium.folder).lower()])

    def test_a_missing_setup_shows_the_error_box_over_the_open_window(self):
        row = PRODUCT.shown[-1]
        medium = Medium(self.work, setups=[other.folder for other in PRODUCT.languages if other != row])
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.click_centre(form, row.rect)
        box = wait_for(lambda: self.wine.dialogs(), 30, "the error box")[0]
        text = "\n".join(box["texts"])
        self.assertIn("Run-time error '53'", text)
        self.assertIn("File not found", text)
        self.assertIn(row.started_from(medium.folder), text)
        self.assertTrue(any(w["visible"] for w in self.wine.forms(pid=box["pid"])), "the window was unloaded")
        self.assertEqual(box["owner"], form["hwnd"], "the box is the window's: the menu takes no press under it")
        self.wine.probe("command", str(box["hwnd"]), "1")
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])


class DeclinedPromptTest(MenuTest):
    """The test build's first start is an elevation prompt that takes the
    button's release, as the secure desktop does, and is declined."""

    PROMPT = "Velbrook test elevation prompt"

    def setUp(self):
        # The row pressed at the prompt, and the one pressed after it.
        self.pressed, self.other = self.two_shown_rows()
        super().setUp()

    def open_declining_menu(self, **prompt_files):
        """The test build on a medium; `log=`, `after=`, `queued=`: the prompt's files (see declining_shell.cpp)."""
        medium = Medium(self.work)
        shutil.copy(os.environ["VELBROOK_DECLINED_EXE"], medium.exe)
        env = {"VELBROOK_STUB_LOG": windows_path(self.log)}
        env.update({f"VELBROOK_PROMPT_{name.upper()}": windows_path(path) for name, path in prompt_files.items()})
        proc = self.wine.start(medium.exe, env=env)
        return proc, self.wait_for_form(proc)

    def press_the_row(self, form):
        left, top = form["client"][0], form["client"][1]
        x, y, w, h = self.pressed.rect
        self.pointer.move(left + x + w // 2, top + y + h // 2)
        wait_for(lambda: self.display.grab().pixel(left + x + 2, top + y + 2) == AZURE, 20,
                 f"{self.pressed.name} to be lit")
        self.pointer.burst("mousedown", "1")

    def assert_only_the_other_row_starts(self, proc, form):
        # Input is handled in order: had anything before it pressed the first row again, that would start first.
        self.click_centre(form, self.other.rect)
        wait_for(self.launches, 30, "a setup to start")
        self.wait_for_exit(proc)
        self.wait_for_setups_to_end()
        self.assertEqual([entry["module"].rsplit("\\", 2)[-2:] for entry in self.launches()],
                         [[self.other.folder, self.other.program]])

    def test_after_a_declined_prompt_the_next_press_chooses_anew_and_clicks_outside_stay_outside(self):
        prompt_log = os.path.join(self.work, "prompt.log")
        proc, form = self.open_declining_menu(log=prompt_log)
        self.press_the_row(form)
        wait_for(lambda: self.wine.probe("windows", self.PROMPT), 30, "the prompt")
        self.pointer.burst("mouseup", "1")
        wait_for(lambda: not self.wine.probe("windows", self.PROMPT), 30, "the prompt to be declined")

        with open(prompt_log, encoding="utf-8") as f:
            asked = json.loads(f.readline())
        self.assertEqual((asked["owner"], asked["show"]), (form["hwnd"], SW_SHOWNORMAL), "owned by the menu, shown")
        self.assertTrue(asked["file"].endswith(f"\\{self.pressed.folder}\\{self.pressed.program}"), asked)
        self.assertTrue(asked["com"], "the start was made without COM on the thread")
        self.assertIsNone(proc.poll(), "a declined prompt leaves the menu open")
        self.pointer.click(4, 4)  # outside: it must not reach the menu
        self.assert_only_the_other_row_starts(proc, form)

    def test_clicks_and_a_close_another_program_sends_while_the_prompt_is_up_do_nothing(self):
        proc, form = self.open_declining_menu()
        self.press_the_row(form)
        wait_for(lambda: self.wine.probe("windows", self.PROMPT), 30, "the prompt")
        # Sent, each is run at once by the prompt's own message loop, under the prompt;
        # posted, it waits in the menu's queue until the prompt has gone.
        for message, how in (("bn-clicked", ()), ("bm-click", ()), ("close", ()), ("bn-clicked", ("post",))):
            with self.subTest(message=message, how=how):
                self.assertEqual(self.wine.probe("send", str(form["hwnd"]), message, *how), {"done": True})
                self.assertTrue(self.wine.forms(form["pid"]), "the menu closed under the prompt")
        self.assertTrue(self.wine.probe("windows", self.PROMPT), "the prompt went before it was declined")
        # BM_CLICK's button took the capture from this stand-in prompt (it cannot from the system's, on a
        # desktop of its own), so the release may reach the menu instead: a click outside declines for sure.
        self.pointer.burst("mouseup", "1")
        self.pointer.click(4, 4)
        wait_for(lambda: not self.wine.probe("windows", self.PROMPT), 30, "the prompt to be declined")
        self.assert_only_the_other_row_starts(proc, form)

    def test_a_click_queued_before_a_declined_prompt_showed_raises_no_second_prompt(self):
        prompt_log, show = os.path.join(self.work, "prompt.log"), os.path.join(self.work, "show")
        proc, form = self.open_declining_menu(log=prompt_log, after=show)
        self.press_the_row(form)
        wait_for(lambda: os.path.exists(prompt_log), 30, "the start to be asked for")
        # While the prompt takes its time: the release (which the prompt will take) and a second click.
        self.pointer.burst("mouseup", "1", "click", "1")
        open(show, "w").close()
        wait_for(lambda: not os.path.exists(show), 30, "the prompt to show and be declined")
        self.assert_only_the_other_row_starts(proc, form)

    def screen_reader_presses_the_row(self, form):
        """Starts a screen reader's call of the pressed row's default action; returns what it has said so far."""
        said = os.path.join(self.work, "said.json")
        with open(said, "wb") as out:
            self.wine.start(PROBE, "accessible-do", str(form["hwnd"]), str(accessible_child(self.pressed)), stdout=out)

        def answer():
            with open(said, encoding="utf-8") as f:
                text = f.read()
            return json.loads(text) if text.strip() else None
        return answer

    def test_a_screen_readers_press_made_while_the_prompt_is_up_starts_nothing_after_the_decline(self):
        queued = os.path.join(self.work, "queued")
        proc, form = self.open_declining_menu(queued=queued)
        self.press_the_row(form)
        wait_for(lambda: self.wine.probe("windows", self.PROMPT), 30, "the prompt")
        self.assertFalse(os.path.exists(queued), "something else waits in the menu's queue")
        # A screen reader asks for the row's default action; the call waits while the prompt is up.
        answer = self.screen_reader_presses_the_row(form)
        wait_for(lambda: os.path.exists(queued), 30, "the screen reader's call to wait in the menu's queue")
        self.pointer.burst("mouseup", "1")
        wait_for(lambda: not self.wine.probe("windows", self.PROMPT), 30, "the prompt to be declined")
        self.assertEqual(wait_for(answer, 30, "the screen reader's call to be answered")["hresult"], 0)
        self.assert_only_the_other_row_starts(proc, form)

    def test_a_screen_readers_press_is_answered_before_the_prompt_it_raises(self):
        proc, form = self.open_declining_menu()
        answer = self.screen_reader_presses_the_row(form)
        wait_for(lambda: self.wine.probe("windows", self.PROMPT), 30, "the prompt")
        # Run inside the request, the press would keep the screen reader waiting for the prompt.
        self.assertEqual(wait_for(answer, 30, "the screen reader's call to be answered")["hresult"], 0)
        self.assertTrue(self.wine.probe("windows", self.PROMPT), "the prompt was still up")
        self.pointer.click(4, 4)  # declined
        wait_for(lambda: not self.wine.probe("windows", self.PROMPT), 30, "the prompt to be declined")
        self.assert_only_the_other_row_starts(proc, form)


if __name__ == "__main__":
    unittest.main()
