"""Display scaling: the menu is laid out at 96 dpi whatever density the
display reports, and leaves enlarging it to the system. Wine reports every
program as aware of the density and does not enlarge windows, so under Wine a
higher density must leave the client area exactly as it is at 96 dpi."""

import unittest

from harness import CLIENT_PIXELS, Medium, MenuTest

KEY = r"HKCU\Control Panel\Desktop"


class DisplayDensityTest(MenuTest):
    def set_density(self, dpi):
        """For programs started from now on; the probe checks that Wine took it."""
        self.wine.reg("add", KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi))

    def client_area(self, dpi):
        """The menu's client area once it has settled: focus on the exit button, pointer off the window."""
        self.pointer.move(2, 2)
        proc = self.start_menu(Medium(self.work, name=f"Medium-{dpi}").exe)
        form = self.wait_for_form(proc)
        self.wait_for_button_focus(form)
        self.assertEqual(tuple(form["client"][2:]), CLIENT_PIXELS)
        left, top, w, h = form["client"]
        shot = self.display.grab().crop(left, top, w, h)
        self.wine.end_all()
        return shot

    def test_at_higher_densities_the_client_area_is_its_96_dpi_self(self):
        self.set_density(96)
        reference = self.client_area(96)
        try:
            for dpi in (120, 144, 192):
                with self.subTest(dpi=dpi), self.screenshot_on_failure(f"{dpi}dpi"):
                    self.set_density(dpi)
                    self.assertEqual(self.wine.probe("dpi"), str(dpi), "Wine took the density")
                    shot = self.client_area(dpi)
                    differing = sum(a != b for a, b in zip(shot.data, reference.data))
                    self.assertEqual(differing, 0, f"{differing} bytes differ from the 96-dpi window")
        finally:
            self.set_density(96)


if __name__ == "__main__":
    unittest.main()
