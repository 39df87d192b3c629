"""Display scaling: the menu lays itself out and draws at the window's
density. Wine tells every program the registry's LogPixels and treats it as
aware of it, so under Wine a start at 120, 144, 168 or 192 dpi shows the
window as a monitor of that scale would. Wine never sends WM_DPICHANGED; the
probe sends it as Windows does when the window moves to a monitor of another
scale.

Every picture is drawn by the build for each scale at the size its control
has there, so at 120, 144, 168 and 192 dpi the window shows it unstretched,
pixel for pixel.

A 200 % window is larger than the other tests' screen: this module runs on a
screen and a Wine desktop of its own size, and gives the prefix its desktop
back at the end."""

import os
import re
import unittest

from harness import (CLIENT_PIXELS, COMMAND1, DESIGN, LAYOUT, PRODUCT, Frame, Medium, MenuTest, drawn_picture, rect,
                     wait_for, windows_path)
from menubuild.medium import pe
from menubuild.winehost import LARGE_SCREEN

# The offered languages by code: their folders and faces.
LANGUAGES = {row.code: (row.folder, row.rect) for row in PRODUCT.shown}
DRAWN_DPIS = DESIGN.drawn_dpis  # the scales the build draws every picture for
DENSITIES = tuple(dpi for dpi in DRAWN_DPIS if dpi <= 192)  # those whose window the screen has room for
TWIPS_PER_LAYOUT_PIXEL = DESIGN.twips_per_pixel

# The pictures that show at the start, in front of the tiles: at each density each
# is the build's picture for that scale. The button's picture is looked at inside
# the button, and the labels on their own.
PICTURES = ["Image1", "Image2", "Image4"] + [f"CountryImage({i})" for i in LANGUAGES]
LABEL = "Label2"  # "Your operating system is : ", in bold
LABEL_POINTS, LABEL_WEIGHT = 8.25, 700


