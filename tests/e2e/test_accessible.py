"""What a screen reader reads of the menu, through AccessibleObjectFromWindow
in another process, and what its default actions do."""

import unittest

from harness import CLIENT_PIXELS, COMMAND1, PRODUCT, DESIGN, Medium, MenuTest, rect, wait_for

ROLE_STATICTEXT, ROLE_GRAPHIC, ROLE_PUSHBUTTON, ROLE_CLIENT = 0x29, 0x28, 0x2B, 0x0A
STATE_FOCUSED, STATE_FOCUSABLE = 0x4, 0x100000
HEADING, PROMPT = rect("Label1"), rect("Image4")
OS_LINE = (112, 528, 361, 25)  # the two labels of the bottom line, as one
KEY = rf"HKCU\Software\Wine\AppDefaults\{PRODUCT.executable}"
S_OK = 0
# Wine sends a call's reply from another thread; an action that ends the program
# at once can end it before the reply leaves. The outcome is what counts.
# RPC_E_DISCONNECTED, RPC_S_CALL_FAILED, RPC_S_SERVER_UNAVAILABLE:
ENDED_BEFORE_REPLY = {-2147417848, -2147023170, -2147023174}


class AccessibleTest(MenuTest):
    def open_menu(self):
        proc = self.start_menu(Medium(self.work).exe)
        form = self.wait_for_form(proc)
        self.wait_for_button_focus(form)
        return proc, form

    def test_the_tree_names_every_item_in_reading_order_where_it_is_drawn(self):
        self.wine.reg("add", KEY, "/v", "Version", "/d", "winxp")
        self.addCleanup(self.wine.reg, "delete", KEY)
        proc, form = self.open_menu()
        self.pointer.move(2, 2)
        left, top = form["client"][0], form["client"][1]
        width, height = CLIENT_PIXELS
        before = self.display.grab().crop(left, top, width, height)
        tree = self.wine.probe("accessible", str(form["hwnd"]))

        self.assertEqual(tree["self"]["name"], PRODUCT.caption)
        self.assertEqual(tree["self"]["role"], ROLE_CLIENT)
        self.assertEqual(tree["self"]["location"], [left, top, width, height])
        expected = [
            (PRODUCT.heading, "", ROLE_STATICTEXT, "", HEADING),
            ("Please Select Language:", "", ROLE_GRAPHIC, "", PROMPT),
            *[(row.words, row.name, ROLE_PUSHBUTTON, "Press", row.rect) for row in PRODUCT.shown],
            ("Exit Setup", "", ROLE_PUSHBUTTON, "Press", COMMAND1),
            ("Your operating system is : Windows XP", "", ROLE_STATICTEXT, "", OS_LINE),
        ]
        self.assertEqual(tree["count"], len(expected))
        for child, (name, description, role, action, (x, y, w, h)) in zip(tree["children"], expected):
            with self.subTest(name=name):
                self.assertEqual((child["name"], child["description"], child["role"], child["action"]),
                                 (name, description, role, action))
                self.assertEqual(child["location"], [left + x, top + y, w, h])
        # The languages read down the first column, then from the top of the second, right of it.
        faces = [child["location"] for child in tree["children"][2:2 + len(PRODUCT.shown)]]
        for k, (above, below) in enumerate(zip(faces, faces[1:]), 1):
            with self.subTest(row=k):
                if k % DESIGN.rows.per_column:
                    self.assertEqual((below[0], below[1] > above[1]), (above[0], True), "down the column")
                else:
                    self.assertEqual((below[0] >= above[0] + above[2], below[1]), (True, faces[0][1]), "next column")
        exit_state = tree["children"][-2]["state"]
        self.assertEqual(exit_state & (STATE_FOCUSED | STATE_FOCUSABLE), STATE_FOCUSED | STATE_FOCUSABLE)
        self.assertEqual(tree["hit_at_centre"], 0, "the middle of the window is bare background")
        self.assertEqual(self.display.grab().crop(left, top, width, height).data, before.data,
                         "reading changed the screen")
        self.assertIsNone(proc.poll())

    def test_the_default_action_of_a_language_starts_its_setup(self):
        proc, form = self.open_menu()
        row = PRODUCT.shown[-1]  # child ids count from 1: the heading, the prompt, then the rows
        result = self.wine.probe("accessible-do", str(form["hwnd"]), str(2 + len(PRODUCT.shown)))
        self.assertIn(result["hresult"], {S_OK} | ENDED_BEFORE_REPLY)
        launched = wait_for(self.launches, 30, f"{row.setup} to start")
        self.assertEqual([l["module"].rsplit("\\", 2)[-2:] for l in launched], [[row.folder, row.program]])
        self.wait_for_exit(proc)

    def test_the_default_action_of_exit_setup_ends_the_menu_and_starts_nothing(self):
        proc, form = self.open_menu()
        result = self.wine.probe("accessible-do", str(form["hwnd"]), str(3 + len(PRODUCT.shown)))
        self.assertIn(result["hresult"], {S_OK} | ENDED_BEFORE_REPLY)
        print(f"\nExit Setup's default action returned {result['hresult']:#x}")
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])


if __name__ == "__main__":
    unittest.main()
