"""The window as it opens: place, size, frame, focus and the exit button."""

import unittest

from harness import (CLIENT_PIXELS, COMMAND1, COUNTRYPIC0, LAYOUT, PROBE, PRODUCT, DESIGN, SCREEN,
                     Medium, MenuTest, drawn_picture, rect, wait_for)

WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00040000, 0x00020000, 0x00010000
WS_CAPTION, WS_SYSMENU = 0x00C00000, 0x00080000
WS_EX_APPWINDOW = 0x00040000
DESKTOPS = r"HKCU\Software\Wine\Explorer\Desktops"
AZURE = (2, 128, 255)  # a lit face's ground
ONE_COLUMN = f"{len(PRODUCT.shown)} shown languages, one column: no second column"


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


class WindowTest(MenuTest):
    def test_opens_centred_with_its_client_size_and_a_fixed_frame(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)

        left, top, right, bottom = form["rect"]
        self.assertEqual(list(form["client"][2:]), list(CLIENT_PIXELS))
        # Centred on the screen: equal margins on both sides (the halving may leave one pixel).
        self.assertLessEqual(abs(left - (SCREEN[0] - right)), 1, form["rect"])
        self.assertLessEqual(abs(top - (SCREEN[1] - bottom)), 1, form["rect"])

        style, exstyle = form["style"], form["exstyle"]
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU)
        self.assertEqual(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0, "resizable or boxes")
        # An owned window without WS_EX_APPWINDOW has no taskbar button.
        self.assertNotEqual(form["owner"], 0)
        self.assertEqual(exstyle & WS_EX_APPWINDOW, 0)
        self.wait_for_button_focus(form)

    def window_menu(self, window):
        """The window menu of an active window as it shows when opened, then closed again."""
        self.pointer.keys("alt+space")
        popup = wait_for(lambda: [w for w in self.wine.probe("windows", "")
                                  if w["class"] == "#32768" and w["visible"] and w["pid"] == window["pid"]],
                         20, "the window menu")[0]
        left, top, right, bottom = popup["rect"]
        shot = self.display.grab().crop(left, top, right - left, bottom - top)
        self.pointer.keys("Escape")
        wait_for(lambda: not [w for w in self.wine.probe("windows", "") if w["class"] == "#32768" and w["visible"]],
                 20, "the window menu to close")
        return shot

    def test_the_window_menu_lost_exactly_the_separator_and_close(self):
        # Wine keeps a window menu in its own process, so it is compared as it shows: with that
        # of a window of the same frame whose Close and the separator before it were found by
        # command. (Wine's menu goes on with a separator and "About Wine", which stay.)
        form = self.wait_for_form(self.start_menu(Medium(self.work).exe))
        self.wait_for_button_focus(form)
        menu = self.window_menu(form)
        self.wine.end_all()
        self.wine.start(PROBE, "framed", "reference")
        reference = wait_for(lambda: [w for w in self.wine.probe("windows", "reference") if w["active"]], 20,
                             "the reference window")[0]
        expected = self.window_menu(reference)
        self.assertEqual((menu.width, menu.height), (expected.width, expected.height))
        self.assertEqual(menu.data, expected.data)

    def test_on_a_screen_smaller_than_the_window_it_overhangs_both_edges_equally(self):
        self.wine.reg("add", DESKTOPS, "/v", "Default", "/d", "640x480")
        self.wine.kill_server()  # the desktop takes its size when it starts
        try:
            self.assertEqual(self.wine.probe("screen"), [640, 480])
            form = self.wait_for_form(self.start_menu(Medium(self.work).exe))
            left, top, right, bottom = form["rect"]
            self.assertEqual(list(form["client"][2:]), list(CLIENT_PIXELS), "the window kept its size")
            self.assertLess(left, 0)
            self.assertLess(top, 0)
            self.assertLessEqual(abs(-left - (right - 640)), 1, form["rect"])
            self.assertLessEqual(abs(-top - (bottom - 480)), 1, form["rect"])
        finally:
            self.wine.end_all()
            self.wine.reg("add", DESKTOPS, "/v", "Default", "/d", "x".join(map(str, SCREEN)))
            self.wine.kill_server()

    def test_exit_button_ends_the_menu_and_starts_nothing(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.click_centre(form, COMMAND1)
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])

    def test_tab_keeps_the_focus_on_the_exit_button_and_space_or_enter_clicks_it(self):
        medium = Medium(self.work)
        for key in ("space", "Return"):
            with self.subTest(key=key):
                proc = self.start_menu(medium.exe)
                self.wait_for_form(proc)
                self.pointer.keys("Tab", "Tab", key)
                self.wait_for_exit(proc)
                self.assertEqual(self.launches(), [])

    def test_press_on_the_pictureless_member_0_ends_the_menu_and_starts_nothing(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        self.click_centre(form, COUNTRYPIC0)
        self.wait_for_exit(proc)
        self.assertEqual(self.launches(), [])

    def test_a_click_where_the_hidden_exit_picture_lies_reaches_no_exit(self):
        medium = Medium(self.work)
        proc = self.start_menu(medium.exe)
        form = self.wait_for_form(proc)
        x, y, w, h = rect("Image3")
        self.click_client(form, x + w // 2, y + h // 2)  # inside the hidden Image3
        # Input is handled in order: the row's setup starts only if the menu outlived that click.
        row = PRODUCT.shown[-1]
        self.click_centre(form, row.rect)
        launched = wait_for(self.launches, 30, f"{row.setup} to start")
        self.wait_for_exit(proc)
        self.assertEqual([l["module"].lower() for l in launched], [row.started_from(medium.folder).lower()])

    def test_the_second_column_stands_beside_the_first_clear_of_everything_drawn_and_lights(self):
        second = self.need(PRODUCT.second_column or None, ONE_COLUMN)
        pitch = DESIGN.rows.column_pitch // DESIGN.twips_per_pixel
        proc = self.start_menu(Medium(self.work).exe)
        form = self.wait_for_form(proc)
        self.wait_for_button_focus(form)
        self.pointer.move(2, 2)
        left, top = form["client"][0], form["client"][1]
        shot = self.display.grab()
        for row, beside in zip(second, PRODUCT.shown):
            with self.subTest(row=row.name):
                x, y, w, h = row.rect
                self.assertEqual(row.rect, (beside.rect[0] + pitch,) + beside.rect[1:], "the same row, a pitch right")
                self.assertTrue(x + w <= CLIENT_PIXELS[0] and y + h <= CLIENT_PIXELS[1], "inside the window")
                own = {f"CountryImage({row.code})", f"CountryPic({row.code})"}
                crossed = [name for name, c in LAYOUT["controls"].items()
                           if c["visible"] and name not in own and overlap(row.rect, c["rect"])]
                self.assertEqual(crossed, [], "the row overlaps these")
                face = drawn_picture(f"CountryImage({row.code})")
                self.assertEqual(shot.crop(left + x, top + y, w, h).data, face.data, "its face as drawn")
        # The pointer lights the last row of the second column, and the bare window puts it out.
        x, y, w, h = second[-1].rect
        self.pointer.move(left + x + w // 2, top + y + h // 2)
        wait_for(lambda: self.display.grab().pixel(left + x + 2, top + y + 2) == AZURE, 20, "the face to light")
        self.pointer.move(left + 2, top + 2)
        wait_for(lambda: self.display.grab().pixel(left + x + 2, top + y + 2) != AZURE, 20, "the light to go")


if __name__ == "__main__":
    unittest.main()