def edge(pixels, dpi):
    """A layout edge (on the 96-dpi grid) at a density: the first pixel not before it."""
    return -((-pixels * TWIPS_PER_LAYOUT_PIXEL * dpi) // 1440)


def scaled(r, dpi):
    x, y, w, h = r
    return edge(x, dpi), edge(y, dpi), edge(x + w, dpi) - edge(x, dpi), edge(y + h, dpi) - edge(y, dpi)


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def in_front(name):
    """The visible controls drawn over a control's rectangle (later in the table: nearer the front)."""
    names = list(LAYOUT["controls"])
    return [other for other in names[names.index(name) + 1:] if LAYOUT["controls"][other]["visible"]
            and overlap(rect(name), rect(other))]


def differing_pixels(shot, picture, at, inside=None, hidden=()):
    """How many pixels of `picture`, placed at `at` on the shot, the shot shows otherwise;
    only those within `inside` (x, y, w, h on the shot) where given, and none under `hidden`."""
    x0, y0 = at
    ix, iy, iw, ih = inside or (0, 0, shot.width, shot.height)  # the window cuts off what reaches past it
    covered = lambda x, y: any(hx <= x < hx + hw and hy <= y < hy + hh for hx, hy, hw, hh in hidden)  # noqa: E731
    return sum(shot.pixel(x, y) != picture.pixel(x - x0, y - y0) and not covered(x, y)
               for y in range(max(iy, y0), min(iy + ih, y0 + picture.height))
               for x in range(max(ix, x0), min(ix + iw, x0 + picture.width)))


def ink_rows(frame, r):
    """The rows of a rectangle where the white text has ink: first and last."""
    x, y, w, h = r
    rows = [j for j in range(h) if any(min(frame.pixel(x + i, y + j)) > 200 for i in range(w))]
    return (rows[0], rows[-1]) if rows else None


class DisplayDensityTest(MenuTest):
    SCREEN = LARGE_SCREEN  # the session gives the prefix its usual desktop and density back at the end

    def set_density(self, dpi):
        """For programs started from now on."""
        self.session.set_density(dpi)

    def open_menu(self, dpi, name):
        self.set_density(dpi)
        self.assertEqual(self.wine.probe("dpi"), str(dpi), "Wine took the density")
        self.pointer.move(2, 2)
        proc = self.start_menu(Medium(self.work, name=name).exe)
        form = self.wait_for_form(proc)
        self.wait_for_button_focus(form)
        return proc, form

    def client(self, form):
        left, top, w, h = form["client"]
        return self.display.grab().crop(left, top, w, h)

    def settled_client(self, form, size):
        """The client area once the window shows it at `size` and has painted it."""
        def ready():
            current = [w for w in self.wine.forms(form["pid"]) if w["visible"]]
            if not current or tuple(current[0]["client"][2:]) != size:
                return None
            return current[0]
        form = wait_for(ready, 30, f"the client area of {size}")
        shots = [self.client(form)]

        def settled():
            shots.append(self.client(form))
            return shots[-1] if shots[-1].data == shots[-2].data else None
        return form, wait_for(settled, 10, "the window to settle")

    def reference(self):
        """The 96-dpi window, and its first offered language lit."""
        if not hasattr(DisplayDensityTest, "_reference"):
            _, form = self.open_menu(96, "Medium-96")
            normal = self.client(form)
            self.assertEqual((normal.width, normal.height), CLIENT_PIXELS)
            code = sorted(LANGUAGES)[0]
            lit = self.hover(form, rect(f"CountryImage({code})"), normal, 96)
            self.wine.end_all()
            DisplayDensityTest._reference = (normal, lit)
        return DisplayDensityTest._reference

    def hover(self, form, face, before, dpi, at=(0.5, 0.5)):
        """Moves the pointer onto a face's scaled rectangle at a point given as a share of it and
        waits for the face to light; the window as it then shows."""
        x, y, w, h = scaled(face, dpi)
        self.pointer.move(form["client"][0] + x + int(at[0] * (w - 1)), form["client"][1] + y + int(at[1] * (h - 1)))

        def lit():
            shot = self.client(form)
            return shot if shot.crop(x, y, w, h).data != before.crop(x, y, w, h).data else None
        return wait_for(lit, 20, "the face to light")

    def assert_picture_at(self, shot, name, dpi, shows=None):
        """The control's picture drawn for the scale fills its scaled rectangle, pixel for pixel;
        `shows`: the picture of another control that stands there (a lit face)."""
        x, y, w, h = scaled(rect(name), dpi)
        picture = drawn_picture(shows or name, dpi)
        self.assertEqual((picture.width, picture.height), (w, h), f"{shows or name} is drawn at its rectangle's size")
        hidden = [scaled(rect(other), dpi) for other in in_front(name)]  # the word mark on the logo
        self.assertEqual(differing_pixels(shot, picture, (x, y), hidden=hidden), 0, f"{shows or name} at {dpi} dpi")

    def assert_button_picture(self, shot, dpi):
        """The button's picture drawn for the scale, centred on the button, inside its focus cue."""
        x, y, w, h = scaled(COMMAND1, dpi)
        picture = drawn_picture("Command1", dpi)
        at = (x + int((w - picture.width) / 2), y + int((h - picture.height) / 2))  # halved towards zero, as in C
        # Within the frame and the dotted cue, their lines as wide as a 96-dpi pixel is there (at
        # least one): the frame's two bands, the face's inset of two and the cue's line.
        line = max(1, int(dpi / 96 + 0.5))
        inside = (x + 5 * line, y + 5 * line, w - 10 * line, h - 10 * line)
        self.assertEqual(differing_pixels(shot, picture, at, inside), 0, f"Command1 at {dpi} dpi")

    def assert_drawn_at(self, shot, dpi, reference):
        self.assertEqual((shot.width, shot.height), scaled((0, 0) + CLIENT_PIXELS, dpi)[2:])
        for name in PICTURES:
            if LAYOUT["controls"][name]["visible"]:
                self.assert_picture_at(shot, name, dpi)
        self.assert_button_picture(shot, dpi)
        # The text is set at the density: its lines are as much taller as the window is.
        ink96, ink = ink_rows(reference, rect(LABEL)), ink_rows(shot, scaled(rect(LABEL), dpi))
        self.assertIsNotNone(ink, "the label's text shows")
        height96, height = ink96[1] - ink96[0] + 1, ink[1] - ink[0] + 1
        self.assertLessEqual(abs(height - height96 * dpi / 96), 0.2 * height96 * dpi / 96 + 1, (height96, height))

    def label_in(self, face, dpi):
        """The label drawn by the probe as the menu draws it at `dpi`, in `face`."""
        x, y, w, h = scaled(rect(LABEL), dpi)
        path = os.path.join(self.work, f"label-{dpi}-{face}.rgb")
        height = int(LABEL_POINTS * dpi / 72 + 0.5)
        self.wine.probe("render-label", windows_path(path), face, str(height), str(LABEL_WEIGHT), str(w),
                        str(h), "Your operating system is : ")
        with open(path, "rb") as f:
            return Frame(f.read(), w, h)

    def assert_label_face(self, shot, dpi):
        """Away from 96 dpi the labels are set in Microsoft Sans Serif, the TrueType face of MS Sans
        Serif's design: MS Sans Serif is a bitmap font on Windows, and the prefix's is too, which
        GDI would enlarge into stair-steps."""
        x, y, w, h = scaled(rect(LABEL), dpi)
        w = scaled(rect("Label3"), dpi)[0] - x  # where the operating system's name begins
        shown = shot.crop(x, y, w, h).data
        truetype, bitmap = (self.label_in(face, dpi).crop(0, 0, w, h).data
                            for face in ("Microsoft Sans Serif", "MS Sans Serif"))
        self.assertTrue(truetype != bitmap, "the prefix draws MS Sans Serif as Microsoft Sans Serif: it lacks "
                        "Windows' bitmap MS Sans Serif (sserife.fon and its kin, Debian's fonts-wine)")
        self.assertTrue(shown == truetype, f"the label at {dpi} dpi is not in Microsoft Sans Serif")

    def check_density(self, dpi, normal96, code):
        face = rect(f"CountryImage({code})")
        proc, form = self.open_menu(dpi, f"Medium-{dpi}")
        self.assertEqual(tuple(form["client"][2:]), scaled((0, 0) + CLIENT_PIXELS, dpi)[2:])
        shot = self.client(form)
        self.assert_drawn_at(shot, dpi, normal96)
        self.assert_label_face(shot, dpi)
        # The pointer lights the face near the far corner of its scaled rectangle,
        # which at 96 dpi lies well outside it, and the press there starts its setup.
        lit = self.hover(form, face, shot, dpi, at=(0.97, 0.9))
        self.assert_picture_at(lit, f"CountryImage({code})", dpi, shows=f"CountryPic({code})")
        x, y, w, h = scaled(face, dpi)
        before = len(self.launches())
        self.click_client(form, x + w - 2, y + h - 2)
        self.assertEqual(self.wait_for_exit(proc), 0)
        self.wait_for_setups_to_end()
        started = [row["module"].rsplit("\\", 2)[-2] for row in self.launches()[before:]]
        self.assertEqual(started, [LANGUAGES[code][0]])

    def test_at_each_density_the_window_is_laid_out_drawn_and_hit_at_its_scale(self):
        normal96, _ = self.reference()
        code = sorted(LANGUAGES)[0]
        try:
            for dpi in DENSITIES:
                with self.subTest(dpi=dpi), self.screenshot_on_failure(f"{dpi}dpi"):
                    try:
                        self.check_density(dpi, normal96, code)
                    finally:
                        self.wine.end_all()  # a failed density leaves no copy running for the next
        finally:
            self.set_density(96)

    def test_at_200_percent_the_second_column_is_drawn_clear_of_everything_lit_and_pressed(self):
        row = self.need(PRODUCT.second_column[-1] if PRODUCT.second_column else None,
                        f"{len(PRODUCT.shown)} shown languages, one column: no second column")
        name, dpi = f"CountryImage({row.code})", 192
        x, y, w, h = face = scaled(row.rect, dpi)
        width, height = scaled((0, 0) + CLIENT_PIXELS, dpi)[2:]
        self.assertTrue(x + w <= width and y + h <= height, "inside the window")
        others = [other for other, c in LAYOUT["controls"].items() if c["visible"] and other != name
                  and other != f"CountryPic({row.code})"]
        self.assertEqual([other for other in others if overlap(face, scaled(rect(other), dpi))], [],
                         "the face overlaps these")
        try:
            proc, form = self.open_menu(dpi, "Medium-column")
            shot = self.client(form)
            for other in PRODUCT.second_column:
                self.assert_picture_at(shot, f"CountryImage({other.code})", dpi)
            lit = self.hover(form, row.rect, shot, dpi, at=(0.97, 0.9))
            self.assert_picture_at(lit, name, dpi, shows=f"CountryPic({row.code})")
            self.click_client(form, x + w - 2, y + h - 2)
            self.assertEqual(self.wait_for_exit(proc), 0)
            self.wait_for_setups_to_end()
            self.assertEqual([entry["module"].rsplit("\\", 2)[-2] for entry in self.launches()], [row.folder])
        finally:
            self.set_density(96)

    def test_moved_to_monitors_of_other_scales_it_is_laid_out_again_with_nothing_stale(self):
        normal96, lit96 = self.reference()
        code = sorted(LANGUAGES)[0]
        face = rect(f"CountryImage({code})")
        _, form = self.open_menu(120, "Medium-moved")
        start = self.client(form)
        # The face lit before the move stays lit, at its new place.
        self.hover(form, face, start, 120)
        self.pointer.move(2, 2 + form["client"][1] + scaled(face, 120)[1])  # off the window, no move reaches it
        with self.screenshot_on_failure("192dpi"):
            self.wine.probe("dpi-changed", str(form["hwnd"]), "120", "192")
            form, shot = self.settled_client(form, scaled((0, 0) + CLIENT_PIXELS, 192)[2:])
            self.assert_picture_at(shot, f"CountryImage({code})", 192, shows=f"CountryPic({code})")
            self.assert_picture_at(shot, "Image4", 192)
        with self.screenshot_on_failure("120dpi"):
            # Back through 120 dpi, whose set is the nearest drawn one to 96: 96 must not keep it.
            self.wine.probe("dpi-changed", str(form["hwnd"]), "192", "120")
            form, _ = self.settled_client(form, scaled((0, 0) + CLIENT_PIXELS, 120)[2:])
        with self.screenshot_on_failure("96dpi"):
            self.wine.probe("dpi-changed", str(form["hwnd"]), "120", "96")
            form, shot = self.settled_client(form, CLIENT_PIXELS)
            # At 96 dpi it is the 96-dpi window again, pixel for pixel, but for the lit face.
            x, y, w, h = face
            lit_now = shot.crop(x, y, w, h).data == lit96.crop(x, y, w, h).data
            self.assertTrue(lit_now, "the lit face at its 96-dpi place")
            # The labels aside: MS Sans Serif is the bitmap font of the session's density (Wine's
            # LogPixels, Windows' system density), here 120 dpi's, not that of the reference's session.
            labels = [rect(name) for name in LAYOUT["controls"] if name.startswith("Label")]
            differing = sum(shot.pixel(x, y) != lit96.pixel(x, y) for y in range(shot.height) for x in range(shot.width)
                            if not any(lx <= x < lx + lw and ly <= y < ly + lh for lx, ly, lw, lh in labels))
            self.assertEqual(differing, 0, f"{differing} pixels differ from the 96-dpi window")
        # The pointer finds the controls where they now are.
        self.pointer.move(form["client"][0] + 2, form["client"][1] + 2)
        wait_for(lambda: self.client(form).crop(x, y, w, h).data == normal96.crop(x, y, w, h).data or None, 20,
                 "the face to go out")
        self.hover(form, face, normal96, 96)

    def test_labels_take_their_size_from_the_window_not_from_the_sessions_bitmap_font(self):
        # Between the drawn scales the labels are in Microsoft Sans Serif too; and a window at 96 dpi in
        # a session of another density (a laptop at 125 % with a monitor at 100 %) sets them at 96 dpi's
        # size: the bitmap MS Sans Serif there is the session's, drawn for its density, not 96 dpi's.
        normal96, _ = self.reference()
        try:
            for dpi in (110, 132):
                with self.subTest(between=dpi), self.screenshot_on_failure(f"{dpi}dpi"):
                    try:
                        _, form = self.open_menu(dpi, f"Medium-{dpi}")
                        self.assert_label_face(self.client(form), dpi)
                    finally:
                        self.wine.end_all()
            for session in (120, 144):
                with self.subTest(session=session), self.screenshot_on_failure(f"96dpi-in-{session}"):
                    try:
                        _, form = self.open_menu(session, f"Medium-session-{session}")
                        self.wine.probe("dpi-changed", str(form["hwnd"]), str(session), "96")
                        form, shot = self.settled_client(form, CLIENT_PIXELS)
                        want, got = ink_rows(normal96, rect(LABEL)), ink_rows(shot, rect(LABEL))
                        self.assertIsNotNone(got, "the label's text shows")
                        height96, height = want[1] - want[0] + 1, got[1] - got[0] + 1
                        self.assertLessEqual(abs(height - height96), 0.2 * height96 + 1,
                                             f"the label's ink rows at 96 dpi: {got}, in a 96-dpi session {want}")
                    finally:
                        self.wine.end_all()
        finally:
            self.set_density(96)

    def test_where_the_tiles_differ_in_size_the_background_shows_no_seam(self):
        # At 106 and 143 dpi the tiles' edges fall so that neighbouring tiles differ by up to two
        # pixels (at the densities above they are all alike): each size is stretched and kept on its
        # own, and none of the window's own colour shows between them.
        normal96, _ = self.reference()
        navy = normal96.pixel(2, 2)
        try:
            for dpi in (106, 143):
                # The screenshot of a failure is taken before the menu is ended.
                try:
                    with self.subTest(dpi=dpi), self.screenshot_on_failure(f"{dpi}dpi"):
                        _, form = self.open_menu(dpi, f"Medium-{dpi}")
                        # Painted is not yet on the display under Wine: wait until the
                        # background's corner shows and two looks agree.
                        shots = [self.client(form)]

                        def on_screen():
                            shots.append(self.client(form))
                            last = shots[-1]
                            return last if last.pixel(2, 2) == navy and last.data == shots[-2].data else None
                        shot = wait_for(on_screen, 10, "the window's background on the display")
                        controls = [scaled(rect(name), dpi) for name, c in LAYOUT["controls"].items() if c["visible"]]
                        seams = sorted({y for y in range(shot.height) for x in range(shot.width)
                                        if shot.pixel(x, y) != navy and not any(
                                            cx <= x < cx + cw and cy <= y < cy + ch for cx, cy, cw, ch in controls)})
                        self.assertEqual(seams, [], f"rows of the background at {dpi} dpi that are not all navy")
                finally:
                    self.wine.end_all()
        finally:
            self.set_density(96)

    def test_every_picture_comes_drawn_for_every_scale_and_the_menu_stays_small(self):
        exe = os.environ["VELBROOK_EXE"]
        resources = pe.PeFile(exe).resources()
        bitmaps = sorted(name for rtype, name, _ in resources if rtype == pe.RT_BITMAP)
        self.assertGreaterEqual(len(bitmaps), 8, "the pictures were not read")
        for dpi in DRAWN_DPIS:
            with self.subTest(dpi=dpi):
                self.assertEqual(sorted(name for rtype, name, _ in resources if rtype == f"PNG{dpi}"), bitmaps)
        # Under 1.2 MB, besides the pictures a product gives as its own files, which it chooses, and
        # the faces of each language past the default product's four (both at every scale, about 80 KB).
        own = [path for _, path in PRODUCT.files] + [path for _, _, path in PRODUCT.larger]
        own += [path for row in PRODUCT.languages for _, path in row.faces] + [PRODUCT.icon_sizes or PRODUCT.icon]
        more = sum(map(os.path.getsize, own)) + 100_000 * max(0, len(PRODUCT.languages) - 4)
        self.assertLess(os.path.getsize(exe), 1_200_000 + (0 if PRODUCT.is_default else more))

    def test_the_manifest_declares_per_monitor_awareness_with_its_fall_backs(self):
        resources = pe.PeFile(os.environ["VELBROOK_EXE"]).resources()
        text = next(data for (rtype, _, _), data in resources.items() if rtype == pe.RT_MANIFEST).decode("utf-8")
        self.assertRegex(text, r"<dpiAwareness[^>]*>PerMonitorV2, PerMonitor</dpiAwareness>")
        self.assertRegex(text, r"<dpiAware[^>]*>true/pm</dpiAware>")
        self.assertIsNone(re.search(r">\s*(unaware|false)\s*<", text), "a setting left unaware")


if __name__ == "__main__":
    unittest.main()
