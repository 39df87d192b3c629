"""Bad product descriptions are refused before anything is written, with a
message that names the file, the key and what is wrong; what a good one
writes reads back as it was meant, pictures and manifest; and the vendor's
guide lists the keys as they are declared. What the art generator draws from
an art list of its own is tests/artgen's."""

import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zlib

from menubuild.product import design, keys, model, pictures, scripts
from menubuild.product.records import Product
from menubuild.product.render import Font
from menubuild.winehost import Frame

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
CONFIGURE = [sys.executable, "-m", "menubuild.product.configure"]
GUIDE = os.path.join(SOURCES, "docs", "vendor-guide.md")
DEFAULT = os.path.join(SOURCES, "products", "velbrook")
DESIGN = os.path.join(SOURCES, "src", "resources", "design.toml")
SCRIPTS = os.path.join(SOURCES, "src", "resources", "scripts.toml")
DESIGN_FACTS = design.Design.load(DESIGN)
FONT_FOLDER = "/usr/share/fonts/truetype"
HEADING_FONT = os.path.join(FONT_FOLDER, "liberation2", "LiberationSans-Regular.ttf")


def bmp(width, height, bits=24, pixel=None, palette=None, top_down=False, header=40, colours=None, gap=0):
    """A BMP file. `pixel(x, y)` is a pixel's (r, g, b), or at 8 bits its index into
    `palette` (256 black colours unless given); black by default. `colours` is the count
    the header names (by default 0 for 256, else the palette's); `gap` bytes lie before the pixels."""
    palette = [(0, 0, 0)] * 256 if palette is None and bits == 8 else palette or []
    colours = (0 if len(palette) == 256 else len(palette)) if colours is None else colours
    pixel = pixel or (lambda x, y: (0, 0, 0) if bits == 24 else 0)

    def row(y):
        values = [pixel(x, y) for x in range(width)]
        data = b"".join(bytes(v[::-1]) for v in values) if bits == 24 else bytes(values)
        return data.ljust((width * bits // 8 + 3) & ~3, b"\0")
    pixels = b"".join(row(y) for y in (range(height) if top_down else reversed(range(height))))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + header + len(table) + gap
    info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1, bits, 0, len(pixels), 0, 0,
                       colours, 0).ljust(header, b"\0")
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + table + b"\0" * gap + pixels


def ico(*images, gap=0):
    """An icon file of `images`, each (size, bits) of a bitmap, (size, bits, drawn size) of a
    bitmap whose entry names another size, or (size, "png"); a size is a side or (width, height).
    `gap` bytes lie between the directory and the first image."""
    def pair(size):
        return size if isinstance(size, tuple) else (size, size)
    data = []
    for size, bits, *drawn in images:
        width, height = pair(drawn[0] if drawn else size)
        if bits == "png":
            data.append(b"\x89PNG\r\n\x1a\n" + struct.pack(">I4sII", 13, b"IHDR", width, height) + b"\0" * 20)
        else:
            data.append(struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, 0, 0, 0, 0, 0)
                        + b"\0" * (width * height * bits // 8 + height * 4))
    entries, at = b"", 6 + 16 * len(images) + gap
    for (size, bits, *_), image in zip(images, data):
        # Planes and bits left 0, as icon editors often leave them: the group takes the image's.
        width, height = pair(size)
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 0, 0, len(image), at)
        at += len(image)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + b"\0" * gap + b"".join(data)


def language(name, folder, code):
    return f'\n[[language]]\nname = "{name}"\nwords = "{name}"\nflag = "japan"\nfolder = "{folder}"\ncode = {code}\n'


def face(name):
    """A change that gives the English row its own normal face, `name`."""
    return ('words = "English"', f'words = "English"\nnormal_face = "{name}"')


def os_captions(*rows):
    """A change that adds [[os_caption]] tables, each (major, minor, build, caption)."""
    tables = "".join(f'\n[[os_caption]]\nmajor = {major}\nminor = {minor}\nbuild = {build}\ncaption = "{caption}"\n'
                     for major, minor, build, caption in rows)
    return ('# caption = "Windows 11"', '# caption = "Windows 11"\n' + tables)


def icon_images(count):
    """`count` icon images for ico(), no two of one size and depth, the smallest first."""
    return [(size, bits) for size in pictures.ICON_SIZES for bits in pictures.ICON_DEPTHS
            if (size, bits) != (32, 4)][:count]


def font_file(path):
    with open(path, "rb") as f:
        return f.read()


# A language's own font, given beside the description: a Latin one, and one that has no Latin letters.
SERIF = font_file(os.path.join(FONT_FOLDER, "liberation2", "LiberationSerif-Bold.ttf"))
THAI = font_file(os.path.join(FONT_FOLDER, "noto", "NotoSansThai-Bold.ttf"))
# A font of Latin letters without Cyrillic ones, which the table's Latin font has.
SYMBOLS = font_file(os.path.join(FONT_FOLDER, "noto", "NotoSansSymbols-Bold.ttf"))
# A bitmap font, which FreeType opens but the words cannot be shaped in.
BDF = b"""STARTFONT 2.1
FONT -misc-fixed-medium-r-normal--8-80-75-75-c-80-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 8 8 0 0
CHARS 1
STARTCHAR E
ENCODING 69
SWIDTH 500 0
DWIDTH 8 0
BBX 8 8 0 0
BITMAP
FF
80
80
FE
80
80
80
FF
ENDCHAR
ENDFONT
"""


def own_font(name, words="English"):
    """A change that gives the row of `words` its own font, `name`."""
    return (f'words = "{words}"', f'words = "{words}"\nfont = "{name}"')


def glyph_forms(tag, words="\u7E41\u9AD4\u4E2D\u570B\u8A9E"):
    """A change that asks for the glyph forms `tag` for the row of `words` (Traditional Chinese's)."""
    return (f'words = "{words}"', f'words = "{words}"\nglyph_forms = "{tag}"')


PRODUCT_FOLDER = "the product folder's name"
FONTS_ONLY = "the font folder's only subfolders"  # a machine with fewer fonts installed
WORD_MARK = 'word_mark = "wordmark.bmp"'
ICON_SIZES = ('icon = "icon.ico"', 'icon = "icon.ico"\nicon_sizes = "sizes.ico"')
CAPTION = 'caption = "Kestrin USB 2.0 Velbrook Cable"'
HEADING = ('# heading = "..."', 'heading = "Velbrook"')  # so that the caption alone is judged
# Captions exactly as wide as the caption bar's room (700 pixels), and one pixel wider, as the judge measures.
CAPTION_AT_LIMIT = "Kestrin USB 2.0 Velbrook Cable" + " and its Case" * 7 + " Pack"
CAPTION_PAST_LIMIT = "Kestrin USB 2.0 Velbrook Cable" + " and its Case" * 7 + " Bags"
# An operating-system caption exactly as wide as its label (209 pixels), and one pixel wider.
OS_CAPTION_AT_LIMIT = "Windows 10 Pro N for Workstations x64"
OS_CAPTION_PAST_LIMIT = "Windows 10 Pro N for Workstations SP1"
NO_SINGLE_INSTANCE = ("single_instance = ", "# single_instance = ")  # a name made for the product instead
SHORT_VOLUME_LABEL = ('# volume_label = "VELBROOK"', 'volume_label = "VB"')  # room on the disc's label for a version
# Japanese shown, and eight more: two full columns, with the highest code.
TWELVE_SHOWN = ('shown = false', 'shown = true' + "".join(language(f"Language {code}", f"lang{code}", code)
                                                          for code in (4, 5, 6, 8, 9, 10, 11, 99)))

# (what, the change to the default description, what the message must say). A change is
# (old text, new text) in product.toml, (file, bytes) for a file beside it,
# (PRODUCT_FOLDER, name) or (FONTS_ONLY, the fonts' subfolders there are).
CASES = [
    ("an unknown key", ('name = "Velbrook Cable"', 'name = "Velbrook Cable"\ncolour = "red"'),
     "[product], key 'colour': unknown key"),
    ("a missing key", ('company = "Kestrin"', ""), "[product], key 'company': missing"),
    ("a missing picture", ('word_mark = "wordmark.bmp"', 'word_mark = "mark.bmp"'),
     "[pictures], key 'word_mark': cannot read"),
    ("a picture beside the product's folder", ("../wordmark.bmp", bmp(133, 28)),
     ('word_mark = "wordmark.bmp"', 'word_mark = "../wordmark.bmp"'),
     "[pictures], key 'word_mark': '../wordmark.bmp' lies outside the product's folder"),
    ("a picture named by an absolute path", ('icon = "', f'icon = "{DEFAULT}/'),
     "[pictures], key 'icon':", "lies outside the product's folder"),
    ("a file that is no picture", ("wordmark.bmp", b"MZ not a picture" * 8),
     "[pictures], key 'word_mark':", "is not a BMP picture"),
    ("a picture of the wrong size", ("wordmark.bmp", bmp(132, 28)), "is 132 x 28 pixels; it must be 133 x 28"),
    ("a picture of the wrong colour depth", ("wordmark.bmp", bmp(133, 28, 8)),
     "has 8 bits per pixel; it must be 24-bit"),
    ("a flag of the wrong size", ('flag = "japan"', 'flag = "flag.bmp"'), ("flag.bmp", bmp(40, 28)),
     "[[language]] number 4 (Japanese), key 'flag'", "must be 41 x 28"),
    ("an icon of the wrong colour depth", ("icon.ico", ico((32, 8))), "[pictures], key 'icon':",
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
    ("a heading its font cannot draw", ('# heading = "..."', 'heading = "Velbrook \u7E41\u9AD4"'),
     "[product], key 'heading':", "(U+7E41) cannot be drawn"),
    ("two languages in one folder", ('folder = "SimpChin_link"', 'folder = "tradchin_LINK"'),
     "(Simplified Chinese), key 'folder': 'tradchin_LINK' is the folder of Traditional Chinese too"),
    ("more shown rows than fit", (TWELVE_SHOWN[0], TWELVE_SHOWN[1] + language("Norsk", "no", 12)),
     "key 'shown': 13 languages are shown; 12 fit, in 2 columns of 6 rows"),
    ("a character no font draws", ('words = "English"', 'words = "English \u2603"'),
     "(English), key 'words': '\u2603' (U+2603), in Latin words, is not in Liberation Sans Bold "
     "(LiberationSans-Bold.ttf), the font of the Latin script: it would be drawn as the font's missing-glyph box"),
    ("a character its script's font lacks, in a hidden row",
     ('words = "\u65e5\u672c\u8a9e"', 'words = "\u0e20\u0e32\u0e29\u0e32\u0e44\u0e17\u0e22 \u2603"'),
     "(Japanese), key 'words': '\u2603' (U+2603), in Thai words, is not in Noto Sans Thai Bold "
     "(NotoSansThai-Bold.ttf)"),
    ("a script the build has no font for", ('words = "English"', 'words = "\u16b1\u16a2\u16be"'),
     "(English), key 'words': '\u16b1' (U+16B1) is of the script Runr (ISO 15924), which no font of the build "
     "draws", "give both faces"),
    ("a script whose font is not installed", (FONTS_ONLY, ("liberation2", "wqy")),
     ('words = "English"', 'words = "\u0e20\u0e32\u0e29\u0e32\u0e44\u0e17\u0e22"'),
     f"(English), key 'words': Thai: install fonts-noto-core, which has ", "/noto/NotoSansThai-Bold.ttf"),
    ("a caption wider than its place", (CAPTION, CAPTION[:-1] + " with many more words" * 6 + '"'),
     "[product], key 'caption':", "its place on the window is 700"),
    ("a caption one pixel wider than its place", (CAPTION, f'caption = "{CAPTION_PAST_LIMIT}"'), HEADING,
     "[product], key 'caption':", "is 701 pixels wide; its place on the window is 700"),
    ("a caption with a character no font has", (CAPTION, CAPTION[:-1] + ' \U0001F50C"'), HEADING,
     "[product], key 'caption': '\U0001F50C' (U+1F50C) cannot be drawn"),
    ("a heading wider than its label", ('# heading = "..."', 'heading = "' + "Velbrook " * 9 + '"'),
     "[product], key 'heading':", "its place on the window is 729"),
    ("a caption that fits its bar but not the heading made of it",
     (CAPTION, CAPTION[:-1] + ' with its Travel Case"'),
     "[product], key 'caption':", "as the heading; its place on the window is 729"),
    ("a folder named like AUTORUN.INF", ('folder = "English_link"', 'folder = "autorun.inf"'),
     "(English), key 'folder': 'autorun.inf' is named like the medium's AUTORUN.INF"),
    ("a folder named like the menu", ('folder = "English_link"', 'folder = "VELBROOK.exe"'),
     "(English), key 'folder': 'VELBROOK.exe' is named like the menu, Velbrook.exe"),
    ("two folders that differ only in a final sigma",  # which lower() keeps apart
     ('folder = "TradChin_link"', 'folder = "\u03bb\u03cc\u03b3\u03bf\u03c2"'),
     ('folder = "SimpChin_link"', 'folder = "\u03bb\u03cc\u03b3\u03bf\u03c3"'),
     "(Simplified Chinese), key 'folder':", "is the folder of Traditional Chinese too"),
    ("a setup that is no program", ('folder = "English_link"', 'folder = "English_link"\nprogram = "Setup.bat"'),
     "(English), key 'program': 'Setup.bat' is not a Windows program"),
    ("a direction-changing character in a name", ('folder = "English_link"', 'folder = "English_\u202eknil"'),
     "(English), key 'folder':", "U+202E (RIGHT-TO-LEFT OVERRIDE)"),
    ("a zero-width character in a name",
     ('folder = "English_link"', 'folder = "English_link"\nprogram = "Set\u200bup.exe"'),
     "(English), key 'program':", "U+200B (ZERO WIDTH SPACE)"),
    ("words that show nothing", ('words = "English"', 'words = "\u200b\u3000\u3164"'),
     "(English), key 'words':", "shows nothing"),
    ("words that open with a combining mark", ('words = "English"', 'words = "\u0301English"'),
     "(English), key 'words': '\u0301' (U+0301) is a combining mark with no letter before it to stand on"),
    ("a Thai vowel sign after a blank", ('words = "English"', 'words = "\u0e44\u0e17\u0e22 \u0e31"'),
     "(English), key 'words': '\u0e31' (U+0E31) is a combining mark with no letter before it to stand on"),
    ("two shown rows with the same words",
     ('words = "\u7C21\u4F53\u4E2D\u56FD\u8A9E"', 'words = "\u7E41\u9AD4\u4E2D\u570B\u8A9E\u200b"'),
     "(Simplified Chinese), key 'words':", "are the words of Traditional Chinese too"),
    ("a noncharacter", (CAPTION, CAPTION[:-1] + '\ufffe"'),
     "[product], key 'caption': holds U+FFFE, a noncharacter"),
    ("a line separator in the disc's label", ('name = "Velbrook Cable"', 'name = "Velbrook\u2028Cable"'),
     "[product], key 'name': holds the line separator U+2028"),
    ("another script's digits in the version", ('version = "1.00"', 'version = "\u0661.\u0660\u0660"'),
     "[product], key 'version':", "is not one to four numbers"),
    ("a version of five numbers", ('version = "1.00"', 'version = "1.2.3.4.5"'), SHORT_VOLUME_LABEL,
     "[product], key 'version': '1.2.3.4.5' is not one to four numbers"),
    ("a version number beyond 16 bits", ('version = "1.00"', 'version = "1.65536"'),
     "[product], key 'version': '1.65536' holds 65536; each number of a version is at most 65535"),
    ("a picture with a gap before its pixels", ("wordmark.bmp", bmp(133, 28, gap=4)),
     "[pictures], key 'word_mark':", "says its pixels start at byte 58"),
    ("a picture whose header is no BMP's", ("wordmark.bmp", bmp(133, 28, header=64)),
     "[pictures], key 'word_mark':", "has an information header of 64 bytes"),
    ("a colour count that does not match the palette", face("face.bmp"), ("face.bmp", bmp(245, 45, 8, colours=16)),
     "(English), key 'normal_face':", "16 colours end at byte 118"),
    ("more colours than 8 bits choose from", face("face.bmp"),
     ("face.bmp", bmp(245, 45, 8, palette=[(0, 0, 0)] * 300)), "names 300 colours"),
    ("a pixel beyond its palette", face("face.bmp"),
     ("face.bmp", bmp(245, 45, 8, lambda x, y: 200 if (x, y) == (3, 3) else 0, palette=[(0, 0, 0)] * 16)),
     "uses colour 200 of a palette of 16"),
    ("a picture cut short", ("wordmark.bmp", bmp(133, 28)[:-100]), "[pictures], key 'word_mark':", "is cut short"),
    ("an icon whose image does not follow its directory", ("icon.ico", ico((32, 4), gap=8)),
     "[pictures], key 'icon':", "its image does not follow its directory"),
    ("a '$' in the menu's name", ('executable = "Velbrook.exe"', 'executable = "V${X}.exe"'), NO_SINGLE_INSTANCE,
     "[product], key 'executable': 'V${X}.exe' holds '$'"),
    ("a ';' in a picture's name", ('word_mark = "wordmark.bmp"', 'word_mark = "word;mark.bmp"'),
     ("word;mark.bmp", bmp(133, 28)), "[pictures], key 'word_mark': 'word;mark.bmp' holds ';'"),
    ("a ';' in the product folder's path", (PRODUCT_FOLDER, "kestrin;velbrook"),
     "the product folder's path holds ';'"),
    ("a tab in the product folder's path", (PRODUCT_FOLDER, "kestrin\tvelbrook"),
     "the product folder's path holds the control character U+0009"),
    ("a company longer than the disc's publisher", ('company = "Kestrin"', 'company = "Kestrin ' + "\u00e9" * 61 + '"'),
     "[product], key 'company': is 130 bytes in UTF-8; the disc's publisher field holds 128"),
    ("a name longer than the disc's field", ('name = "Velbrook Cable"', 'name = "' + "\u65e5" * 42 + '"'),
     "[product], key 'name': is 131 bytes in UTF-8 with ' 1.00' after it"),
    ("a control character", ('words = "English"', 'words = "Eng\\u0007lish"'),
     "(English), key 'words': holds the control character U+0007"),
    ("a device name in lower case", ('folder = "English_link"', 'folder = "aux.d"'), "'aux.d' is a device name"),
    ("a name longer than a disc holds", ('folder = "English_link"', 'folder = "' + "E" * 65 + '"'),
     "(English), key 'folder':", "cannot be named on a disc"),
    ("an installer's name for the menu", ('executable = "Velbrook.exe"', 'executable = "VelbrookSetup.exe"'),
     "[product], key 'executable':", "take the menu for an installer"),
    ("two languages with one code", ("code = 2", "code = 1"),
     "(Simplified Chinese), key 'code': 1 is the code of Traditional Chinese too"),
    ("code 0, the pictureless one", ("code = 2", "code = 0"), "(Simplified Chinese), key 'code': 0 is not a code"),
    ("a code past the faces' ids", ("code = 2", "code = 100"),
     "(Simplified Chinese), key 'code': 100 is not a code from 1 to 99"),
    ("a highlighted depth given as a fraction", ("highlighted_bits = 8", "highlighted_bits = 8.0"),
     "(English), key 'highlighted_bits': 8.0 must be 8 or 24"),
    ("a code given as true", ("code = 2", "code = true"), "(Simplified Chinese), key 'code': must be a whole number"),
    ("a company the logo's font cannot draw", ('company = "Kestrin"', 'company = "Kestrin \u7E41"'),
     "[product], key 'company': the maker's logo is drawn from it in Liberation Sans Bold", "maker_logo"),
    ("a company squeezed out of shape in the logo", ('company = "Kestrin"', 'company = "Kestrin Electronics"'),
     "[product], key 'company': 'KESTRIN ELECTRONICS' would be squeezed", "maker_logo"),
    ("a company stretched out of shape in the logo", ('company = "Kestrin"', 'company = "KI"'),
     "[product], key 'company': 'KI' would be stretched"),
    ("an empty window class", ('# form_class = "VelbrookForm"', 'form_class = ""'),
     "[product], key 'form_class': is empty"),
    ("a window class longer than Windows takes", ('# form_class = "VelbrookForm"', f'form_class = "{"V" * 256}"'),
     "[product], key 'form_class': is 256 characters long; 255 is the most"),
    ("a window class outside printable ASCII", ('# owner_class = "VelbrookOwner"', 'owner_class = "V\u00e9lbrook"'),
     "[product], key 'owner_class':", "must be printable ASCII"),
    ("a class of Windows itself", ('# owner_class = "VelbrookOwner"', 'owner_class = "bUTTON"'),
     "[product], key 'owner_class': 'bUTTON' is the name of a class of Windows itself"),
    ("a class named as an atom: Windows' dialog class", ('# form_class = "VelbrookForm"', 'form_class = "#32770"'),
     "[product], key 'form_class': '#32770' is the name of a class of Windows itself"),
    ("the window's and its owner's class alike", ('# owner_class = "VelbrookOwner"', 'owner_class = "velbrookFORM"'),
     "[product], key 'owner_class': 'velbrookFORM' is the form's class too"),
    ("a running message that breaks a line", ('# already_running = ', 'already_running = "Running\\nagain" #'),
     "[product], key 'already_running': holds the control character U+000A"),
    ("a version language in quotes", ("version_language = 0x0404", 'version_language = "0x0404"'),
     "[product], key 'version_language': must be a whole number"),
    ("a version language beyond a LANGID", ("version_language = 0x0404", "version_language = 0x10404"),
     "[product], key 'version_language': 66564 is no language identifier"),
    ("a version language with no primary language", ("version_language = 0x0404", "version_language = 0x0400"),
     "[product], key 'version_language': 1024 is no language identifier"),
    ("a caption for a Windows before Vista", os_captions((5, 1, 0, "Windows XP")),
     "[[os_caption]] number 1, key 'major': 5.1 is no version of Windows from Vista to 11"),
    ("a caption for a Windows that is none", os_captions((10, 1, 0, "Windows 10")),
     "[[os_caption]] number 1, key 'minor': 10.1 is no version"),
    ("a caption from a negative build", os_captions((10, 0, -1, "Windows 10")),
     "[[os_caption]] number 1, key 'build': -1 is no build number"),
    ("two captions for one build", os_captions((6, 1, 0, "Windows 7"), (6, 1, 0, "Windows Seven")),
     "[[os_caption]] number 2, key 'build': 6.1.0 is named by [[os_caption]] number 1 too"),
    ("a caption MS Sans Serif cannot draw", os_captions((10, 0, 0, "Windows \u5341")),
     "[[os_caption]] number 1, key 'caption':", "(U+5341) cannot be drawn"),
    ("a caption wider than its label", os_captions((10, 0, 0, "Windows 10 Enterprise Long-Term Servicing")),
     "[[os_caption]] number 1, key 'caption':", "its place on the window is 209"),
    ("a caption one pixel wider than its label", os_captions((10, 0, 0, OS_CAPTION_PAST_LIMIT)),
     "[[os_caption]] number 1, key 'caption':", "is 210 pixels wide; its place on the window is 209"),
    ("a caption that shows nothing", os_captions((10, 0, 0, "\u200b ")),
     "[[os_caption]] number 1, key 'caption':", "shows nothing"),
    ("an unknown key of a caption", os_captions((10, 0, 0, 'Windows 10"\nedition = "Home')),
     "[[os_caption]] number 1, key 'edition': unknown key"),
    ("a larger picture given as one file", (WORD_MARK, WORD_MARK + '\nword_mark_larger = "wordmark.bmp"'),
     "[pictures], key 'word_mark_larger': must be a table of display scales in percent and files"),
    ("a larger picture for a scale the menu has none for", (WORD_MARK, WORD_MARK + "\nword_mark_larger = { 120 = "
                                                                                   '"wordmark.bmp" }'),
     "[pictures], key 'word_mark_larger.120': '120' is no display scale the menu has pictures for"),
    ("a larger picture of the size of another scale", (WORD_MARK, WORD_MARK + "\nword_mark_larger = { 200 = "
                                                                              '"mark.bmp" }'), ("mark.bmp", bmp(200, 42)),
     "[pictures], key 'word_mark_larger.200':", "is 200 x 42 pixels; it must be 266 x 56"),
    ("a larger picture of one the build draws", (WORD_MARK, WORD_MARK + '\nprompt_larger = { 150 = "p.bmp" }'),
     "[pictures], key 'prompt_larger': gives larger pictures of 'prompt', which the build draws at every scale"),
    ("a larger picture for a scale written another way", (WORD_MARK, WORD_MARK + "\nword_mark_larger = { 0150 = "
                                                                                  '"mark.bmp" }'),
     "[pictures], key 'word_mark_larger.0150': '0150' is no display scale"),
    ("a larger flag of a face not drawn", (face("face.bmp")[0], 'words = "English"\nnormal_face = "face.bmp"\n'
                                           'highlighted_face = "face.bmp"'),
     ('flag = "united-states"', 'flag = "f.bmp"\nflag_larger = { 200 = "f200.bmp" }'), ("face.bmp", bmp(245, 45)),
     ("f.bmp", bmp(41, 28)), ("f200.bmp", bmp(82, 56)),
     "(English), key 'flag_larger': the flag is not drawn, since both faces are given"),
    ("a larger flag of a built-in one", ('flag = "japan"', 'flag = "japan"\nflag_larger = { 200 = "japan.bmp" }'),
     "(Japanese), key 'flag_larger': gives larger pictures of 'flag', which the build draws"),
    ("more icon sizes in a file that is none", ICON_SIZES, ("sizes.ico", b"GIF89a"),
     "[pictures], key 'icon_sizes':", "is not an icon file of 1 to 64 images"),
    ("65 icon images", ICON_SIZES, ("sizes.ico", ico(*icon_images(65))),
     "[pictures], key 'icon_sizes':", "is not an icon file of 1 to 64 images"),
    ("an icon image of a size Windows does not show", ICON_SIZES, ("sizes.ico", ico((16, 8), (33, 32))),
     "[pictures], key 'icon_sizes':", "image 2 is 33 x 33 pixels"),
    ("an icon image of a size not square", ICON_SIZES, ("sizes.ico", ico(((48, 32), 32))), "image 1 is 48 x 32 pixels"),
    ("an icon image other than its entry names", ICON_SIZES, ("sizes.ico", ico((48, 32, 40))),
     "image 1 is not the 48 x 48 picture its entry names"),
    ("an icon image of its entry's width only", ICON_SIZES, ("sizes.ico", ico((48, 32, (48, 40)))),
     "image 1 is not the 48 x 48 picture its entry names"),
    ("a PNG icon image other than its entry names", ICON_SIZES, ("sizes.ico", ico((48, "png", (48, 40)))),
     "image 1 is not the 48 x 48 picture its entry names"),
    ("two icon images of one size and depth", ICON_SIZES, ("sizes.ico", ico((256, "png"), (48, 32), (48, 32))),
     "image 3 is a second 48 x 48 image of 32 bits"),
    ("the icon's own image again", ICON_SIZES, ("sizes.ico", ico((32, 4))), "(the one of `icon`)"),
    ("a font file that is no font", own_font("own.ttf"), ("own.ttf", b"MZ not a font" * 16),
     "(English), key 'font':", "own.ttf is not a font the build draws with"),
    ("a bitmap font, which cannot be shaped", own_font("own.bdf"), ("own.bdf", BDF),
     "(English), key 'font':", "own.bdf is not a font the build draws with"),
    ("an own font that lacks a letter of the words", own_font("own.ttf"), ("own.ttf", THAI),
     "(English), key 'font': 'E' (U+0045), in Latin words, is not in Noto Sans Thai Bold (",
     "/own.ttf), the language's own font"),
    ("an own font that lacks a letter of another script the table draws in the words' script's font",
     ('words = "English"', 'words = "English \u0420\u0443\u0441\u0441\u043a\u0438\u0439"'),
     own_font("own.ttf", "English \u0420\u0443\u0441\u0441\u043a\u0438\u0439"), ("own.ttf", SYMBOLS),
     "(English), key 'font': '\u0420' (U+0420), in Cyrillic words, is not in Noto Sans Symbols Bold ("),
    ("an own font file cut short, whose letters draw nothing", own_font("own.ttf"), ("own.ttf", SERIF[:60000]),
     "(English), key 'font': 'E' (U+0045) draws no ink in ", "/own.ttf): the font file is damaged"),
    ("an own font of words that are not drawn", own_font("own.ttf"), ("own.ttf", SERIF),
     (face("face.bmp")[0], 'words = "English"\nnormal_face = "face.bmp"\nhighlighted_face = "face.bmp"'),
     ("face.bmp", bmp(245, 45)), "(English), key 'font': the words are not drawn, since both faces are given"),
    ("glyph forms the build has no font for", glyph_forms("zh-TW"),
     "(Traditional Chinese), key 'glyph_forms': 'zh-TW' is none of the glyph forms the build draws "
     "(zh-Hans, zh-Hant, zh-HK, ja, ko)"),
    ("glyph forms of words that are not Chinese, Japanese or Korean", glyph_forms("ja", "English"),
     "(English), key 'glyph_forms': 'ja' chooses the glyph forms of Chinese, Japanese or Korean words; 'English' "
     "are in the Latn script"),
    ("glyph forms whose font is not installed", (FONTS_ONLY, ("liberation2", "wqy")), glyph_forms("zh-Hant"),
     "(Traditional Chinese), key 'glyph_forms': Chinese in traditional forms: install fonts-noto-cjk, which has ",
     "/opentype/noto/NotoSansCJK-Bold.ttc"),
    ("a character its glyph forms' font lacks",
     ('words = "\u7E41\u9AD4\u4E2D\u570B\u8A9E"', 'words = "\u7E41\u9AD4\u9FFF"\nglyph_forms = "zh-Hant"'),
     "(Traditional Chinese), key 'glyph_forms': '\u9fff' (U+9FFF), in Han words, is not in Noto Sans CJK TC Bold (",
     "NotoSansCJK-Bold.ttc), the font of its glyph forms"),
    ("a larger face in 16 colours", (face("face.bmp")[0], face("face.bmp")[1] + '\nnormal_face_larger = { 175 = '
                                                                               '"face-175.bmp" }'),
     ("face.bmp", bmp(245, 45)), ("face-175.bmp", bmp(429, 79, 4)),
     "(English), key 'normal_face_larger.175':", "has 4 bits per pixel"),
]

# Descriptions right at a limit, each accepted: the row one past it is in CASES.
AT_THE_LIMITS = [
    ("twelve shown rows", TWELVE_SHOWN),
    ("64 icon images", ICON_SIZES, ("sizes.ico", ico(*icon_images(64)))),
    ("a caption exactly as wide as its place", (CAPTION, f'caption = "{CAPTION_AT_LIMIT}"'), HEADING),
    ("an operating-system caption exactly as wide as its label", os_captions((10, 0, 0, OS_CAPTION_AT_LIMIT))),
]


def flag(x, y):
    """A flag whose parts tell up from down and left from right: black and red over white."""
    return (255, 255, 255) if y >= 14 else (0, 0, 0) if x < 20 else (200, 0, 0)


class DescriptionTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="product-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def describe(self, changes):
        """A copy of the default product with `changes` made; its description's path."""
        shutil.rmtree(os.path.join(self.work, "products"), ignore_errors=True)
        folder = os.path.join(self.work, "products", dict(changes).get(PRODUCT_FOLDER, "product"))
        shutil.copytree(DEFAULT, folder)
        toml = os.path.join(folder, "product.toml")
        for old, new in changes:
            if old in (PRODUCT_FOLDER, FONTS_ONLY):
                continue
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

    def run_product(self, toml, out, fonts=FONT_FOLDER):
        return subprocess.run([*CONFIGURE, toml, "--out", out, "--templates",
                               os.path.join(SOURCES, "src", "resources"), "--font-folder", fonts,
                               "--heading-font", HEADING_FONT], capture_output=True, text=True)

    def fonts_only(self, subfolders):
        """A font folder of only some of the machine's fonts' subfolders."""
        folder = os.path.join(self.work, "fonts")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name in subfolders:
            os.symlink(os.path.join(FONT_FOLDER, name), os.path.join(folder, name))
        return folder

    def artgen(self, listing, art):
        """The art generator run on the art list `listing`, writing into `art` (the test skips
        where ctest did not name the generator)."""
        artgen = os.environ.get("VELBROOK_ARTGEN")
        if not artgen:
            self.skipTest("VELBROOK_ARTGEN is not set: run through ctest")
        return subprocess.run([artgen, listing, art, os.path.join(art, "sheet.png")], capture_output=True, text=True)

    def drawn(self, toml):
        """The description `toml` made into pictures as the build makes them: the folder of the
        written files, its art folder, and the generator's run."""
        out = os.path.join(self.work, "out")
        shutil.rmtree(out, ignore_errors=True)
        run = self.run_product(toml, out)
        self.assertEqual(run.returncode, 0, run.stderr)
        art = os.path.join(out, "art")
        os.makedirs(art)
        run = self.artgen(os.path.join(out, "art.list"), art)
        self.assertEqual(run.returncode, 0, run.stderr)
        return out, art, run

    def test_each_bad_description_is_refused_with_the_file_the_key_and_what_is_wrong(self):
        for what, *rest in CASES:
            changes = [item for item in rest if isinstance(item, tuple)]
            messages = [item for item in rest if isinstance(item, str)]
            with self.subTest(what):
                toml = self.describe(changes)
                out = os.path.join(self.work, "out")
                shutil.rmtree(out, ignore_errors=True)  # a row wrongly accepted wrote it: the next starts afresh
                fonts = dict(changes).get(FONTS_ONLY)
                run = self.run_product(toml, out, self.fonts_only(fonts) if fonts else FONT_FOLDER)
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertIn(f"{toml}: ", run.stderr)
                for message in messages:
                    self.assertIn(message, run.stderr)
                self.assertFalse(os.path.exists(out), "something was written")

    def test_each_description_right_at_a_limit_is_accepted(self):
        # The captions must lie on the limit as the judge measures them, or their rows test nothing.
        room = design.Design.load(DESIGN).texts.caption
        font = Font(HEADING_FONT, "Liberation Sans")
        self.assertEqual([font.width(c, room.em) for c in (CAPTION_AT_LIMIT, CAPTION_PAST_LIMIT)],
                         [room.width, room.width + 1])
        for what, *changes in AT_THE_LIMITS:
            with self.subTest(what):
                run = self.run_product(self.describe(changes), os.path.join(self.work, "out"))
                self.assertEqual(run.returncode, 0, run.stderr)

    def test_a_version_is_shown_as_written_and_its_numbers_fill_the_fixed_part(self):
        # A number written with a leading zero is warned of: 1.05 is 1.5 to Windows, older than a later 1.10.
        for version, numbers, warned in (("2.3", (2, 3, 0, 0), False), ("1.00", (1, 0, 0, 0), False),
                                         ("7", (7, 0, 0, 0), False), ("4.2.0.117", (4, 2, 0, 117), False),
                                         ("65535.0.01", (65535, 0, 1, 0), True), ("1.05", (1, 5, 0, 0), True)):
            with self.subTest(version):
                toml = self.describe([('version = "1.00"', f'version = "{version}"'), SHORT_VOLUME_LABEL])
                out = os.path.join(self.work, version)
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertEqual("warning" in run.stderr, warned, run.stderr)
                with open(os.path.join(out, "menu.rc"), encoding="utf-8") as f:
                    rc = f.read()
                fixed = ", ".join(map(str, numbers))
                for line in (f"FILEVERSION {fixed}\n", f"PRODUCTVERSION {fixed}\n", f'"FileVersion", "{version}"',
                             f'"ProductVersion", "{version}"'):
                    self.assertIn(line, rc)
                manifest = ElementTree.parse(os.path.join(out, "menu.manifest")).getroot()
                self.assertEqual(manifest.find("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity").get("version"),
                                 ".".join(map(str, numbers)))
                with open(os.path.join(out, "product.json"), encoding="utf-8") as f:
                    facts = json.load(f)
                # The names of the release's files take it from here, as written.
                self.assertEqual((facts["version"], facts["disc_label"]), (version, "VB_" + version.replace(".", "_")))
                with open(os.path.join(out, "product.cmake"), encoding="utf-8") as f:
                    self.assertIn(f'set(VELBROOK_VERSION_TEXT "{version}")', f.read())

    def test_the_default_description_is_accepted_also_as_windows_editors_save_it(self):
        toml = self.describe([])
        with open(toml, encoding="utf-8") as f:
            text = f.read()
        # A BOM and CR LF; UTF-16 as Notepad saves it, little-endian and big-endian.
        for encoding, start in (("utf-8", "\ufeff"), ("utf-16", ""), ("utf-16-be", "\ufeff")):
            with open(toml, "w", encoding=encoding, newline="\r\n") as f:
                f.write(start + text)
            run = self.run_product(toml, os.path.join(self.work, encoding))
            self.assertEqual(run.returncode, 0, run.stderr)
        out = os.path.join(self.work, "utf-8")
        self.assertEqual(sorted(os.listdir(out)), ["art.list", "design.h", "menu.manifest", "menu.rc", "product.cmake",
                                                   "product.h", "product.json"])

    def test_a_manifest_that_reads_back_and_safe_names_made_from_a_non_ascii_menu_name(self):
        caption = "Kestrin & <Velbrook> Cable"
        toml = self.describe([(CAPTION, f'caption = "{caption}"'), NO_SINGLE_INSTANCE,
                              ("version_language = 0x0404", "# version_language = 0x0404"),
                              ('executable = "Velbrook.exe"', 'executable = "V\u00e9lbrook.exe"')])
        out = os.path.join(self.work, "out")
        run = self.run_product(toml, out)
        self.assertEqual(run.returncode, 0, run.stderr)
        manifest = ElementTree.parse(os.path.join(out, "menu.manifest")).getroot()
        asm = "{urn:schemas-microsoft-com:asm.v1}"
        self.assertEqual(manifest.find(asm + "description").text, caption)
        self.assertEqual(manifest.find(asm + "assemblyIdentity").get("name"), "Kestrin.Vlbrook.Menu")
        with open(os.path.join(out, "product.json"), encoding="utf-8") as f:
            facts = json.load(f)
        self.assertEqual((facts["volume_label"], facts["release_name"]), ("V_LBROOK", "V_lbrook"))
        self.assertRegex(facts["single_instance"], r"^Local\\Kestrin\.V\u00e9lbrook\.Menu\.[0-9A-F]{8}$")
        # Class names keep the name's ASCII letters with a fingerprint of the whole name, so that
        # two names that differ only outside ASCII keep apart; the version block is in the default language.
        fingerprint = "%08X" % zlib.crc32("V\u00e9lbrook".encode("utf-8"))
        self.assertEqual((facts["form_class"], facts["owner_class"]),
                         (f"Vlbrook{fingerprint}Form", f"Vlbrook{fingerprint}Owner"))
        self.assertEqual((facts["disc_label"], facts["demo_disc_label"]), ("V_LBROOK_1_00", "V_LBROOK_DEMO"))
        with open(os.path.join(out, "menu.rc"), encoding="utf-8") as f:
            rc = f.read()
        self.assertIn('LANGUAGE 0x09, 0x01  // English (United States)\n1 VERSIONINFO', rc)
        self.assertIn('BLOCK "040904B0"', rc)
        self.assertIn('VALUE "Translation", 0x0409, 1200', rc)

    def test_a_flag_from_a_file_is_drawn_upright_in_its_colours_and_lit_in_the_tint(self):
        palette = [(0, 0, 0), (200, 0, 0), (255, 255, 255)]
        files = {"taiwan": ("bottom-up.bmp", bmp(41, 28, pixel=flag)),  # for each built-in flag of the default
                 "china": ("top-down.bmp", bmp(41, 28, pixel=flag, top_down=True)),
                 "united-states": ("v5.bmp", bmp(41, 28, 8, lambda x, y: palette.index(flag(x, y)), palette,
                                                 header=124))}
        toml = self.describe([(f'flag = "{built_in}"', f'flag = "{name}"') for built_in, (name, _) in files.items()]
                             + list(files.values()))
        _, art, _ = self.drawn(toml)
        # Lit, the flag is the highlight's tint, light parts towards white by their brightness.
        tint, red_lit = (64, 159, 255), (109, 182, 255)
        for code, top in ((1, 4), (2, 4), (3, 5)):  # the flag's top row: 4 beside CJK words, 5 beside Latin ones
            for x, y, lit in ((5, 4, tint), (30, 4, red_lit), (5, 20, (255, 255, 255))):
                with self.subTest(code=code, x=x, y=y):
                    self.assertEqual(Frame.read(os.path.join(art, f"CountryImage{code}.bmp")).pixel(12 + x, top + y),
                                     flag(x, y))
                    self.assertEqual(Frame.read(os.path.join(art, f"CountryPic{code}.bmp")).pixel(12 + x, top + y), lit)

    def test_a_picture_given_larger_is_used_at_its_scale_and_the_others_are_made_from_the_nearest_above(self):
        red, green, blue = (200, 0, 0), (0, 200, 0), (0, 0, 255)
        checks = lambda x, y: (0, 0, 155) if (x + y) % 2 else (0, 0, 105)  # reduced or enlarged: blue 105 to 155
        # The word mark red at 96 dpi, given at 125 % (checks), 175 % (blue) and 250 % (green); the
        # English flag red, given at 125 % (blue) and 200 % (green); the maker's logo (stretched to
        # its control) given at 175 % (checks).
        toml = self.describe([
            (WORD_MARK, WORD_MARK + '\nword_mark_larger = { 250 = "m250.bmp", 125 = "m125.bmp", 175 = "m175.bmp" }'
             '\nmaker_logo = "logo.bmp"\nmaker_logo_larger = { 175 = "logo-175.bmp" }'),
            ("logo.bmp", bmp(171, 86, pixel=lambda x, y: red)), ("logo-175.bmp", bmp(299, 151, pixel=checks)),
            ('flag = "united-states"', 'flag = "flag.bmp"\nflag_larger = { 125 = "flag-125.bmp", 200 = "f200.bmp" }'),
            ("wordmark.bmp", bmp(133, 28, pixel=lambda x, y: red)), ("m125.bmp", bmp(166, 35, pixel=checks)),
            ("m175.bmp", bmp(233, 49, pixel=lambda x, y: blue)), ("m250.bmp", bmp(333, 70, pixel=lambda x, y: green)),
            ("flag.bmp", bmp(41, 28, pixel=lambda x, y: red)), ("flag-125.bmp", bmp(51, 35, pixel=lambda x, y: blue)),
            ("f200.bmp", bmp(82, 56, pixel=lambda x, y: green, top_down=True))])
        out, art, run = self.drawn(toml)
        self.assertIn("125 % given, 150 % reduced from 175 %, 175 % given, 200 % reduced from 250 %", run.stdout)
        with open(os.path.join(out, "product.cmake"), encoding="utf-8") as f:
            inputs = next(line for line in f if line.startswith("set(VELBROOK_PRODUCT_INPUTS"))
        for name in ("m125.bmp", "m175.bmp", "m250.bmp", "logo-175.bmp", "flag-125.bmp", "f200.bmp"):
            self.assertIn(f"/{name}\"", inputs, "a change to it must make the pictures again")

        def made_from(pixel):
            return {red: 100, blue: 175, green: 250}.get(pixel) or (125 if pixel[:2] == (0, 0) else pixel)
        for dpi, mark, flag_from in ((120, 125, 125), (144, 175, 200), (168, 175, 200), (192, 250, 200),
                                     (240, 250, 200), (288, 250, 200)):
            with self.subTest(dpi=dpi):
                mark_picture = Frame.read(os.path.join(art, str(dpi), "Image1.png"))
                self.assertEqual(made_from(mark_picture.pixel(mark_picture.width // 2, mark_picture.height // 2)), mark)
                scale = lambda v: int(v * dpi / 96 + 0.5)
                face = Frame.read(os.path.join(art, str(dpi), "CountryImage3.png"))
                self.assertEqual({blue: 125, green: 200, red: 100}.get(face.pixel(scale(12 + 20), scale(5 + 14))),
                                 flag_from)
                # At the flag's size there, whichever it was made from.
                self.assertNotIn(face.pixel(scale(12) + scale(41) + 1, scale(5 + 14)), (blue, green, red))
                self.assertNotIn(face.pixel(scale(12 + 20), scale(5) + scale(28) + 1), (blue, green, red))
        # Given for its very scale, a picture is shown as it is, pixel for pixel, to the pixel that its
        # control there may be larger or smaller by.
        for dpi, name, size in ((120, "Image1", (166, 35)), (168, "Image2", (299, 151))):
            given = Frame.read(os.path.join(art, str(dpi), f"{name}.png"))
            wrong = next(((x, y) for y in range(given.height) for x in range(given.width)
                          if given.pixel(x, y) != checks(min(x, size[0] - 1), min(y, size[1] - 1))), None)
            self.assertIsNone(wrong, f"{name} at {dpi} dpi differs from the picture given")

    def test_the_icons_other_sizes_are_images_of_the_file_icons_group_after_its_own(self):
        images = [(16, 8), (256, "png"), (48, 32), (48, 8)]  # one size may come in two depths
        sizes = ico(*images)
        toml = self.describe([ICON_SIZES, ("sizes.ico", sizes)])
        out, art, _ = self.drawn(toml)
        with open(os.path.join(art, "FileIcon.group"), "rb") as f:
            group = f.read()
        with open(os.path.join(out, "menu.rc"), encoding="utf-8") as f:
            rc = f.read()
        with open(os.path.join(out, "product.cmake"), encoding="utf-8") as f:
            listed = f.read()
        count = 1 + len(images)  # the icon's own image first
        self.assertEqual(group[:20], struct.pack("<HHHBBBBHHIH", 0, 1, count, 32, 32, 16, 0, 1, 4, 744, 30001))
        self.assertEqual(len(group), 6 + 14 * count)
        for n, (_, bits) in enumerate(images, 1):
            with self.subTest(image=n):
                size, at = struct.unpack_from("<II", sizes, 6 + 16 * (n - 1) + 8)
                entry = sizes[6 + 16 * (n - 1):18 + 16 * (n - 1)]
                depth = 32 if bits == "png" else bits
                self.assertEqual(group[6 + 14 * n:20 + 14 * n], entry[:4] + struct.pack("<HH", 1, depth)
                                 + entry[8:] + struct.pack("<H", 30001 + n))
                with open(os.path.join(art, f"Icon{n}.icon"), "rb") as f:
                    self.assertEqual(f.read(), sizes[at:at + size])
                self.assertIn(f'{30001 + n} 3 "art/Icon{n}.icon"', rc)
                self.assertIn(f"Icon{n}.icon", listed)
        self.assertNotIn(f"Icon{count}.icon", rc + listed)
        self.assertIn('/sizes.ico"', next(line for line in listed.splitlines() if "PRODUCT_INPUTS" in line))

    def test_the_vendors_guide_lists_every_key_as_it_is_declared(self):
        with open(GUIDE, encoding="utf-8") as f:
            text = f.read()
        self.assertIn(keys.GUIDE_START, text)
        listed = text[text.index(keys.GUIDE_START):text.index(keys.GUIDE_END) + len(keys.GUIDE_END)]
        self.assertEqual(listed, keys.guide(design.Design.load(DESIGN)),
                         "write the guide's keys again: PYTHONPATH=tools python3 -m menubuild.product.keys "
                         "docs/vendor-guide.md")

    def test_the_model_reads_back_from_product_json_as_it_was_read_from_the_description(self):
        for product in ("velbrook", "tarnwick", "halsmere"):
            with self.subTest(product):
                toml = os.path.join(SOURCES, "products", product, "product.toml")
                out = os.path.join(self.work, product)
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 0, run.stderr)
                fonts = scripts.Fonts(scripts.load(SCRIPTS), FONT_FOLDER, scripts.load_forms(SCRIPTS))
                read = model.load(model.Checker(toml, design.Design.load(DESIGN), fonts, Font(HEADING_FONT)))
                self.assertEqual(Product.from_json(os.path.join(out, "product.json")), read)

    def test_words_in_any_script_are_drawn_in_the_fonts_the_list_names(self):
        # Mixed directions on a shown row, Thai on the hidden one: the fonts the checker
        # chose for each character are those the art generator draws them in.
        toml = self.describe([('words = "English"', 'words = "\u0641\u0627\u0631\u0633\u06cc (Persian)"'),
                              ('words = "\u65e5\u672c\u8a9e"', 'words = "\u0e44\u0e17\u0e22 (Thai) 2"')])
        out, _, run = self.drawn(toml)
        with open(os.path.join(out, "art.list"), encoding="utf-8") as f:
            fonts = [line.split("\t")[1:] for line in f if line.startswith("font\t")]
        self.assertEqual([(tag, os.path.basename(source)) for tag, _, source in fonts],
                         [("script=Latn", "LiberationSans-Bold.ttf\n"), ("script=Hani", "wqy-zenhei.ttc\n"),
                          ("script=Arab", "NotoSansArabic-Bold.ttf\n"), ("script=Thai", "NotoSansThai-Bold.ttf\n")])
        self.assertIn("the words of English (code 3) are drawn in NotoSansArabic-Bold.ttf, LiberationSans-Bold.ttf",
                      run.stdout)
        self.assertIn("the words of Japanese (code 7) are drawn in NotoSansThai-Bold.ttf, LiberationSans-Bold.ttf",
                      run.stdout)

    def test_a_languages_own_font_and_glyph_forms_draw_its_words(self):
        # 骨 in simplified forms on a shown row and in traditional ones on the next, hidden (rows
        # every product's layout has, so that the build's generator draws them at 192 dpi too):
        # the two faces' words differ; English in a serif font of its own, which the build is made from,
        # in a file whose name has a blank, a letter the contact sheet's font has and one it lacks.
        bone, serif = "\u9aa8", "S\u00e9rif \u5b57.ttf"
        toml = self.describe([own_font(serif), (serif, SERIF),
                              (glyph_forms("zh-Hans")[0], f'words = "{bone}"\nglyph_forms = "zh-Hans"'),
                              ('words = "\u7c21\u4f53\u4e2d\u56fd\u8a9e"', f'words = "{bone}"\nglyph_forms = "zh-Hant"\nshown = false')])
        out, art, run = self.drawn(toml)
        self.assertIn(f"the words of English (code 3) are drawn in {serif}\n", run.stdout)
        for code, name, face, tag in ((1, "Traditional Chinese", 2, "zh-Hans"), (2, "Simplified Chinese", 3, "zh-Hant")):
            self.assertIn(f"the words of {name} (code {code}) are drawn in NotoSansCJK-Bold.ttc (face {face}, "
                          f"glyph forms {tag})", run.stdout)
        with open(os.path.join(out, "product.cmake"), encoding="utf-8") as f:
            made_from = {line.split()[0]: line for line in f}
        self.assertIn(f'/{serif}"', made_from["set(VELBROOK_PRODUCT_INPUTS"], "a change to it must redraw")
        self.assertIn('/opentype/noto/NotoSansCJK-Bold.ttc"', made_from["set(VELBROOK_FONTS"])
        facts = DESIGN_FACTS.face
        for picture in ("CountryImage{}.bmp", os.path.join("192", "CountryImage{}.png")):
            scale = 2 if picture.startswith("192") else 1
            simplified, traditional = (Frame.read(os.path.join(art, picture.format(code))) for code in (1, 2))
            differ = sum(simplified.pixel(x, y) != traditional.pixel(x, y) for y in range(simplified.height)
                         for x in range(facts.cjk.words_left * scale, simplified.width))
            with self.subTest(picture):
                self.assertGreater(differ, 0, "one form of the bone in both regions' faces")

    def test_the_written_headers_compile_and_hold_the_captions_as_given(self):
        compiler = shutil.which("c++")
        if not compiler:
            self.skipTest("no C++ compiler")
        caption = 'Windows "11" \\ \u00e9'  # what a C++ literal must escape, and a letter beyond ASCII
        for rows in ((), ((6, 1, 0, "Windows 7"), (10, 0, 22000, caption))):
            with self.subTest(captions=len(rows)):
                escaped = [(major, minor, build, text.replace("\\", "\\\\").replace('"', '\\"'))
                           for major, minor, build, text in rows]
                toml = self.describe([os_captions(*escaped)] if rows else [])
                out = os.path.join(self.work, "out")
                shutil.rmtree(out, ignore_errors=True)
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 0, run.stderr)
                checks = "".join(
                    f"static_assert(product::kOsCaptions[{i}].major == {major} && product::kOsCaptions[{i}].minor == "
                    f"{minor} && product::kOsCaptions[{i}].build == {build});\n"
                    f"static_assert(Same(product::kOsCaptions[{i}].caption, "
                    f"{{{', '.join(str(ord(c)) for c in text)}, 0}}));\n"
                    for i, (major, minor, build, text) in enumerate(rows))
                source = os.path.join(out, "check.cpp")
                with open(source, "w", encoding="utf-8") as f:
                    f.write('#include "product.h"\n#include "design.h"\n#include <initializer_list>\n'
                            "constexpr bool Same(const wchar_t* a, std::initializer_list<int> b) {\n"
                            "    for (int c : b) if (*a++ != c) return false;\n    return true;\n}\n"
                            f"static_assert(product::kOsCaptions.size() == {len(rows)});\n{checks}")
                run = subprocess.run([compiler, "-std=c++20", "-fsyntax-only", f"-I{out}", source],
                                     capture_output=True, text=True)
                self.assertEqual(run.returncode, 0, run.stderr)
        # The resource compiler reads design.h's ids and none of its C++.
        run = subprocess.run([compiler, "-E", "-P", "-x", "c", "-DRC_INVOKED", f"-I{out}", "-"],
                             input='#include "design.h"\nIDB_IMAGE2 BITMAP\n', capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(run.stdout.split(), [str(design.Design.load(DESIGN).picture("image2").id), "BITMAP"])

    def test_the_build_stops_at_configure_time(self):
        # The second: the product folder's path reaches the description's reader whole.
        for change, message in ((CASES[0][1], "[product], key 'colour': unknown key"),
                                ((PRODUCT_FOLDER, "kestrin;velbrook"), "the product folder's path holds ';'")):
            with self.subTest(message):
                toml = self.describe([change])
                build = os.path.join(self.work, "build")
                shutil.rmtree(build, ignore_errors=True)
                run = subprocess.run(["cmake", "-S", SOURCES, "-B", build, "-G", "Ninja",
                                      f"-DVELBROOK_PRODUCT={os.path.dirname(toml)}"], capture_output=True, text=True)
                self.assertNotEqual(run.returncode, 0)
                self.assertIn(message, " ".join(run.stderr.split()))
                self.assertFalse(os.path.exists(os.path.join(build, "generated", "product", "product.h")))


if __name__ == "__main__":
    unittest.main()
