"""What the art generator (tools/artgen) draws from the lines of an art list, read
back from the pictures it writes: the faces' words inside their room at every
scale, up to the most letters that fit; the maker's logo inside its box; and
the lines it refuses. Its functions' own tests are tests/unit/artgen_test.cpp;
the pictures a product's description makes, tests/product."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

from menubuild.product import design, scripts
from menubuild.product.configure import art_line
from menubuild.winehost import Frame

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DESIGN = design.Design.load(os.path.join(SOURCES, "src", "resources", "design.toml"))
FONTS = scripts.Fonts(scripts.load(os.path.join(SOURCES, "src", "resources", "scripts.toml")),
                      "/usr/share/fonts/truetype")


class ArtGeneratorTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="artgen-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def artgen(self, lines, art=None):
        """The art generator run on an art list of `lines`, writing into `art` (the work folder
        unless given); the test skips where ctest did not name the generator."""
        artgen = os.environ.get("VELBROOK_ARTGEN")
        if not artgen:
            self.skipTest("VELBROOK_ARTGEN is not set: run through ctest")
        art = art or self.work
        listing = os.path.join(self.work, "art.list")
        with open(listing, "w", encoding="utf-8") as f:
            f.writelines(line + "\n" for line in lines)
        return subprocess.run([artgen, listing, art, os.path.join(art, "sheet.png")], capture_output=True, text=True)

    def test_words_up_to_their_room_are_drawn_inside_it_at_every_scale_and_one_letter_more_is_refused(self):
        facts = DESIGN.face
        for grid, seed, letter, right_to_left in (("latin", "English", "W", False),
                                                  ("cjk", "\u65e5\u672c\u8a9e", "\u65e5", False),
                                                  ("other", "\u05e2\u05d1\u05e8\u05d9\u05ea", "\u05d1", True)):
            g = getattr(facts, grid)
            art = os.path.join(self.work, "art")

            def drawn(letters):
                # English's face alone, as the configure step lists it.
                words = seed + letter * letters
                shutil.rmtree(art, ignore_errors=True)
                os.makedirs(art)
                return self.artgen([art_line("font", script=tag, grid=FONTS.table[tag].grid, source=FONTS.path(tag))
                                    for tag in dict.fromkeys(["Latn", scripts.script_of(words)])]
                                   + [art_line("face", code=3, name="English", flag="built-in:japan",
                                               highlighted_bits=24, words=words)], art)
            # The most letters the art generator draws: it refuses 40.
            fits, refused = 0, 40
            while refused - fits > 1:
                middle = (fits + refused) // 2
                fits, refused = (middle, refused) if drawn(middle).returncode == 0 else (fits, middle)
            with self.subTest(grid=grid, letters=fits):
                run = drawn(refused)
                self.assertEqual(run.returncode, 1)
                refusal = re.search(r"the words of English \(code 3\), '.*', are wider than their room on the face "
                                    r"\((\d+) pixels\) by \d+ pixels? at (\d+) dpi", run.stderr)
                self.assertIsNotNone(refusal, run.stderr)
                self.assertEqual(drawn(fits).returncode, 0)
                for dpi in (96,) + DESIGN.drawn_dpis:
                    def scaled(v):
                        return int(v * dpi / 96 + 0.5)
                    lit = Frame.read(os.path.join(art, "CountryPic3.bmp") if dpi == 96 else
                                     os.path.join(art, str(dpi), "CountryPic3.png"))
                    # Lit, the face has no shadow and no rule: what is not the ground right of the
                    # flag is the words' ink, inside their room, from their reader's side.
                    ground = lit.pixel(lit.width - 1, 0)
                    inked = [(x, y) for y in range(lit.height) for x in range(lit.width)
                             if x > scaled(facts.flag_left + facts.flag_width) and lit.pixel(x, y) != ground]
                    xs, ys = [x for x, _ in inked], [y for _, y in inked]
                    shadow = scaled(g.words_left + g.shadow) - scaled(g.words_left)
                    with self.subTest(dpi=dpi):
                        if right_to_left:
                            self.assertEqual(max(xs), scaled(facts.words_right) - shadow - 1)
                            self.assertGreaterEqual(min(xs), scaled(g.words_left))
                        else:
                            self.assertEqual(min(xs), scaled(g.words_left))
                            self.assertLess(max(xs), scaled(facts.words_right) - shadow)
                        self.assertGreaterEqual(min(ys), scaled(facts.margin))
                        self.assertLess(max(ys), scaled(g.rule_row) - scaled(facts.margin))
                    if dpi == int(refusal[2]):  # where one letter more is too wide
                        self.assertGreater(max(xs) - min(xs) + 1, int(refusal[1]) - scaled(13), "refused short of it")
                # Normal, the shadow too ends inside the room.
                normal = Frame.read(os.path.join(art, "CountryImage3.bmp"))
                ground = normal.pixel(facts.width - 1, 0)
                self.assertFalse([x for x in range(facts.words_right, facts.width) for y in range(facts.height)
                                  if normal.pixel(x, y) != ground and y != g.rule_row])

    def test_the_art_generator_reads_only_lines_whose_fields_are_their_kinds(self):
        for line, message in (("draw\tImage4.bmp", "has a field Image4.bmp"),
                              ("logo\tfile=Image2.bmp", "lacks the field words"),
                              ("copy\tfile=a.bmp\tsource=b.bmp\tfile=c.bmp", "has a field file"),
                              ("face\tcode=x\tname=E\tflag=built-in:japan\thighlighted_bits=24\twords=A",
                               "the field code"),
                              ("font\tscript=Latn\tgrid=greek\tsource=a.ttf", "the field grid"),
                              ("face-font\tcode=3\tsource=a.ttc\tface=TC\tlanguage=zh-Hant", "the field face"),
                              ("face-font\tcode=3\tsource=a.ttc\tface=3\tlanguage=zh-Hant",
                               "a.ttc is named for the words of code 3, which no face line after it draws"),
                              ("paint\tfile=Image4.bmp", "no kind paint")):
            with self.subTest(line):
                run = self.artgen([line])
                self.assertEqual(run.returncode, 1)
                self.assertIn(message, run.stderr)

    def test_the_logo_shows_its_words_inside_its_box(self):
        drawn, logo = DESIGN.drawn, DESIGN.picture("image2")
        run = self.artgen([art_line("font", script="Latn", grid="latin", source=FONTS.path("Latn")),
                           art_line("logo", file="a.bmp", words="KESTRIN"), art_line("logo", file="b.bmp", words="ACME")])
        self.assertEqual(run.returncode, 0, run.stderr)
        logos = []
        for name in ("a.bmp", "b.bmp"):
            picture = Frame.read(os.path.join(self.work, name))
            ground = picture.pixel(0, 0)
            ink = {(x, y) for x in range(logo.width) for y in range(logo.height) if picture.pixel(x, y) != ground}
            box = {(x, y) for x in range(drawn.logo_left, drawn.logo_left + drawn.logo_width)
                   for y in range(drawn.logo_top, drawn.logo_top + drawn.logo_height)}
            rule = {(x, drawn.logo_rule_top + y) for x in range(drawn.logo_left, drawn.logo_left + drawn.logo_width)
                    for y in range(drawn.logo_rule_height)}
            self.assertEqual(ink - box, rule, name)
            logos.append(ink)
        self.assertNotEqual(logos[0], logos[1], "the two names drew one logo")


if __name__ == "__main__":
    unittest.main()
