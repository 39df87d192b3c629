"""Bad product descriptions are refused before anything is written, with a
message that names the file, the key and what is wrong; what a good one
writes reads back as it was meant, pictures and manifest."""

import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zlib

SOURCES = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(SOURCES, "tools", "product"))
import design  # noqa: E402  (the tools' own modules, beside product.py)
import model  # noqa: E402
from render import Font  # noqa: E402
PRODUCT = os.path.join(SOURCES, "tools", "product", "product.py")
DEFAULT = os.path.join(SOURCES, "products", "velbrook")
DESIGN = os.path.join(SOURCES, "src", "resources", "design.toml")
FONTS = ["--latin-font", "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
         "--cjk-font", "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc",
         "--heading-font", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"]


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


def icon(bits, gap=0):
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, bits, 0, 0, 0, 0, 0, 0) + b"\0" * (32 * 32 * bits // 8 + 128)
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, 32, 32, 0, 0, 1, bits, len(image), 22 + gap) + b"\0" * gap + image


def ico(*images):
    """An icon file of `images`, each (size, bits) of a bitmap, (size, bits, drawn size) of a
    bitmap whose entry names another size, or (size, "png"); a size is a side or (width, height)."""
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
    entries, at = b"", 6 + 16 * len(images)
    for (size, bits, *_), image in zip(images, data):
        # Planes and bits left 0, as icon editors often leave them: the group takes the image's.
        width, height = pair(size)
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 0, 0, len(image), at)
        at += len(image)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(data)


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
    return [(size, bits) for size in model.ICON_SIZES for bits in model.ICON_DEPTHS if (size, bits) != (32, 4)][:count]


PRODUCT_FOLDER = "the product folder's name"
WORD_MARK = 'word_mark = "wordmark.bmp"'
ICON_SIZES = ('icon = "icon.ico"', 'icon = "icon.ico"\nicon_sizes = "sizes.ico"')
CAPTION = 'caption = "Kestrin USB 2.0 Velbrook Cable"'
HEADING = ('# heading = "..."', 'heading = "Velbrook"')  # so that the caption alone is judged
# Captions exactly as wide as the caption bar's room (700 pixels), and one pixel wider, as the judge measures.
CAPTION_AT_LIMIT = "Kestrin USB 2.0 Velbrook Cable" + " and its Case" * 7 + " Pack"
CAPTION_PAST_LIMIT = "Kestrin USB 2.0 Velbrook Cable" + " and its Case" * 7 + " Bags"
NO_SINGLE_INSTANCE = ("single_instance = ", "# single_instance = ")  # a name made for the product instead
SHORT_VOLUME_LABEL = ('# volume_label = "VELBROOK"', 'volume_label = "VB"')  # room on the disc's label for a version
# Japanese shown, and eight more: two full columns, with the highest code.
TWELVE_SHOWN = ('shown = false', 'shown = true' + "".join(language(f"Language {code}", f"lang{code}", code)
                                                          for code in (4, 5, 6, 8, 9, 10, 11, 99)))

# (what, the change to the default description, what the message must say). A change is
# (old text, new text) in product.toml, (file, bytes) for a file beside it, or
# (PRODUCT_FOLDER, name).
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
    ("more shown rows than fit", (TWELVE_SHOWN[0], TWELVE_SHOWN[1] + language("Norsk", "no", 12)),
     "key 'shown': 13 languages are shown; 12 fit, in 2 columns of 6 rows"),
    ("a character no font draws", ('words = "English"', 'words = "English \u2603"'),
     "(English), key 'words': WenQuanYi Zen Hei", "'\u2603' (U+2603)"),
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
    ("an icon whose image does not follow its directory", ("icon.ico", icon(4, gap=8)),
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
    ("words wider than a face", ('words = "English"', 'words = "English English English English English"'),
     "(English), key 'words':", "a face has room for 179"),
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
]


def flag(x, y):
    """A flag whose parts tell up from down and left from right: black and red over white."""
    return (255, 255, 255) if y >= 14 else (0, 0, 0) if x < 20 else (200, 0, 0)


