"""Bad product descriptions are refused before anything is written, with a
message that names the file, the key and what is wrong."""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
PRODUCT = os.path.join(SOURCES, "tools", "product", "product.py")
DEFAULT = os.path.join(SOURCES, "products", "velbrook")
FONTS = ["--latin-font", "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
         "--cjk-font", "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
         "--heading-font", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"]


def bmp(width, height, bits=24):
    stride = (width * bits // 8 + 3) & ~3
    palette = b"\0" * 1024 if bits == 8 else b""
    pixels = b"\0" * stride * height
    offset = 54 + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 0, 0, 0, 0) + palette + pixels)


def icon(bits):
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, bits, 0, 0, 0, 0, 0, 0) + b"\0" * (32 * 32 * bits // 8 + 128)
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, 32, 32, 0, 0, 1, bits, len(image), 22) + image


def language(name, folder, code):
    return f'\n[[language]]\nname = "{name}"\nwords = "{name}"\nflag = "japan"\nfolder = "{folder}"\ncode = {code}\n'


# (what, the change to the default description, what the message must say). A change is
# (old text, new text) in product.toml, or (file, bytes) for a file beside it.
CASES = [
    ("an unknown key", ('name = "Velbrook Cable"', 'name = "Velbrook Cable"\ncolour = "red"'),
     "[product], key 'colour': unknown key"),
    ("a missing key", ('company = "Kestrin"', ""), "[product], key 'company': missing"),
    ("a missing picture", ('word_mark = "wordmark.bmp"', 'word_mark = "mark.bmp"'),
     "[pictures], key 'word_mark': cannot read"),
    ("a file that is no picture", ("wordmark.bmp", b"MZ not a picture" * 8),
     "[pictures], key 'word_mark':", "is not a BMP picture"),
    ("a picture of the wrong size", ("wordmark.bmp", bmp(132, 28)), "is 132 x 28 pixels; it must be 133 x 28"),
    ("a picture of the wrong colour depth", ("wordmark.bmp", bmp(133, 28, 8)),
     "has 8 bits per pixel; it must be 24-bit"),
    ("a flag of the wrong size", ('flag = "japan"', 'flag = "flag.bmp"'), ("flag.bmp", bmp(40, 28)),
     "[[language]] number 4 (Japanese), key 'flag'", "must be 41 x 28"),
    ("an icon of the wrong colour depth", ("icon.ico", icon(8)), "[pictures], key 'icon':",
     "has 8 bits per pixel; it must be a 16-colour"),
    ("an empty folder", ('folder = "English_link"', 'folder = ""'), "(English), key 'folder': is empty"),
    ("a backslash in a folder", ('folder = "English_link"', 'folder = "English\\\\link"'), "contains a backslash"),
    ("a slash in a folder", ('folder = "English_link"', 'folder = "English/link"'), "contains a slash"),
    ("'..' in a folder", ('folder = "English_link"', 'folder = "..English"'), "contains '..'"),
    ("a drive in a folder", ('folder = "English_link"', 'folder = "E:English"'), "names a drive"),
    ("a character Windows forbids", ('folder = "English_link"', 'folder = "English*link"'),
     "contains '*', which Windows forbids"),
    ("a forbidden program name", ('folder = "English_link"', 'folder = "English_link"\nprogram = "Set?up.exe"'),
     "key 'program': 'Set?up.exe' contains '?'"),
    ("a device name", ('folder = "English_link"', 'folder = "CONIN$"'), "is a device name"),
    ("a name a disc cannot hold", ('folder = "English_link"', 'folder = "English;link"'), "contains ';'"),
    ("an executable name with a blank", ('executable = "Velbrook.exe"', 'executable = "Vel Menu.exe"'),
     "key 'executable':", "holds a blank"),
    ("another product's single-instance name", ('executable = "Velbrook.exe"', 'executable = "Tarnwick.exe"'),
     "key 'single_instance':", "does not name Tarnwick"),
    ("a volume label Windows cuts short", ('# volume_label = "VELBROOK"', 'volume_label = "VELBROOK_CABLE"'),
     "key 'volume_label':", "longer than the 16 characters"),
    ("words written right to left", ('words = "English"', 'words = "\u05e2\u05d1\u05e8\u05d9\u05ea"'),
     "(English), key 'words':", "is written right to left"),
    ("a heading its font cannot draw", ('# heading = "..."', 'heading = "Velbrook \u7E41\u9AD4"'),
     "[product], key 'heading':", "(U+7E41) cannot be drawn"),
    ("two languages in one folder", ('folder = "SimpChin_link"', 'folder = "tradchin_LINK"'),
     "(Simplified Chinese), key 'folder': 'tradchin_LINK' is the folder of Traditional Chinese too"),
    ("more shown rows than fit", ('shown = false', 'shown = true' + language("Deutsch", "de", 4)
                                  + language("Dansk", "da", 5) + language("Norsk", "no", 6)),
     "key 'shown': 7 languages are shown; 6 rows fit"),
    ("a character no font draws", ('words = "English"', 'words = "English \u2603"'),
     "(English), key 'words': WenQuanYi Zen Hei", "'\u2603' (U+2603)"),
    ("a caption wider than its place", ('caption = "Kestrin USB 2.0 Velbrook Cable"',
                                        'caption = "Kestrin USB 2.0 Velbrook Cable ' + "with many more words " * 6 + '"'),
     "[product], key 'caption':", "its place on the window is 700"),
    ("a heading wider than its label", ('# heading = "..."', 'heading = "' + "Velbrook " * 9 + '"'),
     "[product], key 'heading':", "its place on the window is 729"),
]


class BadDescriptionTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="product-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def describe(self, changes):
        """A copy of the default product with `changes` made; its description's path."""
        folder = os.path.join(self.work, "product")
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(DEFAULT, folder)
        toml = os.path.join(folder, "product.toml")
        for old, new in changes:
            if isinstance(new, bytes):
                with open(os.path.join(folder, old), "wb") as f:
                    f.write(new)
                continue
            with open(toml, encoding="utf-8") as f:
                text = f.read()
            self.assertIn(old, text, "the change does not apply")
            with open(toml, "w", encoding="utf-8") as f:
                f.write(text.replace(old, new, 1))
        return toml

    def run_product(self, toml, out):
        return subprocess.run([sys.executable, PRODUCT, toml, "--out", out, "--templates",
                               os.path.join(SOURCES, "src", "resources"), *FONTS], capture_output=True, text=True)

    def test_each_bad_description_is_refused_with_the_file_the_key_and_what_is_wrong(self):
        for what, *rest in CASES:
            changes = [item for item in rest if isinstance(item, tuple)]
            messages = [item for item in rest if isinstance(item, str)]
            with self.subTest(what):
                toml = self.describe(changes)
                out = os.path.join(self.work, "out")
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertIn(f"{toml}: ", run.stderr)
                for message in messages:
                    self.assertIn(message, run.stderr)
                self.assertFalse(os.path.exists(out), "something was written")

    def test_the_default_description_is_accepted_also_as_windows_editors_save_it(self):
        toml = self.describe([])
        with open(toml, encoding="utf-8") as f:
            text = f.read()
        for encoding, start in (("utf-8", "\ufeff"), ("utf-16", "")):  # a BOM and CR LF; UTF-16
            with open(toml, "w", encoding=encoding, newline="\r\n") as f:
                f.write(start + text)
            run = self.run_product(toml, os.path.join(self.work, encoding))
            self.assertEqual(run.returncode, 0, run.stderr)
        out = os.path.join(self.work, "utf-8")
        self.assertEqual(sorted(os.listdir(out)), ["art.list", "menu.manifest", "menu.rc", "product.cmake",
                                                   "product.h", "product.json"])

    def test_the_build_stops_at_configure_time(self):
        toml = self.describe([CASES[0][1]])
        build = os.path.join(self.work, "build")
        run = subprocess.run(["cmake", "-S", SOURCES, "-B", build, "-G", "Ninja",
                              f"-DVELBROOK_PRODUCT={os.path.dirname(toml)}"], capture_output=True, text=True)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn("[product], key 'colour': unknown key", " ".join(run.stderr.split()))
        self.assertFalse(os.path.exists(os.path.join(build, "generated", "product", "product.h")))


if __name__ == "__main__":
    unittest.main()
