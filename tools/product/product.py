"""Reads a product's description, checks it, and writes what the build makes
the menu, its pictures and its medium from.

    product.py DESCRIPTION --out FOLDER --templates FOLDER --latin-font FILE --cjk-font FILE --heading-font FILE

DESCRIPTION is the product.toml of a product folder (see products/velbrook).
Everything is checked before anything is written: a bad description stops
with one message naming the file, the key and what is wrong, and the folder
is left as it was. FOLDER then holds:

    product.h       the texts and the language table, for the menu's code
    menu.rc         the resource script, from the template menu.rc.in
    menu.manifest   the manifest, from the template menu.manifest.in
    art.list        what the art generator draws or copies, one picture a line
    product.json    the same facts for the medium's staging and the tests
    product.cmake   the names the build needs, and the files it is made from
"""

import argparse
import json
import os
import re
import struct
import sys
import tomllib
import unicodedata
import zlib

from fonts import Font

# The keys of each table: True where required.
PRODUCT_KEYS = {"caption": True, "version": True, "company": True, "name": True, "executable": True,
                "heading": False, "description": False, "single_instance": False, "volume_label": False,
                "release_name": False}
PICTURE_KEYS = {"word_mark": True, "icon": True, "prompt": False, "exit_button": False, "exit_picture": False,
                "maker_logo": False}
LANGUAGE_KEYS = {"name": True, "words": True, "flag": False, "folder": True, "code": False, "program": False,
                 "shown": False, "normal_face": False, "highlighted_face": False, "highlighted_bits": False,
                 "product_name": False, "exit_question": False}

# The flags the art generator draws itself.
BUILT_IN_FLAGS = ("taiwan", "china", "united-states", "japan")

# Pictures a file may stand for: (width, height, allowed bits per pixel, the file it becomes).
PICTURES = {"word_mark": (133, 28, (24,), "Image1.bmp"), "prompt": (201, 61, (24,), "Image4.bmp"),
            "exit_button": (201, 61, (24,), "Command1.bmp"), "exit_picture": (201, 61, (24,), "Image3.bmp"),
            "maker_logo": (171, 86, (24,), "Image2.bmp")}
FACE = (245, 45, (24, 8))
FLAG = (41, 28, (24, 8))
DRAWN = ("Image4.bmp", "Image3.bmp", "Command1.bmp", "Image2.bmp", "Picture1.bmp", "Hand.cur")

# Rows on the window: 48 pixels apart from y = 136, the last one ending above the exit button at y = 432.
MAX_SHOWN_ROWS = 6
# Texts and where they must fit, in pixels at 96 dpi: the heading is Label1 (24 point), the
# caption the title bar (the system's caption font, about 12 pixels; icon and close box beside it).
HEADING_WIDTH, HEADING_EM = 729, 32
CAPTION_WIDTH, CAPTION_EM = 700, 12
# The words on a face: drawn from x = 60 (62 for Latin words) up to where the rule ends, x = 241.
WORDS_WIDTH, WORDS_EM = 179, 12.25

