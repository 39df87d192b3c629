"""Only one copy runs."""

import os
import unittest

from harness import PROBE, PRODUCT, Medium, MenuTest, wait_for, windows_path


class SingleInstanceTest(MenuTest):
    def assert_running_message(self, box):
        self.assertEqual(box["texts"], [PRODUCT.already_running])
        self.assertEqual(box["buttons"], ["OK"])
        self.assertFalse(box["icon"])

    def test_a_second_copy_shows_the_message_and_ends_while_the_first_stays(self):
        medium = Medium(self.work)
        first = self.start_menu(medium.exe)
        shown = self.wait_for_form(first)
        self.wait_for_button_focus(shown)
        wait_for(lambda: [w["active"] for w in self.wine.forms(pid=shown["pid"])] == [True], 10, "the first copy active")
        second = self.start_menu(medium.exe)
        box = wait_for(lambda: self.wine.dialogs(), 60, "the message box")[0]
        self.assert_running_message(box)
        self.assertNotEqual(box["pid"], shown["pid"])
        # Nothing brought the first copy forward.
        self.assertEqual([w["active"] for w in self.wine.forms(pid=shown["pid"])], [False])
        # The second copy's window exists but is never shown.
        self.assertFalse(any(w["visible"] for w in self.wine.forms(pid=box["pid"])))
        self.wine.probe("command", str(box["hwnd"]), "1")
        self.wait_for_exit(second)
        self.assertIsNone(first.poll(), "the first copy ended")
        still = [w for w in self.wine.forms(pid=shown["pid"]) if w["visible"]]
        self.assertEqual(len(still), 1)
        self.assertEqual(still[0]["rect"], shown["rect"], "the first copy was moved")

    def test_ten_copies_started_together_give_one_window(self):
        medium = Medium(self.work)
        copies = [self.start_menu(medium.exe) for _ in range(10)]
        boxes = wait_for(lambda: (lambda d: d if len(d) == 9 else None)(self.wine.dialogs()), 120,
                         "nine message boxes")
        for box in boxes:
            self.assert_running_message(box)
        windows = wait_for(lambda: [w for w in self.wine.forms() if w["visible"]], 60, "the one window")
        self.assertEqual(len(windows), 1)
        self.assertNotIn(windows[0]["pid"], {b["pid"] for b in boxes})
        for box in boxes:
            self.wine.probe("command", str(box["hwnd"]), "1")
        wait_for(lambda: sum(p.poll() is not None for p in copies) == 9, 60, "nine copies to end")
        self.assertEqual(len([w for w in self.wine.forms() if w["visible"]]), 1)
        self.assertEqual(sum(p.poll() is None for p in copies), 1)
        self.assertEqual(self.launches(), [])

    def hold_the_name(self, kind):
        """Another process holds the menu's mutex name until the test ends."""
        ready = os.path.join(self.work, "held")
        holder = self.wine.start(PROBE, "hold", kind, PRODUCT.single_instance, windows_path(ready))
        wait_for(lambda: holder.poll() is not None or os.path.exists(ready), 60, "the name to be held")
        self.assertIsNone(holder.poll(), f"the probe could not hold a {kind} of that name")

    def test_a_copy_out_of_reach_counts_as_running_but_an_object_of_another_type_does_not(self):
        # A mutex no other process may open is what a copy running elevated looks like.
        self.hold_the_name("mutex-locked")
        second = self.start_menu(Medium(self.work, name="locked").exe)
        box = wait_for(lambda: self.wine.dialogs(), 60, "the message box")[0]
        self.assert_running_message(box)
        self.assertFalse(any(w["visible"] for w in self.wine.forms(pid=box["pid"])))
        self.wine.probe("command", str(box["hwnd"]), "1")
        self.wait_for_exit(second)
        self.wine.end_all()

        self.hold_the_name("event")
        menu = self.start_menu(Medium(self.work, name="event").exe)
        self.wait_for_form(menu)
        self.assertEqual(self.wine.dialogs(), [])


if __name__ == "__main__":
    unittest.main()
