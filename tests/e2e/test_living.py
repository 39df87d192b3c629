"""The living window: hover highlight, tiled background, operating-system caption."""

import os
import unittest

from harness import (BARE, CLIENT_PIXELS, COMMAND1, PRODUCT, Frame, Medium, MenuTest, rect, wait_for, windows_path)

NAVY = (0, 38, 101)
AZURE = (2, 128, 255)

# What the window draws over its background, in client pixels (x, y, w, h).
DRAWN = [row.rect for row in PRODUCT.shown] + [
    COMMAND1, rect("Label1"), rect("Image4"), rect("Image2"), rect("Label2"), rect("Label3")]


def inside(x, y, rect):
    rx, ry, rw, rh = rect
    return rx <= x < rx + rw and ry <= y < ry + rh


class LivingWindowTest(MenuTest):
    def start(self):
        proc = self.start_menu(Medium(self.work).exe)
        return proc, self.wait_for_form(proc)

    def at(self, form, x, y):
        return self.display.grab().pixel(form["client"][0] + x, form["client"][1] + y)

    def lit(self, form, rect):
        """True when the picture shows its azure face over the whole rectangle and not beyond."""
        x, y, w, h = rect
        frame = self.display.grab()
        left, top = form["client"][0] + x, form["client"][1] + y
        corners = [frame.pixel(left, top), frame.pixel(left + w - 1, top), frame.pixel(left, top + h - 1),
                   frame.pixel(left + w - 1, top + h - 1)]
        outside = [frame.pixel(left - 1, top + h // 2), frame.pixel(left + w, top + h // 2),
                   frame.pixel(left + w // 2, top - 1), frame.pixel(left + w // 2, top + h)]
        if all(c == AZURE for c in corners) and all(o == NAVY for o in outside):
            return True
        if all(c == NAVY for c in corners):
            return False
        raise AssertionError(f"neither lit nor dark at {rect}: corners {corners}, outside {outside}")

    def move(self, form, x, y):
        self.pointer.move(form["client"][0] + x, form["client"][1] + y)

    def test_hover_lights_each_language_exactly_in_its_rectangle_and_bare_background_puts_it_out(self):
        proc, form = self.start()
        for row in PRODUCT.shown:
            with self.subTest(language=row.folder):
                rect = row.rect
                self.move(form, rect[0] + rect[2] // 2, rect[1] + rect[3] // 2)
                wait_for(lambda: self.lit(form, rect), 10, f"{row.name} to light up")
                others = [other.rect for other in PRODUCT.shown if other != row]
                self.assertFalse(any(self.lit(form, r) for r in others))
                self.move(form, *BARE)
                wait_for(lambda: not self.lit(form, rect), 10, f"{row.name} to go out")

    def test_moving_straight_from_one_picture_to_the_next_switches_in_one_move(self):
        if len(PRODUCT.shown) < 2:
            self.skipTest(f"{PRODUCT.name} shows one language only: there is no next picture")
        proc, form = self.start()
        first, second = PRODUCT.shown[0].rect, PRODUCT.shown[1].rect
        self.move(form, first[0] + 100, first[1] + first[3] - 2)
        wait_for(lambda: self.lit(form, first), 10, "the first picture to light up")
        self.move(form, second[0] + 100, second[1] + 2)
        wait_for(lambda: self.lit(form, second) and not self.lit(form, first), 10, "the light to move on")

    def test_the_pointer_is_the_hand_over_a_language_and_the_button_and_the_cross_hair_over_the_bare_window(self):
        proc, form = self.start()
        hand_hotspot = (12, 1)
        row, button = PRODUCT.shown[-1].rect, COMMAND1
        self.move(form, row[0] + 100, row[1] + 20)
        hand = wait_for(lambda: (lambda c: c if c[0] == hand_hotspot else None)(self.display.cursor()), 10, "the hand")
        self.move(form, BARE[0], -10)  # the caption bar, where the system shows its arrow
        arrow = wait_for(lambda: (lambda c: c if c != hand else None)(self.display.cursor()), 10, "the arrow")
        self.move(form, *BARE)
        cross = wait_for(lambda: (lambda c: c if c != arrow else None)(self.display.cursor()), 10, "the cross-hair")
        self.assertNotEqual(cross, hand)
        self.move(form, button[0] + 20, button[1] + 20)
        wait_for(lambda: self.display.cursor() == hand, 10, "the hand over the button")

    def assert_seamless_navy(self, form):
        frame = self.display.grab()
        left, top = form["client"][0], form["client"][1]
        wrong = [(x, y) for y in range(CLIENT_PIXELS[1]) for x in range(CLIENT_PIXELS[0])
                 if not any(inside(x, y, r) for r in DRAWN) and frame.pixel(left + x, top + y) != NAVY]
        self.assertEqual(wrong[:10], [], f"{len(wrong)} background pixels are not navy")

    def test_the_background_is_seamless_navy_also_after_being_covered_and_uncovered(self):
        proc, form = self.start()
        self.move(form, *BARE)
        self.assert_seamless_navy(form)
        x, y = form["client"][0] + BARE[0] - 200, form["client"][1] + BARE[1] - 200  # its middle on BARE
        cover = self.wine.start(os.environ["VELBROOK_PROBE"], "cover", str(x), str(y), "400", "400")
        wait_for(lambda: self.display.grab().pixel(x + 200, y + 200) == (255, 255, 255), 30, "the cover")
        cover.kill()
        cover.wait()
        wait_for(lambda: self.display.grab().pixel(x + 200, y + 200) == NAVY, 30, "the window to repaint")
        self.assert_seamless_navy(form)
        self.wine.probe("redraw", str(form["hwnd"]))
        wait_for(lambda: self.at(form, *BARE) == NAVY, 30, "the forced repaint")
        self.assert_seamless_navy(form)


def products_own(major, minor, build):
    """The product's caption for a Windows NT that the built-in table leaves out, read from its
    rows: the one row for that version whose lowest build Wine's reaches ("" where it has none).
    Which of several rows wins is the host's tests' to check (os_caption_test.cpp)."""
    rows = [row.caption for row in PRODUCT.os_captions if (row.major, row.minor) == (major, minor)
            and row.build <= build]
    return rows[0] if len(rows) == 1 else "" if not rows else None


# Wine's per-program Windows version, and the caption it must give (None: more than one
# row of the product's is reached there, and the case is skipped).
CAPTIONS = [("win31", "Microsoft Win32s "), ("win95", "Microsoft Windows 95 "),
            ("win98", "Microsoft Windows 98 SE"), ("winme", "Microsoft Windows Me "),
            ("nt351", "Microsoft Windows NT "), ("nt40", "Microsoft Windows NT "),
            ("win2k", "Microsoft Windows 2000 "), ("winxp", "Windows XP"), ("win2003", ""),
            ("win7", products_own(6, 1, 7601)), ("win10", products_own(10, 0, 19043))]


class OsCaptionTest(MenuTest):
    KEY = rf"HKCU\Software\Wine\AppDefaults\{PRODUCT.executable}"

    def set_version(self, value):
        self.wine.reg("add", self.KEY, "/v", "Version", "/d", value)

    def tearDown(self):
        self.wine.reg("delete", self.KEY)
        super().tearDown()

    def test_caption_names_the_windows_version_the_program_is_told(self):
        medium = Medium(self.work)
        for version, caption in CAPTIONS:
            # A file of its own for each version: a failure leaves the one it could not write named.
            reference = os.path.join(self.work, f"line-{version}.rgb")
            with self.subTest(version=version):
                if caption is None:
                    self.skipTest(f"{PRODUCT.name} names more than one caption that Wine's {version} reaches")
                self.set_version(version)
                proc = self.start_menu(medium.exe)
                try:
                    form = self.wait_for_form(proc)
                    self.wine.probe("render-line", windows_path(reference), caption)
                    with open(reference, "rb") as f:
                        expected = Frame(f.read(), 361, 25)
                    left, top = form["client"][0] + 112, form["client"][1] + 528
                    # The line must become exactly the reference once the window has painted.
                    wait_for(lambda: self.display.grab().crop(left, top, 361, 25).data == expected.data, 15,
                             f"the caption {caption!r}")
                finally:
                    self.wine.end_all()  # the next version starts a first copy again


if __name__ == "__main__":
    unittest.main()