# Characters Windows forbids in file names, and ';', which a disc's Joliet names cannot hold.
FORBIDDEN = set('<>:"/\\|?*;')
RESERVED = ({"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}
            | {f"{device}{n}" for device in ("COM", "LPT") for n in "123456789\u00b9\u00b2\u00b3"})
JOLIET_NAME = 64  # characters of a name on the disc
# The disc's publisher field holds the company, its application field "<name> <version>":
# 128 bytes each, counted in UTF-8 (xorriso refuses more).
DISC_FIELD = 128
LONGEST_TEXT = 200
# What lies at the medium's root beside the language folders (the menu's own name is the other).
AUTORUN = "AUTORUN.INF"
# The sizes of the information headers Windows reads a BMP by (BITMAPINFOHEADER to BITMAPV5HEADER).
BMP_HEADERS = (40, 52, 56, 108, 124)
# Letters that show nothing, though they are no format characters.
BLANK_LETTERS = set("\u115f\u1160\u3164\uffa0\u2800")
# Names Windows takes for installers, which it would run elevated without their manifest.
INSTALLER_WORDS = ("setup", "install", "update", "patch")


class BadDescription(Exception):
    pass


def hidden(c):
    """A character that shows nothing or turns the writing direction: zero-width ones, bidi controls."""
    return unicodedata.category(c) == "Cf" or c in BLANK_LETTERS


def noncharacter(c):
    # U+FDD0..U+FDEF and the last two of each plane: no XML file (the manifest) may hold them.
    return 0xFDD0 <= ord(c) <= 0xFDEF or ord(c) & 0xFFFE == 0xFFFE


def windows_fold(name):
    """A name as Windows compares names: each character upper-cased on its own, one for one,
    as its upcase table does. lower() would keep a final sigma apart from the other sigma
    (Windows takes both for one), and upper() of the whole text would make two letters of one
    (ß becomes SS, a name Windows keeps apart)."""
    return "".join(c.upper() if len(c.upper()) == 1 else c for c in name)


class Checker:
    """Where a value comes from, for messages that name the file and the key."""

    def __init__(self, path):
        self.path = path
        self.folder = os.path.dirname(os.path.abspath(path))

    def fail(self, where, key, what):
        place = f"{where}, key '{key}'" if key else where
        raise BadDescription(f"{self.path}: {place}: {what}")

    def keys(self, table, allowed, where):
        if not isinstance(table, dict):
            self.fail(where, None, "is not a table")
        for key in table:
            if key not in allowed:
                self.fail(where, key, f"unknown key (known: {', '.join(sorted(allowed))})")
        for key, required in allowed.items():
            if required and key not in table:
                self.fail(where, key, "missing")

    def text(self, table, key, where, default=None):
        value = table.get(key, default)
        if not isinstance(value, str):
            self.fail(where, key, f"must be a text in quotes, not {value!r}")
        if not value:
            self.fail(where, key, "is empty")
        if len(value) > LONGEST_TEXT:
            self.fail(where, key, f"is {len(value)} characters long; {LONGEST_TEXT} is the most")
        bad = next((c for c in value if ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0), None)
        if bad is not None:
            self.fail(where, key, f"holds the control character U+{ord(bad):04X}")
        bad = next((c for c in value if noncharacter(c)), None)
        if bad is not None:
            self.fail(where, key, f"holds U+{ord(bad):04X}, a noncharacter, which the menu's manifest cannot carry "
                      "(Windows would not start the menu)")
        bad = next((c for c in value if c in "\u2028\u2029"), None)
        if bad is not None:
            self.fail(where, key, f"holds the {'line' if bad == chr(0x2028) else 'paragraph'} separator "
                      f"U+{ord(bad):04X}, which breaks the text where it is shown or read")
        if all(c.isspace() or hidden(c) for c in value):
            self.fail(where, key, f"{value!r} shows nothing")
        return value

    def file_name(self, table, key, where, default=None):
        """A single file or folder name, as Windows takes it on a disc."""
        name = self.text(table, key, where, default)
        for bad, why in (("\\", "a backslash"), ("/", "a slash"), ("..", "'..'")):
            if bad in name:
                self.fail(where, key, f"{name!r} contains {why}: give one name, not a path")
        if re.match(r"^[A-Za-z]:", name):
            self.fail(where, key, f"{name!r} names a drive: give one name, not a path")
        invisible = next((c for c in name if hidden(c)), None)
        if invisible:
            self.fail(where, key, f"{name!r} holds U+{ord(invisible):04X} ({unicodedata.name(invisible, 'unnamed')}), "
                      "which shows nothing or turns the writing direction: a name must read as it is")
        forbidden = next((c for c in name if c in FORBIDDEN), None)
        if forbidden:
            self.fail(where, key, f"{name!r} contains '{forbidden}', which Windows forbids in file names")
        if name.split(".")[0].rstrip(" ").upper() in RESERVED:
            self.fail(where, key, f"{name!r} is a device name on Windows")
        if len(name) > JOLIET_NAME or any(ord(c) > 0xFFFF for c in name):
            self.fail(where, key, f"{name!r} cannot be named on a disc: at most {JOLIET_NAME} characters, "
                      "none beyond U+FFFF")
        if name[-1] in ". ":
            self.fail(where, key, f"{name!r} ends in a dot or a blank, which Windows drops")
        return name

    def file(self, table, key, where):
        """A file beside the description: its path and its bytes."""
        name = self.text(table, key, where)
        cmake = next((c for c in name if c in "$;"), None)
        if cmake:
            # The build is told of each file the product is made from, and CMake reads
            # '$' as the start of a variable and ';' as the end of a list's item.
            self.fail(where, key, f"{name!r} holds '{cmake}', which the build cannot carry in a file's name")
        path = os.path.join(self.folder, name)
        # The product's folder is what a vendor commits and a release is rebuilt from:
        # a file elsewhere (../, an absolute path, a link out of it) would not be in it.
        home = os.path.realpath(self.folder)
        if os.path.commonpath([os.path.realpath(path), home]) != home:
            self.fail(where, key, f"{name!r} lies outside the product's folder {self.folder}, which a release "
                      "is made from: put the file in it")
        try:
            with open(path, "rb") as f:
                return path, f.read()
        except OSError as e:
            self.fail(where, key, f"cannot read {path}: {e.strerror}")

    def picture(self, table, key, where, size, top_down=False):
        """A BMP file beside the description: its path, once its size, depth and headers are
        right. `top_down`: it may be stored top row first (a flag, which is redrawn; a picture
        that is embedded as it is must be stored bottom row first)."""
        width, height, depths = size
        path, data = self.file(table, key, where)
        if len(data) < 54 or data[:2] != b"BM" or struct.unpack_from("<I", data, 14)[0] < 40:
            self.fail(where, key, f"{path} is not a BMP picture")
        offset, header = struct.unpack_from("<II", data, 10)
        if header not in BMP_HEADERS:
            self.fail(where, key, f"{path} has an information header of {header} bytes, which is no BMP's "
                      f"({', '.join(map(str, BMP_HEADERS))})")
        w, h, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
        if (w, h) != (width, height) and not (top_down and (w, -h) == (width, height)):
            self.fail(where, key, f"{path} is {w} x {abs(h)} pixels; it must be {width} x {height}"
                      + (" stored bottom row first" if (w, -h) == (width, height) else ""))
        if bits not in depths or compression != 0 or planes != 1:
            wanted = " or ".join(f"{d}-bit" for d in depths)
            self.fail(where, key, f"{path} has {bits} bits per pixel{' compressed' if compression else ''}; "
                      f"it must be {wanted} and uncompressed")
        colours = struct.unpack_from("<I", data, 46)[0] or (256 if bits == 8 else 0)
        if bits == 8 and colours > 256:
            self.fail(where, key, f"{path} names {colours} colours; an 8-bit picture has at most 256")
        # Windows takes the pixels from right after the header and the palette, whatever the
        # file's own offset says; the art generator and the contact sheet from that offset.
        if offset != 14 + header + 4 * colours:
            self.fail(where, key, f"{path} says its pixels start at byte {offset}, but its {header}-byte header "
                      f"and {colours} colours end at byte {14 + header + 4 * colours}, where Windows takes them "
                      "from: the menu would show another picture than the build reads")
        stride = (w * bits // 8 + 3) & ~3
        if offset + stride * abs(h) > len(data):
            self.fail(where, key, f"{path} is cut short")
        if bits == 8:
            used = max(max(data[offset + row * stride:offset + row * stride + w]) for row in range(abs(h)))
            if used >= colours:
                self.fail(where, key, f"{path} uses colour {used} of a palette of {colours}")
        return path

    def icon(self, table, key, where):
        path, data = self.file(table, key, where)
        if len(data) < 22 or struct.unpack_from("<HHH", data) != (0, 1, 1):
            self.fail(where, key, f"{path} is not an icon file with one image")
        width, height, colours = data[6], data[7], data[8]
        planes, bits, size, at = struct.unpack_from("<HHII", data, 10)
        if at < 22 or at + 40 > len(data):
            self.fail(where, key, f"{path} is not an icon file with one image")
        header = struct.unpack_from("<IiiHH", data, at)
        # The build embeds what follows the directory as the image: it must be the one the directory names.
        if at != 22 or header[0] != 40 or header[3] != 1 or planes not in (0, 1) or bits not in (0, header[4]):
            self.fail(where, key, f"{path}: its image does not follow its directory (the directory names a "
                      f"{bits or header[4]}-bit image at byte {at}; the image there has a {header[0]}-byte header "
                      f"and {header[4]} bits per pixel): it must start at byte 22")
        if (width, height) != (32, 32) or header[1:3] != (32, 64):
            self.fail(where, key, f"{path} is {width or 256} x {height or 256} pixels; it must be 32 x 32")
        if colours != 16 or header[4] != 4 or size != 744 or at + size != len(data):
            self.fail(where, key, f"{path} has {header[4]} bits per pixel; it must be a 16-colour (4-bit) image")
        return path


def c_text(text):
    """A wide C++ string literal."""
    out = []
    for c in text:
        if c in '"\\':
            out.append("\\" + c)
        elif ord(c) < 0x80:
            out.append(c)
        else:
            out.append(f"\\u{ord(c):04X}" if ord(c) <= 0xFFFF else f"\\U{ord(c):08X}")
    return 'L"' + "".join(out) + '"'


def rc_text(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '""') + '"'


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def drawing(check, language, where, words, latin, cjk):
    """What the art generator draws a language's faces with: the script of its
    words, its flag, and the depth of its highlighted face."""
    backwards = next((c for c in words if unicodedata.bidirectional(c) in ("R", "AL")), None)
    if backwards:
        check.fail(where, "words", f"{backwards!r} (U+{ord(backwards):04X}) is written right to left, and the "
                   "pictures' words are drawn left to right: give both faces (normal_face, highlighted_face)")
    script = "latin" if latin.missing(words) is None else "cjk"
    font = latin if script == "latin" else cjk
    missing = font.missing(words)
    if missing is not None:
        check.fail(where, "words", f"{font.name}, the font for its script, cannot draw "
                   f"{missing!r} (U+{ord(missing):04X})")
    if font.width(words, WORDS_EM) > WORDS_WIDTH:
        check.fail(where, "words", f"{words!r} is about {font.width(words, WORDS_EM):.0f} pixels wide; "
                   f"a face has room for {WORDS_WIDTH}")
    if "flag" not in language:
        check.fail(where, "flag", "missing (only a language with both faces given needs none)")
    flag = check.text(language, "flag", where)
    if flag in BUILT_IN_FLAGS:
        flag = "built-in:" + flag
    elif flag.lower().endswith(".bmp"):
        flag = "file:" + check.picture(language, "flag", where, FLAG, top_down=True)
    else:
        check.fail(where, "flag", f"{flag!r} is neither a flag the build draws ({', '.join(BUILT_IN_FLAGS)}) "
                   "nor a .bmp file")
    bits = language.get("highlighted_bits", 24)
    if bits not in (8, 24):
        check.fail(where, "highlighted_bits", f"{bits!r} must be 8 or 24")
    return script, flag, bits


def load(path, latin, cjk, heading_font):
    """The product as a dictionary, every value checked and every default filled in."""
    check = Checker(path)
    cmake = next((c for c in check.folder if c in "$;"), None)
    if cmake:
        raise BadDescription(f"{path}: the product folder's path holds '{cmake}', which the build (CMake) cannot "
                             "carry in the names of the files it is made from: move or rename the folder")
    try:
        with open(path, "rb") as f:
            raw = f.read()
        # As an editor on Windows may save it: with a byte-order mark, or in UTF-16.
        text = raw.decode("utf-16") if raw.startswith((b"\xff\xfe", b"\xfe\xff")) else raw.decode("utf-8-sig")
        description = tomllib.loads(text)
    except OSError as e:
        raise BadDescription(f"{path}: cannot read it: {e.strerror}") from None
    except UnicodeDecodeError as e:
        raise BadDescription(f"{path}: not UTF-8 text (byte {e.start}): save it as UTF-8") from None
    except tomllib.TOMLDecodeError as e:
        raise BadDescription(f"{path}: not TOML: {e}") from None
    check.keys(description, {"product": True, "pictures": True, "language": True}, "the file")

    product = description["product"]
    check.keys(product, PRODUCT_KEYS, "[product]")
    where = "[product]"
    caption = check.text(product, "caption", where)
    heading = check.text(product, "heading", where, caption)
    version = check.text(product, "version", where)
    if not re.fullmatch(r"[0-9]{1,4}\.[0-9]{2}", version):  # not \d: that takes any script's digits
        check.fail(where, "version", f"{version!r} is not major.minor with two digits for the minor, like 1.00")
    company = check.text(product, "company", where)
    name = check.text(product, "name", where)
    executable = check.file_name(product, "executable", where)
    if "$" in executable:
        check.fail(where, "executable", f"{executable!r} holds '$': CMake, which builds the menu by this name, "
                   "would read a variable there")
    stem, extension = os.path.splitext(executable)
    if extension.lower() != ".exe" or not stem:
        check.fail(where, "executable", f"{executable!r} must be a name ending in .exe")
    if " " in executable:
        check.fail(where, "executable", f"{executable!r} holds a blank: AutoRun would start its first word")
    if any(word in executable.lower() for word in INSTALLER_WORDS):
        check.fail(where, "executable", f"{executable!r} holds one of {', '.join(INSTALLER_WORDS)}: Windows would "
                   "take the menu for an installer")
    fingerprint = zlib.crc32(f"{company}\n{stem}\n{caption}".encode("utf-8"))
    default_instance = "Local\\" + re.sub(r"[^A-Za-z0-9]", "", company) + f".{stem}.Menu.{fingerprint:08X}"
    single_instance = check.text(product, "single_instance", where, default_instance)
    if not re.fullmatch(r"(Local|Global)\\[^\\]{1,200}", single_instance):
        check.fail(where, "single_instance", f"{single_instance!r} must be Local\\<name> or Global\\<name>")
    if stem.lower() not in single_instance.lower():
        # A copy of another product's description would keep that product's name, and
        # each menu would then refuse to start while the other runs.
        check.fail(where, "single_instance", f"{single_instance!r} does not name {stem}: is it another "
                   "product's? Leave the key out, and a name is made for this product")
    # Defaults made from the executable's name, where a letter of it has no place.
    ascii_stem = re.sub(r"[^A-Za-z0-9_-]", "_", stem)
    volume_label = check.text(product, "volume_label", where, ascii_stem.upper().replace("-", "_"))
    if not re.fullmatch(r"[A-Z0-9_]*[A-Z0-9][A-Z0-9_]*", volume_label):
        check.fail(where, "volume_label", f"{volume_label!r} may hold only capitals, digits and '_'"
                   + ("" if "volume_label" in product else " (it was made from the executable's name: give one)"))
    if len(f"{volume_label}_{version.replace('.', '_')}") > 16:
        check.fail(where, "volume_label", f"{volume_label!r} with the version is longer than the 16 characters "
                   "of a disc's label that Windows shows")
    release_name = check.text(product, "release_name", where, ascii_stem)
    if not re.fullmatch(r"[A-Za-z0-9._-]*[A-Za-z0-9][A-Za-z0-9._-]*", release_name):
        check.fail(where, "release_name", f"{release_name!r} may hold only letters, digits, '.', '_' and '-'"
                   + ("" if "release_name" in product else " (it was made from the executable's name: give one)"))
    for key, text, after, field in (("company", company, "", "publisher"),
                                    ("name", name, f" {version}", "application")):
        if len((text + after).encode("utf-8")) > DISC_FIELD:
            check.fail(where, key, f"is {len((text + after).encode('utf-8'))} bytes in UTF-8"
                       f"{f' with {after!r} after it' if after else ''}; the disc's {field} field holds {DISC_FIELD}")
    description_text = product.get("description")
    if description_text is not None:
        check.text(product, "description", where)
    try:
        heading.encode("cp1252")
    except UnicodeEncodeError as e:
        check.fail(where, "heading" if "heading" in product else "caption",
                   f"{heading[e.start]!r} (U+{ord(heading[e.start]):04X}) cannot be drawn: the heading is written "
                   "in MS Sans Serif, which has the Western characters only (give a heading apart from the caption)")
    for key, text, width, em in (("caption", caption, CAPTION_WIDTH, CAPTION_EM),
                                 ("heading", heading, HEADING_WIDTH, HEADING_EM)):
        font = heading_font if heading_font.missing(text) is None else cjk
        if font.width(text, em) > width:
            # A heading left out is the caption: name the key the description has.
            made = key == "heading" and "heading" not in product
            check.fail(where, "caption" if made else key, f"{text!r} is about {font.width(text, em):.0f} pixels wide"
                       f"{' as the heading' if made else ''}; its place on the window is {width}"
                       + (" (give a shorter heading apart from the caption)" if made else ""))

    pictures = description["pictures"]
    check.keys(pictures, PICTURE_KEYS, "[pictures]")
    files = {}
    for key, (width, height, depths, target) in PICTURES.items():
        if key in pictures:
            files[target] = check.picture(pictures, key, "[pictures]", (width, height, depths))
    icon = check.icon(pictures, "icon", "[pictures]")

    languages = description["language"]
    if not isinstance(languages, list) or not languages:
        check.fail("the file", "language", "there must be at least one [[language]] table")
    seen_codes, seen_folders, seen_words, rows = {}, {}, {}, []
    for position, language in enumerate(languages, 1):
        where = f"[[language]] number {position}"
        check.keys(language, LANGUAGE_KEYS, where)
        where = f"[[language]] number {position} ({check.text(language, 'name', where)})"
        code = language.get("code", position)
        if not isinstance(code, int) or isinstance(code, bool) or not 1 <= code <= 9:
            check.fail(where, "code", f"{code!r} is not a code from 1 to 9")
        if code in seen_codes:
            check.fail(where, "code", f"{code} is the code of {seen_codes[code]} too")
        folder = check.file_name(language, "folder", where)
        for beside, what in ((AUTORUN, "the medium's"), (executable, "the menu,")):
            if windows_fold(folder) == windows_fold(beside):
                check.fail(where, "folder", f"{folder!r} is named like {what} {beside}, beside it at the medium's "
                           "root: Windows takes the two for one")
        if windows_fold(folder) in seen_folders:
            check.fail(where, "folder", f"{folder!r} is the folder of {seen_folders[windows_fold(folder)]} too "
                       "(Windows takes the two names for one)")
        program = check.file_name(language, "program", where, "Setup.exe")
        program_stem, program_extension = os.path.splitext(program)
        if program_extension.lower() != ".exe" or not program_stem:
            # The medium checks each setup's signature as a Windows program's; a script, a
            # shortcut (its target is a path on the machine it was made on) or an .msi is none.
            check.fail(where, "program", f"{program!r} is not a Windows program: the setup must be an .exe "
                       "(a .bat, .cmd, shortcut or .msi goes inside one)")
        shown = language.get("shown", True)
        if not isinstance(shown, bool):
            check.fail(where, "shown", f"must be true or false, not {shown!r}")
        words = check.text(language, "words", where)
        # What tells two rows apart, for the eye and for a screen reader.
        seen = " ".join(unicodedata.normalize("NFKC", "".join(c for c in words if not hidden(c))).split())
        if shown and seen in seen_words:
            check.fail(where, "words", f"{words!r} are the words of {seen_words[seen]} too: the two rows cannot be "
                       "told apart")
        faces = {target: check.picture(language, key, where, FACE)
                 for key, target in (("normal_face", f"CountryImage{code}.bmp"),
                                     ("highlighted_face", f"CountryPic{code}.bmp")) if key in language}
        drawn = len(faces) < 2  # words and flag are drawn unless both faces are the product's own
        script, flag, bits = drawing(check, language, where, words, latin, cjk) if drawn else ("latin", None, 24)
        strings = {code * 100 + n: check.text(language, key, where)
                   for n, key in ((1, "product_name"), (2, "exit_question")) if key in language}
        seen_codes[code] = seen_folders[windows_fold(folder)] = language["name"]
        if shown:
            seen_words[seen] = language["name"]
        rows.append({"code": code, "name": language["name"], "words": words, "folder": folder, "program": program,
                     "shown": shown, "script": script, "flag": flag, "highlighted_bits": bits, "faces": faces,
                     "strings": strings})
    shown_rows = sum(row["shown"] for row in rows)
    if shown_rows > MAX_SHOWN_ROWS:
        check.fail("[[language]]", "shown", f"{shown_rows} languages are shown; {MAX_SHOWN_ROWS} rows fit above "
                   "the exit button (hide the others with shown = false)")
    if not shown_rows:
        check.fail("[[language]]", "shown", "no language is shown")

    return {"description": os.path.abspath(path), "caption": caption, "heading": heading, "version": version,
            "company": company, "name": name, "file_description": description_text, "executable": executable,
            "title": stem, "single_instance": single_instance, "volume_label": volume_label,
            "release_name": release_name, "icon": icon, "files": files, "languages": rows}


def header(p):
    rows = "\n".join(f"    {{{row['code']}, {c_text(str(row['code']))}, {c_text(row['words'])}, {c_text(row['name'])}, "
                     f"{c_text(row['folder'])}, {c_text(row['program'])}, {'true' if row['shown'] else 'false'}}},"
                     for row in p["languages"])
    return f"""// Written by tools/product/product.py from {os.path.basename(os.path.dirname(p['description']))}/product.toml:
// change that, not this.
#pragma once

#include <cstdint>

namespace product {{

struct Language {{
    std::int16_t code;      // the index of its pictures, and what the menu hands to RunSetup
    const wchar_t* codeText;
    const wchar_t* words;   // what its faces show, and what a screen reader calls it
    const wchar_t* name;    // its name in English, as a screen reader describes it
    const wchar_t* folder;  // its folder, beside the menu
    const wchar_t* program; // the setup program in that folder
    bool shown;
}};

inline constexpr wchar_t kCaption[] = {c_text(p['caption'])};
inline constexpr wchar_t kHeading[] = {c_text(p['heading'])};
inline constexpr wchar_t kTitle[] = {c_text(p['title'])};  // the application's, in message boxes
inline constexpr wchar_t kSingleInstance[] = {c_text(p['single_instance'])};

// In the description's order: the order RunSetup tests them in, and the order of the rows.
inline constexpr Language kLanguages[] = {{
{rows}
}};

}}  // namespace product
"""


def resource_script(p, template):
    major, minor = (int(part) for part in p["version"].split("."))
    faces = "\n".join(f'{310 + row["code"]} BITMAP "art/CountryImage{row["code"]}.bmp"\n'
                      f'{320 + row["code"]} BITMAP "art/CountryPic{row["code"]}.bmp"' for row in p["languages"])
    faces = "\n".join(sorted(faces.splitlines(), key=lambda line: int(line.split()[0])))
    strings = "\n".join(f"  {number} {rc_text(text)}" for row in p["languages"]
                        for number, text in sorted(row["strings"].items()))
    table = ("// Carried, not used: no step of the program loads a string.\n"
             "LANGUAGE 0x09, 0x01  // English (United States)\nSTRINGTABLE\nBEGIN\n" + strings + "\nEND\n"
             if strings else "")
    fields = {"FACES": faces, "VERSION": f"{major}, {minor}, 0, 0", "VERSION_TEXT": rc_text(p["version"]),
              "COMPANY": rc_text(p["company"]), "PRODUCT_NAME": rc_text(p["name"]),
              "FILE_DESCRIPTION": (f'      VALUE "FileDescription", {rc_text(p["file_description"])}\n'
                                   if p["file_description"] else ""),
              "INTERNAL_NAME": rc_text(p["title"]), "ORIGINAL_FILENAME": rc_text(p["executable"]),
              "STRING_TABLE": table}
    return fill(template, fields)


def manifest(p, template):
    parts = [re.sub(r"[^A-Za-z0-9]", "", part) or fallback for part, fallback in ((p["company"], "Maker"),
                                                                                   (p["title"], "Product"))]
    name = ".".join(parts) + ".Menu"
    major, minor = (int(part) for part in p["version"].split("."))
    return fill(template, {"NAME": xml_text(name), "VERSION": f"{major}.{minor}.0.0",
                           "DESCRIPTION": xml_text(p["caption"])})


def fill(template, fields):
    def field(match):
        return fields[match.group(1)]
    return re.sub(r"@([A-Z_]+)@", field, template)


def art_list(p):
    lines = ["# Written by tools/product/product.py: what the art generator draws (draw, face) or copies (copy, icon)."]
    lines += [f"draw\t{name}" for name in DRAWN]
    for row in p["languages"]:
        if row["flag"]:
            lines.append(f"face\t{row['code']}\t{row['script']}\t{row['flag']}\t{row['highlighted_bits']}\t"
                         f"{row['words']}")
    for target, path in sorted(p["files"].items()):
        lines.append(f"copy\t{target}\t{path}")
    for row in p["languages"]:
        lines += [f"copy\t{target}\t{path}" for target, path in sorted(row["faces"].items())]
    lines.append(f"icon\t{p['icon']}")
    return "\n".join(lines) + "\n"


def art_files(p):
    names = list(DRAWN) + ["Image1.bmp", "FrmAutoSelect.ico", "FrmAutoSelect.icon", "FileIcon.group"]
    names += [f"{face}{row['code']}.bmp" for row in p["languages"] for face in ("CountryImage", "CountryPic")]
    return sorted(names)


def inputs(p):
    """The files the description names, so that a change to one is built again."""
    found = [p["description"], p["icon"], *p["files"].values()]
    for row in p["languages"]:
        found += list(row["faces"].values()) + ([row["flag"][5:]] if (row["flag"] or "").startswith("file:") else [])
    return found


def cmake(p):
    def quoted(value):
        return '"' + value.replace("\\", "/").replace('"', '\\"') + '"'
    return "\n".join([
        "# Written by tools/product/product.py.",
        f"set(VELBROOK_EXECUTABLE_NAME {quoted(p['title'])})",
        f"set(VELBROOK_VERSION_TEXT {quoted(p['version'])})",
        f"set(VELBROOK_ART_FILES {' '.join(art_files(p))})",
        f"set(VELBROOK_PRODUCT_INPUTS {' '.join(quoted(path) for path in inputs(p))})",
    ]) + "\n"


def medium_facts(p):
    keys = ("caption", "heading", "version", "company", "name", "executable", "title", "single_instance",
            "volume_label", "release_name")
    facts = {key: p[key] for key in keys}
    facts["languages"] = [{key: row[key] for key in ("code", "name", "words", "folder", "program", "shown")}
                          for row in p["languages"]]
    return json.dumps(facts, ensure_ascii=False, indent=1) + "\n"


def write(p, out, templates):
    with open(os.path.join(templates, "menu.rc.in"), encoding="utf-8") as f:
        rc = resource_script(p, f.read())
    with open(os.path.join(templates, "menu.manifest.in"), encoding="utf-8") as f:
        xml = manifest(p, f.read())
    outputs = {"product.h": header(p), "menu.rc": rc, "menu.manifest": xml, "art.list": art_list(p),
               "product.json": medium_facts(p), "product.cmake": cmake(p)}
    os.makedirs(out, exist_ok=True)
    for name, text in outputs.items():
        path = os.path.join(out, name)
        # Unchanged files keep their time, so the build does not redo what depends on them.
        try:
            with open(path, encoding="utf-8", newline="") as f:
                if f.read() == text:
                    continue
        except OSError:
            pass
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("description")
    parser.add_argument("--out", required=True)
    parser.add_argument("--templates", required=True)
    parser.add_argument("--latin-font", required=True)
    parser.add_argument("--cjk-font", required=True)
    parser.add_argument("--heading-font", required=True)
    args = parser.parse_args(argv)
    try:
        fonts = [Font(path, name) for path, name in ((args.latin_font, "Liberation Sans Bold"),
                                                     (args.cjk_font, "WenQuanYi Zen Hei"),
                                                     (args.heading_font, "Liberation Sans"))]
    except OSError as e:
        print(f"product: cannot read the font {e.filename}: {e.strerror}", file=sys.stderr)
        return 1
    try:
        p = load(args.description, *fonts)
    except BadDescription as e:
        print(f"product: the description is refused: {e}", file=sys.stderr)
        return 1
    write(p, args.out, args.templates)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