def face_pixel(path, x, y):
    """A pixel (r, g, b) of a face as the art generator stores it: bottom row first, 24 bits or
    8 with the palette after a 40-byte header."""
    with open(path, "rb") as f:
        data = f.read()
    (offset,), (width, height), bits = struct.unpack_from("<I", data, 10), struct.unpack_from("<ii", data, 18), data[28]
    at = offset + ((width * bits // 8 + 3) & ~3) * (height - 1 - y) + x * bits // 8
    if bits == 8:
        at = 54 + 4 * data[at]
    return tuple(data[at:at + 3][::-1])


def png_pixels(path):
    """A PNG the art generator wrote (8-bit RGB or palette, not interlaced): its width and
    its pixels (r, g, b), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    chunks, at = {}, 8
    while at < len(data):
        (length,), kind = struct.unpack_from(">I", data, at), data[at + 4:at + 8].decode()
        chunks[kind] = chunks.get(kind, b"") + data[at + 8:at + 8 + length]
        at += 12 + length
    width, height, depth, colour = struct.unpack_from(">IIBB", chunks["IHDR"])
    assert depth == 8 and colour in (2, 3), (depth, colour)
    step = 3 if colour == 2 else 1
    raw, rows, above = zlib.decompress(chunks["IDAT"]), [], bytes(width * step)
    for y in range(height):
        kind, line = raw[y * (width * step + 1)], bytearray(raw[y * (width * step + 1) + 1:(y + 1) * (width * step + 1)])
        for i in range(len(line)):
            a, b = line[i - step] if i >= step else 0, above[i]
            c = above[i - step] if i >= step else 0
            p = a + b - c
            near = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            line[i] = (line[i] + (0, a, b, (a + b) // 2, near)[kind]) & 0xFF
        rows.append(bytes(line))
        above = line
    palette = chunks.get("PLTE", b"")
    pixel = (lambda row, x: tuple(row[3 * x:3 * x + 3])) if colour == 2 else \
        (lambda row, x: tuple(palette[3 * row[x]:3 * row[x] + 3]))
    return width, [[pixel(row, x) for x in range(width)] for row in rows]


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
            if old == PRODUCT_FOLDER:
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

    def run_product(self, toml, out):
        return subprocess.run([sys.executable, PRODUCT, toml, "--out", out, "--templates",
                               os.path.join(SOURCES, "src", "resources"), *FONTS], capture_output=True, text=True)

    def artgen(self, listing, art):
        """The art generator run on the art list `listing`, writing into `art` (the test skips
        where ctest did not name the generator)."""
        artgen = os.environ.get("VELBROOK_ARTGEN")
        if not artgen:
            self.skipTest("VELBROOK_ARTGEN is not set: run through ctest")
        return subprocess.run([artgen, listing, art, os.path.join(art, "sheet.png"), FONTS[1], FONTS[3]],
                              capture_output=True, text=True)

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
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 1, run.stderr)
                self.assertIn(f"{toml}: ", run.stderr)
                for message in messages:
                    self.assertIn(message, run.stderr)
                self.assertFalse(os.path.exists(out), "something was written")

    def test_each_description_right_at_a_limit_is_accepted(self):
        # The captions must lie on the limit as the judge measures them, or their rows test nothing.
        room = design.Design.load(DESIGN).texts.caption
        font = Font(FONTS[5], "Liberation Sans")
        self.assertEqual([font.width(c, room.em) for c in (CAPTION_AT_LIMIT, CAPTION_PAST_LIMIT)],
                         [room.width, room.width + 1])
        for what, *changes in AT_THE_LIMITS:
            with self.subTest(what):
                run = self.run_product(self.describe(changes), os.path.join(self.work, "out"))
                self.assertEqual(run.returncode, 0, run.stderr)

    def test_a_version_is_shown_as_written_and_its_numbers_fill_the_fixed_part(self):
        for version, numbers in (("2.3", (2, 3, 0, 0)), ("1.00", (1, 0, 0, 0)), ("7", (7, 0, 0, 0)),
                                 ("4.2.0.117", (4, 2, 0, 117)), ("65535.0.01", (65535, 0, 1, 0))):
            with self.subTest(version):
                toml = self.describe([('version = "1.00"', f'version = "{version}"'), SHORT_VOLUME_LABEL])
                out = os.path.join(self.work, version)
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 0, run.stderr)
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
                    self.assertEqual(face_pixel(os.path.join(art, f"CountryImage{code}.bmp"), 12 + x, top + y),
                                     flag(x, y))
                    self.assertEqual(face_pixel(os.path.join(art, f"CountryPic{code}.bmp"), 12 + x, top + y), lit)

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
                width, pixels = png_pixels(os.path.join(art, str(dpi), "Image1.png"))
                self.assertEqual(made_from(pixels[len(pixels) // 2][width // 2]), mark)
                scale = lambda v: int(v * dpi / 96 + 0.5)
                _, face = png_pixels(os.path.join(art, str(dpi), "CountryImage3.png"))
                self.assertEqual({blue: 125, green: 200, red: 100}.get(face[scale(5 + 14)][scale(12 + 20)]), flag_from)
                # At the flag's size there, whichever it was made from.
                self.assertNotIn(face[scale(5 + 14)][scale(12) + scale(41) + 1], (blue, green, red))
                self.assertNotIn(face[scale(5) + scale(28) + 1][scale(12 + 20)], (blue, green, red))
        # Given for its very scale, a picture is shown as it is, pixel for pixel, to the pixel that its
        # control there may be larger or smaller by.
        for dpi, name, size in ((120, "Image1", (166, 35)), (168, "Image2", (299, 151))):
            width, pixels = png_pixels(os.path.join(art, str(dpi), f"{name}.png"))
            wrong = next(((x, y) for y, row in enumerate(pixels) for x, pixel in enumerate(row)
                          if pixel != checks(min(x, size[0] - 1), min(y, size[1] - 1))), None)
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

    def test_the_model_reads_back_from_product_json_as_it_was_read_from_the_description(self):
        for product in ("velbrook", "tarnwick"):
            with self.subTest(product):
                toml = os.path.join(SOURCES, "products", product, "product.toml")
                out = os.path.join(self.work, product)
                run = self.run_product(toml, out)
                self.assertEqual(run.returncode, 0, run.stderr)
                fonts = [Font(FONTS[i], name) for i, name in ((1, "Liberation Sans Bold"), (3, "WenQuanYi Zen Hei"),
                                                             (5, "Liberation Sans"))]
                read = model.load(model.Checker(toml, design.Design.load(DESIGN), *fonts))
                self.assertEqual(model.Product.from_json(os.path.join(out, "product.json")), read)

    def test_the_judge_and_the_drawing_agree_on_words_right_at_the_limit(self):
        facts = design.Design.load(DESIGN).face
        for script, font, seed, filler in (("latin", Font(FONTS[1], "Latin"), "English", "ilj.W"),
                                           ("cjk", Font(FONTS[3], "CJK"), "\u65e5\u672c\u8a9e", "\u65e5\u30fbi.")):
            grid, room = getattr(facts, script), facts.room(script)
            # The longest words of the seed and the filler the judge lets through.
            words = seed
            while True:
                longer = next((words + c for c in filler if font.width(words + c, grid.font_size) <= room), None)
                if longer is None:
                    break
                words = longer
            width = font.width(words, grid.font_size)
            with self.subTest(script=script, words=words, width=width):
                self.assertGreaterEqual(width, room - 2, "the words do not reach the limit")
                toml = self.describe([('words = "English"', f'words = "{words}"'),
                                      ("highlighted_bits = 8", "highlighted_bits = 24")])
                _, art, _ = self.drawn(toml)
                # Lit, the face has no shadow and no rule: every column right of the flag that is
                # not the ground is the words' ink, as wide as the judge said.
                lit = os.path.join(art, "CountryPic3.bmp")
                ground = face_pixel(lit, facts.width - 1, 0)
                inked = [x for x in range(facts.flag_left + facts.flag_width + 1, facts.width)
                         if any(face_pixel(lit, x, y) != ground for y in range(facts.height))]
                self.assertEqual((inked[0], inked[-1] - inked[0] + 1), (grid.words_left, width))
                # Normal, the shadow too ends inside the room.
                normal = os.path.join(art, "CountryImage3.bmp")
                ground = face_pixel(normal, facts.width - 1, 0)
                self.assertFalse([x for x in range(facts.words_right, facts.width) for y in range(facts.height)
                                  if face_pixel(normal, x, y) != ground and y != grid.rule_row])
                # One letter more is refused.
                wider = next(words + c for c in filler if font.width(words + c, grid.font_size) > room)
                toml = self.describe([('words = "English"', f'words = "{wider}"')])
                run = self.run_product(toml, os.path.join(self.work, "refused"))
                self.assertEqual(run.returncode, 1)
                self.assertIn(f"a face has room for {room}", run.stderr)

    def test_the_art_generator_reads_only_lines_whose_fields_are_their_kinds(self):
        for line, message in (("draw\tImage4.bmp", "has a field Image4.bmp"),
                              ("logo\tfile=Image2.bmp", "lacks the field words"),
                              ("copy\tfile=a.bmp\tsource=b.bmp\tfile=c.bmp", "has a field file"),
                              ("face\tcode=x\tscript=latin\tflag=built-in:japan\thighlighted_bits=24\twords=A",
                               "the field code"),
                              ("paint\tfile=Image4.bmp", "no kind paint")):
            with self.subTest(line):
                listing = os.path.join(self.work, "art.list")
                with open(listing, "w", encoding="utf-8") as f:
                    f.write(line + "\n")
                run = self.artgen(listing, self.work)
                self.assertEqual(run.returncode, 1)
                self.assertIn(message, run.stderr)

    def test_the_logo_shows_its_words_inside_its_box(self):
        drawn = design.Design.load(DESIGN).drawn
        listing = os.path.join(self.work, "art.list")
        with open(listing, "w", encoding="utf-8") as f:
            f.write("logo\tfile=a.bmp\twords=KESTRIN\nlogo\tfile=b.bmp\twords=ACME\n")
        run = self.artgen(listing, self.work)
        self.assertEqual(run.returncode, 0, run.stderr)
        logos = []
        for name in ("a.bmp", "b.bmp"):
            path = os.path.join(self.work, name)
            ground = face_pixel(path, 0, 0)
            ink = {(x, y) for x in range(171) for y in range(86) if face_pixel(path, x, y) != ground}
            box = {(x, y) for x in range(drawn.logo_left, drawn.logo_left + drawn.logo_width)
                   for y in range(drawn.logo_top, drawn.logo_top + drawn.logo_height)}
            rule = {(x, drawn.logo_rule_top + y) for x in range(drawn.logo_left, drawn.logo_left + drawn.logo_width)
                    for y in range(drawn.logo_rule_height)}
            self.assertEqual(ink - box, rule, name)
            logos.append(ink)
        self.assertNotEqual(logos[0], logos[1], "the two names drew one logo")

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
