"""Many pointer moves and repaints leave the window as it should be and leak nothing."""

import random
import unittest

from harness import BARE, COMMAND1, PRODUCT, MenuTest, Medium, rect, wait_for

NAVY, AZURE = (0, 38, 101), (2, 128, 255)
# Where the moves go (client pixels): the pictures, labels, logos, the
# pictureless members, the button and the bare background.
TARGETS = [row.rect for row in PRODUCT.shown] + [
    rect("Label1"), rect("Image4"), rect("Image1"), rect("Image2"), (112, 528, 361, 25),
    rect("CountryPic(0)"), rect("CountryImage(0)"), COMMAND1, (400, 432, 220, 50), (690, 140, 100, 270)]


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise AssertionError("no VmRSS")


class LoadTest(MenuTest):
    def lit(self, frame, form, rect):
        x, y = form["client"][0] + rect[0], form["client"][1] + rect[1]
        return frame.pixel(x, y) == AZURE

    def test_ten_thousand_moves_and_a_thousand_repaints(self):
        proc = self.start_menu(Medium(self.work).exe)
        form = self.wait_for_form(proc)
        left, top = form["client"][0], form["client"][1]
        self.pointer.move(left + BARE[0], top + BARE[1])
        before = (self.wine.probe("gui", str(form["pid"])), resident_kib(proc.pid))

        rng = random.Random(20261207)
        points = []
        for _ in range(10000):
            x, y, w, h = rng.choice(TARGETS)
            points.append((left + x + rng.randrange(w), top + y + rng.randrange(h)))
        last = PRODUCT.shown[-1]
        points.append((left + last.rect[0] + 100, top + last.rect[1] + 20))  # end on the last row's picture
        self.pointer.path(points)
        self.wine.probe("redraw", str(form["hwnd"]), "1000")

        self.assertIsNone(proc.poll(), "the menu ended")
        wait_for(lambda: self.lit(self.display.grab(), form, last.rect), 30, f"{last.name}'s picture to be lit")
        frame = self.display.grab()
        self.assertEqual([row for row in PRODUCT.shown if self.lit(frame, form, row.rect)], [last])
        self.pointer.move(left + BARE[0], top + BARE[1])
        wait_for(lambda: not self.lit(self.display.grab(), form, last.rect), 30, "the light to go out")

        after = (self.wine.probe("gui", str(form["pid"])), resident_kib(proc.pid))
        print(f"\nGDI/USER objects before {before[0]}, after {after[0]}; "
              f"resident set before {before[1]} KiB, after {after[1]} KiB")
        if before[0]["gdi"] or after[0]["gdi"]:  # Wine reports no GDI or USER counts (0); Windows does
            self.assertLessEqual(after[0]["gdi"], before[0]["gdi"] + 5)
            self.assertLessEqual(after[0]["user"], before[0]["user"] + 5)
        self.assertLessEqual(after[1], before[1] + 4096, "the resident set grew by more than 4 MiB")


if __name__ == "__main__":
    unittest.main()
