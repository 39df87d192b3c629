"""Only one copy runs."""

import unittest

from harness import Medium, MenuTest, wait_for


class SingleInstanceTest(MenuTest):
    def assert_running_message(self, box):
        self.assertEqual(box["texts"], ["The program is already running!"])
        self.assertEqual(box["buttons"], ["OK"])
        self.assertFalse(box["icon"])

    def test_a_second_copy_shows_the_message_and_ends_while_the_first_stays(self):
        medium = Medium(self.work)
        first = self.start_menu(medium.exe)
        shown = self.wait_for_form(first)
        second = self.start_menu(medium.exe)
        box = wait_for(lambda: self.wine.dialogs(), 60, "the message box")[0]
        self.assert_running_message(box)
        self.assertNotEqual(box["pid"], shown["pid"])
        # The second copy's window exists but is never shown.
        self.assertFalse(any(w["visible"] for w in self.wine.forms(pid=box["pid"])))
        self.wine.probe("command", str(box["hwnd"]), "1")
        self.wait_for_exit(second)
        self.assertIsNone(first.poll(), "the first copy ended")
        still = [w for w in self.wine.forms(pid=shown["pid"]) if w["visible"]]
        self.assertEqual(len(still), 1)
        self.assertEqual(still[0]["rect"], shown["rect"], "the first copy was moved")

    def test_two_copies_started_together_give_one_window(self):
        medium = Medium(self.work)
        copies = [self.start_menu(medium.exe), self.start_menu(medium.exe)]
        box = wait_for(lambda: self.wine.dialogs(), 60, "the message box")[0]
        self.assert_running_message(box)
        wait_for(lambda: [w for w in self.wine.forms() if w["visible"]], 60, "the window")
        self.wine.probe("command", str(box["hwnd"]), "1")
        wait_for(lambda: sum(p.poll() is not None for p in copies) == 1, 30, "one copy to end")
        self.assertEqual(len([w for w in self.wine.forms() if w["visible"]]), 1)
        self.assertEqual(sum(p.poll() is None for p in copies), 1)


if __name__ == "__main__":
    unittest.main()
