"""One typed model of a product's description: frozen records, each table's
keys as rows (name, reader, default), and the rules that tie fields together
named. tools/product/product.py reads a description into it and writes the
build's files from it; the medium's staging and the tests build the same
model from product.json (Product.from_json), without the fonts.

Reading needs a Checker: where a value comes from (for messages that name the
file and the key), the design facts (design.py) and the fonts that judge
whether a text can be drawn and fits (render.py)."""

import json
import os
import re
import struct
import tomllib
import unicodedata
import zlib
from dataclasses import dataclass
from typing import Any, Callable

# The flags the art generator draws itself.
BUILT_IN_FLAGS = ("taiwan", "china", "united-states", "japan")
FACE_DEPTHS, FLAG_DEPTHS, PICTURE_DEPTHS = (24, 8), (24, 8), (24,)

# Characters Windows forbids in file names, and ';', which a disc's Joliet names cannot hold.
FORBIDDEN = set('<>:"/\\|?*;')
RESERVED = ({"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}
            | {f"{device}{n}" for device in ("COM", "LPT") for n in "123456789\u00b9\u00b2\u00b3"})
JOLIET_NAME = 64  # characters of a name on the disc
# The disc's publisher field holds the company, its application field "<name> <version>":
# 128 bytes each, counted in UTF-8 (xorriso refuses more).
DISC_FIELD = 128
DISC_LABEL = 16  # characters of a volume label that Windows shows
LONGEST_TEXT = 200
LONGEST_CLASS = 255  # characters of a window class's name
# What lies at the medium's root beside the language folders (the menu's own name is the other).
AUTORUN = "AUTORUN.INF"
# The sizes of the information headers Windows reads a BMP by (BITMAPINFOHEADER to BITMAPV5HEADER).
BMP_HEADERS = (40, 52, 56, 108, 124)
# Letters that show nothing, though they are no format characters.
BLANK_LETTERS = set("\u115f\u1160\u3164\uffa0\u2800")
# Names Windows takes for installers, which it would run elevated without their manifest.
INSTALLER_WORDS = ("setup", "install", "update", "patch")
# The versions of Windows a caption may name: Vista, 7, 8, 8.1, and 10 and 11 (10.0).
OS_VERSIONS = ((6, 0), (6, 1), (6, 2), (6, 3), (10, 0))
ALREADY_RUNNING = "The program is already running!"
# The display scales in percent, besides 100 %, that the menu has pictures drawn for
# (kDrawnDpis, as dpi): a product's own picture may be given larger for each.
LARGER_SCALES = (125, 150, 175, 200, 250, 300)
# The sizes Windows shows a program's icon at (Explorer's views, the taskbar, AutoPlay,
# at each display scale), and the depths of an icon's image.
ICON_SIZES = (16, 20, 24, 28, 32, 40, 48, 56, 64, 72, 80, 96, 128, 256)
ICON_DEPTHS = (1, 4, 8, 24, 32)
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
VERSION_PART = 0xFFFF  # a number of the version block's fixed part: half of one of its 32-bit fields


class BadDescription(Exception):
    pass


REQUIRED = object()


@dataclass(frozen=True)
class Key:
    """A key of a table: how its value is read and checked, and what it is when left out
    (REQUIRED; a value; or a function of the values read before it)."""
    name: str
    read: Callable[..., Any]
    default: Any = None


@dataclass(frozen=True)
class OsCaption:
    major: int
    minor: int
    build: int  # the lowest build it names
    caption: str


@dataclass(frozen=True)
class Language:
    code: int
    name: str
    words: str
    folder: str
    program: str
    shown: bool
    script: str  # "latin" or "cjk": the font its words are drawn in
    flag: str | None  # "built-in:<name>" or "file:<path>"; None where both faces are given
    flag_larger: tuple[tuple[int, str], ...]  # (dpi, the product's picture) of a flag file at other scales
    highlighted_bits: int
    faces: tuple[tuple[str, str], ...]  # (file in art/, the product's picture)
    strings: tuple[tuple[int, str], ...]  # (string table number, text)


@dataclass(frozen=True)
class Product:
    description: str  # the description's path
    caption: str
    heading: str
    version: str
    company: str
    name: str
    file_description: str | None
    executable: str
    title: str  # the executable's stem
    single_instance: str
    volume_label: str
    release_name: str
    form_class: str
    owner_class: str
    already_running: str
    version_language: int
    icon: str
    icon_sizes: str | None  # an icon file of more images for other sizes
    icon_images: int  # how many images it holds
    files: tuple[tuple[str, str], ...]  # (file in art/, the product's picture) of [pictures]
    # (file in art/, dpi, the product's picture): its own pictures and faces given for other scales
    larger: tuple[tuple[str, int, str], ...]
    languages: tuple[Language, ...]
    os_captions: tuple[OsCaption, ...]

    def disc_label(self, demo=False):
        return disc_label(self.volume_label, self.version, demo)

    def to_json(self):
        # The first keys are those the medium and the tests have always read.
        facts = {key: getattr(self, key) for key in (
            "caption", "heading", "version", "company", "name", "executable", "title", "single_instance",
            "volume_label", "release_name")}
        facts["languages"] = [{"code": row.code, "name": row.name, "words": row.words, "folder": row.folder,
                               "program": row.program, "shown": row.shown, "script": row.script, "flag": row.flag,
                               "flag_larger": [list(f) for f in row.flag_larger],
                               "highlighted_bits": row.highlighted_bits, "faces": [list(f) for f in row.faces],
                               "strings": [list(s) for s in row.strings]} for row in self.languages]
        facts.update({key: getattr(self, key) for key in (
            "description", "file_description", "form_class", "owner_class", "already_running",
            "version_language", "icon", "icon_sizes", "icon_images")})
        facts["files"] = [list(f) for f in self.files]
        facts["larger"] = [list(f) for f in self.larger]
        facts["os_captions"] = [vars(row) for row in self.os_captions]
        facts["disc_label"], facts["demo_disc_label"] = self.disc_label(), self.disc_label(demo=True)
        return json.dumps(facts, ensure_ascii=False, indent=1) + "\n"

    @staticmethod
    def from_json(path):
        """The model as product.py wrote it to product.json."""
        with open(path, encoding="utf-8") as f:
            facts = json.load(f)
        languages = tuple(Language(**{**row, "faces": tuple(map(tuple, row["faces"])),
                                      "flag_larger": tuple(map(tuple, row["flag_larger"])),
                                      "strings": tuple(map(tuple, row["strings"]))}) for row in facts["languages"])
        facts = {key: value for key, value in facts.items() if key not in ("disc_label", "demo_disc_label")}
        return Product(**{**facts, "files": tuple(map(tuple, facts["files"])),
                          "larger": tuple(map(tuple, facts["larger"])), "languages": languages,
                          "os_captions": tuple(OsCaption(**row) for row in facts["os_captions"])})


def disc_label(volume_label, version, demo=False):
    """The disc's volume label: the release's carries the version, the demo's says so."""
    return f"{volume_label}_{'DEMO' if demo else version.replace('.', '_')}"


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
    """Where a value comes from, for messages that name the file and the key; the design
    facts and the fonts that judge the texts."""

    def __init__(self, path, design, latin, cjk, heading_font):
        self.path = path
        self.folder = os.path.dirname(os.path.abspath(path))
        self.design, self.latin, self.cjk, self.heading_font = design, latin, cjk, heading_font

    def fail(self, where, key, what):
        place = f"{where}, key '{key}'" if key else where
        raise BadDescription(f"{self.path}: {place}: {what}")

    def table(self, table, keys, where):
        """The values of a table, read by its rows of keys in their order."""
        if not isinstance(table, dict):
            self.fail(where, None, "is not a table")
        names = {key.name for key in keys}
        for name in table:
            if name not in names:
                self.fail(where, name, f"unknown key (known: {', '.join(sorted(names))})")
        for key in keys:
            if key.default is REQUIRED and key.name not in table:
                self.fail(where, key.name, "missing")
        values = {}
        for key in keys:
            default = key.default(values) if callable(key.default) else key.default
            values[key.name] = key.read(self, table, where, key.name, default)
        return values


# Readers: (checker, table, where, key, default) -> value.

def text(check, table, where, key, default=None, longest=LONGEST_TEXT):
    if key not in table and default is None:
        return None
    value = table.get(key, default)
    if not isinstance(value, str):
        check.fail(where, key, f"must be a text in quotes, not {value!r}")
    if not value:
        check.fail(where, key, "is empty")
    if len(value) > longest:
        check.fail(where, key, f"is {len(value)} characters long; {longest} is the most")
    bad = next((c for c in value if ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0), None)
    if bad is not None:
        check.fail(where, key, f"holds the control character U+{ord(bad):04X}")
    bad = next((c for c in value if noncharacter(c)), None)
    if bad is not None:
        check.fail(where, key, f"holds U+{ord(bad):04X}, a noncharacter, which the menu's manifest cannot carry "
                   "(Windows would not start the menu)")
    bad = next((c for c in value if c in "\u2028\u2029"), None)
    if bad is not None:
        check.fail(where, key, f"holds the {'line' if bad == chr(0x2028) else 'paragraph'} separator "
                   f"U+{ord(bad):04X}, which breaks the text where it is shown or read")
    if all(c.isspace() or hidden(c) for c in value):
        check.fail(where, key, f"{value!r} shows nothing")
    return value


def file_name(check, table, where, key, default=None):
    """A single file or folder name, as Windows takes it on a disc."""
    name = text(check, table, where, key, default)
    for bad, why in (("\\", "a backslash"), ("/", "a slash"), ("..", "'..'")):
        if bad in name:
            check.fail(where, key, f"{name!r} contains {why}: give one name, not a path")
    if re.match(r"^[A-Za-z]:", name):
        check.fail(where, key, f"{name!r} names a drive: give one name, not a path")
    invisible = next((c for c in name if hidden(c)), None)
    if invisible:
        check.fail(where, key, f"{name!r} holds U+{ord(invisible):04X} ({unicodedata.name(invisible, 'unnamed')}), "
                   "which shows nothing or turns the writing direction: a name must read as it is")
    forbidden = next((c for c in name if c in FORBIDDEN), None)
    if forbidden:
        check.fail(where, key, f"{name!r} contains '{forbidden}', which Windows forbids in file names")
    if name.split(".")[0].rstrip(" ").upper() in RESERVED:
        check.fail(where, key, f"{name!r} is a device name on Windows")
    if len(name) > JOLIET_NAME or any(ord(c) > 0xFFFF for c in name):
        check.fail(where, key, f"{name!r} cannot be named on a disc: at most {JOLIET_NAME} characters, "
                   "none beyond U+FFFF")
    if name[-1] in ". ":
        check.fail(where, key, f"{name!r} ends in a dot or a blank, which Windows drops")
    return name


def file(check, table, where, key):
    """A file beside the description: its path and its bytes."""
    name = text(check, table, where, key)
    cmake = next((c for c in name if c in "$;"), None)
    if cmake:
        # The build is told of each file the product is made from, and CMake reads
        # '$' as the start of a variable and ';' as the end of a list's item.
        check.fail(where, key, f"{name!r} holds '{cmake}', which the build cannot carry in a file's name")
    path = os.path.join(check.folder, name)
    # The product's folder is what a vendor commits and a release is rebuilt from:
    # a file elsewhere (../, an absolute path, a link out of it) would not be in it.
    home = os.path.realpath(check.folder)
    if os.path.commonpath([os.path.realpath(path), home]) != home:
        check.fail(where, key, f"{name!r} lies outside the product's folder {check.folder}, which a release "
                   "is made from: put the file in it")
    try:
        with open(path, "rb") as f:
            return path, f.read()
    except OSError as e:
        check.fail(where, key, f"cannot read {path}: {e.strerror}")


def bmp(check, table, where, key, size, top_down=False):
    """A BMP file beside the description: its path, once its size, depth and headers are
    right. `size` is (width, height, allowed bits per pixel); `top_down`: it may be stored
    top row first (a flag, which is redrawn; a picture that is embedded as it is must be
    stored bottom row first)."""
    width, height, depths = size
    path, data = file(check, table, where, key)
    if len(data) < 54 or data[:2] != b"BM" or struct.unpack_from("<I", data, 14)[0] < 40:
        check.fail(where, key, f"{path} is not a BMP picture")
    offset, header = struct.unpack_from("<II", data, 10)
    if header not in BMP_HEADERS:
        check.fail(where, key, f"{path} has an information header of {header} bytes, which is no BMP's "
                   f"({', '.join(map(str, BMP_HEADERS))})")
    w, h, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if (w, h) != (width, height) and not (top_down and (w, -h) == (width, height)):
        check.fail(where, key, f"{path} is {w} x {abs(h)} pixels; it must be {width} x {height}"
                   + (" stored bottom row first" if (w, -h) == (width, height) else ""))
    if bits not in depths or compression != 0 or planes != 1:
        wanted = " or ".join(f"{d}-bit" for d in depths)
        check.fail(where, key, f"{path} has {bits} bits per pixel{' compressed' if compression else ''}; "
                   f"it must be {wanted} and uncompressed")
    colours = struct.unpack_from("<I", data, 46)[0] or (256 if bits == 8 else 0)
    if bits == 8 and colours > 256:
        check.fail(where, key, f"{path} names {colours} colours; an 8-bit picture has at most 256")
    # Windows takes the pixels from right after the header and the palette, whatever the
    # file's own offset says; the art generator and the contact sheet from that offset.
    if offset != 14 + header + 4 * colours:
        check.fail(where, key, f"{path} says its pixels start at byte {offset}, but its {header}-byte header "
                   f"and {colours} colours end at byte {14 + header + 4 * colours}, where Windows takes them "
                   "from: the menu would show another picture than the build reads")
    stride = (w * bits // 8 + 3) & ~3
    if offset + stride * abs(h) > len(data):
        check.fail(where, key, f"{path} is cut short")
    if bits == 8:
        used = max(max(data[offset + row * stride:offset + row * stride + w]) for row in range(abs(h)))
        if used >= colours:
            check.fail(where, key, f"{path} uses colour {used} of a palette of {colours}")
    return path


def icon(check, table, where, key, default=None):
    path, data = file(check, table, where, key)
    if len(data) < 22 or struct.unpack_from("<HHH", data) != (0, 1, 1):
        check.fail(where, key, f"{path} is not an icon file with one image")
    width, height, colours = data[6], data[7], data[8]
    planes, bits, size, at = struct.unpack_from("<HHII", data, 10)
    if at < 22 or at + 40 > len(data):
        check.fail(where, key, f"{path} is not an icon file with one image")
    header = struct.unpack_from("<IiiHH", data, at)
    # The build embeds what follows the directory as the image: it must be the one the directory names.
    if at != 22 or header[0] != 40 or header[3] != 1 or planes not in (0, 1) or bits not in (0, header[4]):
        check.fail(where, key, f"{path}: its image does not follow its directory (the directory names a "
                   f"{bits or header[4]}-bit image at byte {at}; the image there has a {header[0]}-byte header "
                   f"and {header[4]} bits per pixel): it must start at byte 22")
    if (width, height) != (32, 32) or header[1:3] != (32, 64):
        check.fail(where, key, f"{path} is {width or 256} x {height or 256} pixels; it must be 32 x 32")
    if colours != 16 or header[4] != 4 or size != 744 or at + size != len(data):
        check.fail(where, key, f"{path} has {header[4]} bits per pixel; it must be a 16-colour (4-bit) image")
    return path


def icon_sizes(check, table, where, key, default=None):
    """More images of the icon, for Windows to pick from at other sizes: an icon file whose
    images are each square, of a size Windows shows icons at, stored as a bitmap or a PNG.
    (path, how many images), or None."""
    if key not in table:
        return None
    path, data = file(check, table, where, key)
    count = struct.unpack_from("<H", data, 4)[0] if len(data) >= 6 else 0
    if len(data) < 6 + 16 * count or struct.unpack_from("<HH", data) != (0, 1) or not 1 <= count <= 64:
        check.fail(where, key, f"{path} is not an icon file of 1 to 64 images")
    seen = set()
    for number in range(1, count + 1):
        width, height, _, _, _, _, size, at = struct.unpack_from("<BBBBHHII", data, 6 + 16 * (number - 1))
        width, height, image = width or 256, height or 256, data[at:at + size]
        if width != height or width not in ICON_SIZES:
            check.fail(where, key, f"{path}: image {number} is {width} x {height} pixels; an icon's images are "
                       f"square, of {', '.join(map(str, ICON_SIZES))}")
        if at < 6 + 16 * count or at + size > len(data) or size < 40:
            check.fail(where, key, f"{path}: image {number} lies outside the file")
        if image.startswith(PNG_SIGNATURE):
            drawn, depth = struct.unpack_from(">II", image, 16) if size >= 24 else (0, 0), 32
        else:
            header, w, h, planes, depth = struct.unpack_from("<IiiHH", image)
            drawn = (w, h // 2) if header == 40 and planes == 1 and depth in ICON_DEPTHS else None
        if drawn != (width, height):
            check.fail(where, key, f"{path}: image {number} is not the {width} x {height} picture its entry names "
                       "(an icon's image is a PNG, or a bitmap with a 40-byte header, its mask below it)")
        if (width, depth) in seen or (width, depth) == (32, 4):
            check.fail(where, key, f"{path}: image {number} is a second {width} x {height} image of {depth} bits"
                       + (" (the one of `icon`)" if (width, depth) == (32, 4) else ""))
        seen.add((width, depth))
    return path, count


def picture(check, table, where, key, default=None):
    """One of the window's pictures given as a file, sized as the design says."""
    if key not in table:
        return None
    return bmp(check, table, where, key, picture_size(key)(check))


def face(check, table, where, key, default=None):
    if key not in table:
        return None
    return bmp(check, table, where, key, face_size(check))


def larger(of, size):
    """The reader of `<of>_larger`: the picture `of` given for other display scales as
    { <percent> = "<file>" }, each a BMP of `of`'s size at that scale, to the nearest pixel.
    `size(check)` is `of`'s (width, height, allowed bits per pixel) at 96 dpi."""
    def read(check, table, where, key, default=None):
        given = table.get(key, {})
        if not isinstance(given, dict):
            check.fail(where, key, f"must be a table of display scales in percent and files, like "
                       f'{{ 200 = "{of}-200.bmp" }}, not {given!r}')
        if given and (of not in table or table[of] in BUILT_IN_FLAGS):
            check.fail(where, key, f"gives larger pictures of {of!r}, which the build draws at every scale: "
                       f"give {of!r} as a file too, or leave these out")
        width, height, depths = size(check)
        found = []
        for percent in given:
            if not percent.isdigit() or str(int(percent)) != percent or int(percent) not in LARGER_SCALES:
                check.fail(where, f"{key}.{percent}", f"{percent!r} is no display scale the menu has pictures for "
                           f"({', '.join(map(str, LARGER_SCALES))}, in percent)")
            scaled = (width * int(percent) + 50) // 100, (height * int(percent) + 50) // 100
            # Stored either way up: the art generator reads it, nothing embeds it as it is.
            named = f"{key}.{percent}"  # as TOML's dotted keys name it
            path = bmp(check, {named: given[percent]}, where, named, (*scaled, depths), top_down=True)
            found.append((int(percent) * 96 // 100, path))
        return tuple(sorted(found))
    return read


def integer(check, table, where, key, default=None):
    if key not in table and default is None:
        return None
    value = table.get(key, default)
    if not isinstance(value, int) or isinstance(value, bool):
        check.fail(where, key, f"must be a whole number, not {value!r}")
    return value


def boolean(check, table, where, key, default=None):
    value = table.get(key, default)
    if not isinstance(value, bool):
        check.fail(where, key, f"must be true or false, not {value!r}")
    return value


def version(check, table, where, key, default=None):
    """As the vendor writes it (1, 2.3, 1.00, 4.2.0.117): one to four numbers, each one of
    the version block's 16-bit fields. The texts keep it as written."""
    value = text(check, table, where, key)
    if not re.fullmatch(r"[0-9]+(\.[0-9]+){0,3}", value):  # not \d: that takes any script's digits
        check.fail(where, key, f"{value!r} is not one to four numbers separated by dots, like 1.00 or 2.3.1")
    big = next((part for part in value.split(".") if int(part) > VERSION_PART), None)
    if big is not None:
        check.fail(where, key, f"{value!r} holds {big}; each number of a version is at most {VERSION_PART}")
    return value


def version_numbers(version):
    """The version block's four numbers: those written, the missing ones 0 (1.00 is 1, 0, 0, 0)."""
    numbers = [int(part) for part in version.split(".")]
    return tuple(numbers + [0] * (4 - len(numbers)))


def executable(check, table, where, key, default=None):
    name = file_name(check, table, where, key)
    if "$" in name:
        check.fail(where, key, f"{name!r} holds '$': CMake, which builds the menu by this name, "
                   "would read a variable there")
    stem, extension = os.path.splitext(name)
    if extension.lower() != ".exe" or not stem:
        check.fail(where, key, f"{name!r} must be a name ending in .exe")
    if " " in name:
        check.fail(where, key, f"{name!r} holds a blank: AutoRun would start its first word")
    if any(word in name.lower() for word in INSTALLER_WORDS):
        check.fail(where, key, f"{name!r} holds one of {', '.join(INSTALLER_WORDS)}: Windows would "
                   "take the menu for an installer")
    return name


def single_instance(check, table, where, key, default):
    name = text(check, table, where, key, default)
    if not re.fullmatch(r"(Local|Global)\\[^\\]{1,200}", name):
        check.fail(where, key, f"{name!r} must be Local\\<name> or Global\\<name>")
    return name


def made(pattern, what):
    """A reader of a name that may hold only what `pattern` matches; its message says
    where a default came from."""
    def read(check, table, where, key, default):
        value = text(check, table, where, key, default)
        if not re.fullmatch(pattern, value):
            check.fail(where, key, f"{value!r} may hold only {what}"
                       + ("" if key in table else " (it was made from the executable's name: give one)"))
        return value
    return read


# The system's own window classes. A program's class of the same name comes first
# for its windows, so the exit button (a BUTTON) would lose its drawing and its click.
SYSTEM_CLASSES = {"button", "combobox", "comboboxex32", "combolbox", "ddemlevent", "edit", "listbox", "mdiclient",
                  "message", "scrollbar", "static", "richedit", "richedit20a", "richedit20w", "richedit50w"}


def class_name(check, table, where, key, default):
    """A window class's name: printable ASCII, as every version of Windows registers it."""
    value = text(check, table, where, key, default, longest=LONGEST_CLASS)
    bad = next((c for c in value if not " " <= c <= "~"), None)
    if bad is not None:
        check.fail(where, key, f"{value!r} holds {bad!r} (U+{ord(bad):04X}): a window class's name must be "
                   "printable ASCII")
    if value.casefold() in SYSTEM_CLASSES or value.startswith("#"):
        check.fail(where, key, f"{value!r} is the name of a class of Windows itself: the menu's own class of "
                   "that name would take the place of the system's for its controls")
    return value


def language_id(check, table, where, key, default):
    value = integer(check, table, where, key, default)
    if not 0 < value <= 0xFFFF or not value & 0x3FF:
        check.fail(where, key, f"{value!r} is no language identifier (LANGID): give one like 0x0409, "
                   "a primary language in its low 10 bits and a sublanguage above them")
    return value


def one_of(*allowed):
    def read(check, table, where, key, default):
        value = table.get(key, default)
        # Of the allowed type too: 8.0 == 8 and True == 1, but the art generator reads a whole number.
        if not any(type(value) is type(a) and value == a for a in allowed):
            check.fail(where, key, f"{value!r} must be {' or '.join(map(str, allowed))}")
        return value
    return read


def ascii_stem(values):
    """The executable's name without its extension, where each letter outside ASCII is '_'."""
    return re.sub(r"[^A-Za-z0-9_-]", "_", os.path.splitext(values["executable"])[0])


def class_stem(values):
    """The executable's name, where it is ASCII letters, digits, '_' and '-'; otherwise those
    of its letters with a fingerprint of the whole name, so that no two products share one."""
    stem = os.path.splitext(values["executable"])[0]
    kept = re.sub(r"[^A-Za-z0-9_-]", "", stem)
    return kept if kept == stem else f"{kept}{zlib.crc32(stem.encode('utf-8')):08X}"


def instance_name(values):
    stem = os.path.splitext(values["executable"])[0]
    fingerprint = zlib.crc32(f"{values['company']}\n{stem}\n{values['caption']}".encode("utf-8"))
    return "Local\\" + re.sub(r"[^A-Za-z0-9]", "", values["company"]) + f".{stem}.Menu.{fingerprint:08X}"


PRODUCT_KEYS = (
    Key("caption", text, REQUIRED),
    Key("heading", text, lambda v: v["caption"]),
    Key("version", version, REQUIRED),
    Key("company", text, REQUIRED),
    Key("name", text, REQUIRED),
    Key("executable", executable, REQUIRED),
    Key("single_instance", single_instance, instance_name),
    Key("volume_label", made(r"[A-Z0-9_]*[A-Z0-9][A-Z0-9_]*", "capitals, digits and '_'"),
        lambda v: ascii_stem(v).upper().replace("-", "_")),
    Key("release_name", made(r"[A-Za-z0-9._-]*[A-Za-z0-9][A-Za-z0-9._-]*", "letters, digits, '.', '_' and '-'"),
        ascii_stem),
    Key("description", text),
    Key("form_class", class_name, lambda v: class_stem(v) + "Form"),
    Key("owner_class", class_name, lambda v: class_stem(v) + "Owner"),
    Key("already_running", text, ALREADY_RUNNING),
    Key("version_language", language_id, 0x0409),  # U.S. English
)


def picture_size(of):
    return lambda check: (check.design.by_key(of).width, check.design.by_key(of).height, PICTURE_DEPTHS)


def face_size(check):
    return check.design.face.width, check.design.face.height, FACE_DEPTHS


def flag_size(check):
    return check.design.face.flag_width, check.design.face.flag_height, FLAG_DEPTHS


# The window's pictures a product may give as its own files (the word mark always), and
# a language's two faces with the names of their files in art/ (the code follows).
OWN_PICTURES = ("word_mark", "prompt", "exit_button", "exit_picture", "maker_logo")
FACE_FILES = (("normal_face", "CountryImage"), ("highlighted_face", "CountryPic"))
PICTURE_KEYS = (
    Key("word_mark", picture, REQUIRED),
    Key("icon", icon, REQUIRED),
    Key("icon_sizes", icon_sizes),
    Key("prompt", picture),
    Key("exit_button", picture),
    Key("exit_picture", picture),
    Key("maker_logo", picture),
    *(Key(f"{name}_larger", larger(name, picture_size(name))) for name in OWN_PICTURES),
)
LANGUAGE_KEYS = (
    Key("name", text, REQUIRED),
    Key("code", integer),  # its place in the list unless given
    Key("folder", file_name, REQUIRED),
    Key("program", file_name, "Setup.exe"),
    Key("shown", boolean, True),
    Key("words", text, REQUIRED),
    Key("normal_face", face),
    Key("highlighted_face", face),
    Key("flag", text),
    Key("flag_larger", larger("flag", flag_size)),
    Key("normal_face_larger", larger("normal_face", face_size)),
    Key("highlighted_face_larger", larger("highlighted_face", face_size)),
    Key("highlighted_bits", one_of(8, 24), 24),
    Key("product_name", text),
    Key("exit_question", text),
)
OS_CAPTION_KEYS = (
    Key("major", integer, REQUIRED),
    Key("minor", integer, REQUIRED),
    Key("build", integer, 0),
    Key("caption", text, REQUIRED),
)


# Rules that tie fields together, each named for what it keeps true.

def single_instance_names_the_menu(check, p, where):
    stem = os.path.splitext(p["executable"])[0]
    if stem.lower() not in p["single_instance"].lower():
        # A copy of another product's description would keep that product's name, and
        # each menu would then refuse to start while the other runs.
        check.fail(where, "single_instance", f"{p['single_instance']!r} does not name {stem}: is it another "
                   "product's? Leave the key out, and a name is made for this product")


def disc_labels_fit(check, p, where, stated):
    for demo in (False, True):
        label = disc_label(p["volume_label"], p["version"], demo)
        if len(label) > DISC_LABEL:
            check.fail(where, "volume_label", f"{p['volume_label']!r} with the {'demo' if demo else 'version'} "
                       f"({label}) is longer than the {DISC_LABEL} characters of a disc's label that Windows shows"
                       + ("" if stated else " (it was made from the executable's name: give one)"))


def disc_fields_fit(check, p, where):
    for key, value, after, field in (("company", p["company"], "", "publisher"),
                                     ("name", p["name"], f" {p['version']}", "application")):
        if len((value + after).encode("utf-8")) > DISC_FIELD:
            check.fail(where, key, f"is {len((value + after).encode('utf-8'))} bytes in UTF-8"
                       f"{f' with {after!r} after it' if after else ''}; the disc's {field} field holds {DISC_FIELD}")


def windows_texts_fit(check, p, where, stated):
    """The heading is written in MS Sans Serif, Western characters only; caption and heading fit their places."""
    heading_key = "heading" if "heading" in stated else "caption"
    try:
        p["heading"].encode("cp1252")
    except UnicodeEncodeError as e:
        check.fail(where, heading_key, f"{p['heading'][e.start]!r} (U+{ord(p['heading'][e.start]):04X}) cannot be "
                   "drawn: the heading is written in MS Sans Serif, which has the Western characters only (give a "
                   "heading apart from the caption)")
    rooms = check.design.texts
    for key, value, room in (("caption", p["caption"], rooms.caption), ("heading", p["heading"], rooms.heading)):
        font = check.heading_font if check.heading_font.missing(value) is None else check.cjk
        missing = font.missing(value)
        if missing is not None:
            # Whether it fits cannot be judged, nor that the systems the menu runs on draw it.
            check.fail(where, key, f"{missing!r} (U+{ord(missing):04X}) cannot be drawn: it is in neither "
                       f"{check.heading_font.name} nor {check.cjk.name}, the fonts its width is judged in")
        width = font.width(value, room.em)
        if width > room.width:
            # A heading left out is the caption: name the key the description has.
            made_of_caption = key == "heading" and "heading" not in stated
            check.fail(where, "caption" if made_of_caption else key,
                       f"{value!r} is {width} pixels wide{' as the heading' if made_of_caption else ''}; its place "
                       f"on the window is {room.width}"
                       + (" (give a shorter heading apart from the caption)" if made_of_caption else ""))


def class_names_differ(check, p, where):
    # Windows compares class names without regard to case.
    if p["form_class"].casefold() == p["owner_class"].casefold():
        check.fail(where, "owner_class", f"{p['owner_class']!r} is the form's class too: the window and its "
                   "owner need classes of their own")


def logo_words(company):
    """What the maker's logo shows: the company's name in capitals."""
    return company.upper()


def logo_draws_company(check, company, where):
    """The maker's logo is the company's name, scaled into its box: a name the font cannot
    draw, or that would be squeezed or stretched out of shape, needs a picture instead."""
    drawn = check.design.drawn
    advice = "give the logo as a picture ([pictures] maker_logo)"
    words = logo_words(company)
    missing = check.latin.missing(words)
    if missing is not None:
        check.fail(where, "company", f"the maker's logo is drawn from it in {check.latin.name}, which cannot draw "
                   f"{missing!r} (U+{ord(missing):04X}): {advice}")
    width, height = check.latin.ink(words, drawn.logo_size)
    if not width:
        check.fail(where, "company", f"{words!r} leaves the maker's logo empty: {advice}")
    ratio = (drawn.logo_width / width) / (drawn.logo_height / height)
    if not drawn.logo_least_ratio <= ratio <= drawn.logo_most_ratio:
        check.fail(where, "company", f"{words!r} would be {'squeezed' if ratio < 1 else 'stretched'} to "
                   f"{ratio:.2f} of its width to fill the maker's logo ({drawn.logo_width} x {drawn.logo_height} "
                   f"pixels; {drawn.logo_least_ratio} to {drawn.logo_most_ratio} keeps it readable): {advice}")


def words_are_drawable(check, language, where):
    """The script the words are drawn in, where the faces are drawn: the font of that
    script draws every letter, left to right, inside the face's room."""
    words = language["words"]
    backwards = next((c for c in words if unicodedata.bidirectional(c) in ("R", "AL")), None)
    if backwards:
        check.fail(where, "words", f"{backwards!r} (U+{ord(backwards):04X}) is written right to left, and the "
                   "pictures' words are drawn left to right: give both faces (normal_face, highlighted_face)")
    script = "latin" if check.latin.missing(words) is None else "cjk"
    font = check.latin if script == "latin" else check.cjk
    missing = font.missing(words)
    if missing is not None:
        check.fail(where, "words", f"{font.name}, the font for its script, cannot draw "
                   f"{missing!r} (U+{ord(missing):04X})")
    face = check.design.face
    width, room = font.width(words, getattr(face, script).font_size), face.room(script)
    if width > room:
        check.fail(where, "words", f"{words!r} is {width} pixels wide; a face has room for {room}")
    return script


def flag_is_drawable(check, language, table, where):
    if language["flag"] is None:
        check.fail(where, "flag", "missing (only a language with both faces given needs none)")
    flag = language["flag"]
    if flag in BUILT_IN_FLAGS:
        return "built-in:" + flag
    if flag.lower().endswith(".bmp"):
        return "file:" + bmp(check, table, where, "flag", flag_size(check), top_down=True)
    check.fail(where, "flag", f"{flag!r} is neither a flag the build draws ({', '.join(BUILT_IN_FLAGS)}) "
               "nor a .bmp file")


def codes_differ(check, language, where, seen):
    code = language["code"]
    if not 1 <= code <= 99:
        check.fail(where, "code", f"{code!r} is not a code from 1 to 99")
    if code in seen:
        check.fail(where, "code", f"{code} is the code of {seen[code]} too")


def folders_apart(check, language, where, executable, seen):
    folder = language["folder"]
    for beside, what in ((AUTORUN, "the medium's"), (executable, "the menu,")):
        if windows_fold(folder) == windows_fold(beside):
            check.fail(where, "folder", f"{folder!r} is named like {what} {beside}, beside it at the medium's "
                       "root: Windows takes the two for one")
    if windows_fold(folder) in seen:
        check.fail(where, "folder", f"{folder!r} is the folder of {seen[windows_fold(folder)]} too "
                   "(Windows takes the two names for one)")


def program_is_a_program(check, language, where):
    stem, extension = os.path.splitext(language["program"])
    if extension.lower() != ".exe" or not stem:
        # The medium checks each setup's signature as a Windows program's; a script, a
        # shortcut (its target is a path on the machine it was made on) or an .msi is none.
        check.fail(where, "program", f"{language['program']!r} is not a Windows program: the setup must be an .exe "
                   "(a .bat, .cmd, shortcut or .msi goes inside one)")


def seen_words(words):
    """What tells two rows apart, for the eye and for a screen reader."""
    return " ".join(unicodedata.normalize("NFKC", "".join(c for c in words if not hidden(c))).split())


def rows_fit(check, languages):
    shown = sum(row.shown for row in languages)
    most = check.design.rows.most_shown
    if shown > most:
        rows = check.design.rows
        check.fail("[[language]]", "shown", f"{shown} languages are shown; {most} fit, in {rows.columns} columns "
                   f"of {rows.per_column} rows above the exit button (hide the others with shown = false)")
    if not shown:
        check.fail("[[language]]", "shown", "no language is shown")


def os_caption_is_known(check, row, where, seen):
    if (row["major"], row["minor"]) not in OS_VERSIONS:
        check.fail(where, "minor" if row["major"] in dict(OS_VERSIONS) else "major",
                   f"{row['major']}.{row['minor']} is no version of Windows from Vista to 11 "
                   f"({', '.join(f'{a}.{b}' for a, b in OS_VERSIONS)})")
    if row["build"] < 0:
        check.fail(where, "build", f"{row['build']} is no build number")
    version = (row["major"], row["minor"], row["build"])
    if version in seen:
        check.fail(where, "build", f"{'.'.join(map(str, version))} is named by {seen[version]} too")


def os_caption_fits(check, row, where):
    caption = row["caption"]
    room = check.design.texts.os_caption
    try:
        caption.encode("cp1252")
    except UnicodeEncodeError as e:
        check.fail(where, "caption", f"{caption[e.start]!r} (U+{ord(caption[e.start]):04X}) cannot be drawn: the "
                   "caption is written in MS Sans Serif, which has the Western characters only")
    width = check.latin.width(caption, room.em)
    if width > room.width:
        check.fail(where, "caption", f"{caption!r} is {width} pixels wide; its place on the window is {room.width}")


def read_description(path):
    try:
        with open(path, "rb") as f:
            raw = f.read()
        # As an editor on Windows may save it: with a byte-order mark, or in UTF-16.
        text_ = raw.decode("utf-16") if raw.startswith((b"\xff\xfe", b"\xfe\xff")) else raw.decode("utf-8-sig")
        return tomllib.loads(text_)
    except OSError as e:
        raise BadDescription(f"{path}: cannot read it: {e.strerror}") from None
    except UnicodeDecodeError as e:
        raise BadDescription(f"{path}: not UTF-8 text (byte {e.start}): save it as UTF-8") from None
    except tomllib.TOMLDecodeError as e:
        raise BadDescription(f"{path}: not TOML: {e}") from None


def load(check):
    """The product of the description check.path, every value checked and every default filled in."""
    path = check.path
    cmake = next((c for c in check.folder if c in "$;"), None)
    if cmake:
        raise BadDescription(f"{path}: the product folder's path holds '{cmake}', which the build (CMake) cannot "
                             "carry in the names of the files it is made from: move or rename the folder")
    control = next((c for c in check.folder if ord(c) < 0x20 or ord(c) == 0x7F), None)
    if control:
        # The art list names the product's pictures by path, a line each, its fields split by tabs.
        raise BadDescription(f"{path}: the product folder's path holds the control character U+{ord(control):04X}, "
                             "which the build's list of pictures cannot carry: move or rename the folder")
    description = read_description(path)
    top = (Key("product", None, REQUIRED), Key("pictures", None, REQUIRED), Key("language", None, REQUIRED),
           Key("os_caption", None))
    names = {key.name for key in top}
    for name in description:
        if name not in names:
            check.fail("the file", name, f"unknown key (known: {', '.join(sorted(names))})")
    for key in top:
        if key.default is REQUIRED and key.name not in description:
            check.fail("the file", key.name, "missing")

    where, stated = "[product]", description["product"]
    p = check.table(stated, PRODUCT_KEYS, where)
    single_instance_names_the_menu(check, p, where)
    disc_labels_fit(check, p, where, isinstance(stated, dict) and "volume_label" in stated)
    disc_fields_fit(check, p, where)
    windows_texts_fit(check, p, where, stated)
    class_names_differ(check, p, where)

    pictures = check.table(description["pictures"], PICTURE_KEYS, "[pictures]")
    if pictures["maker_logo"] is None:
        logo_draws_company(check, p["company"], where)

    languages = description["language"]
    if not isinstance(languages, list) or not languages:
        check.fail("the file", "language", "there must be at least one [[language]] table")
    codes, folders, words, rows, larger_faces = {}, {}, {}, [], []
    for position, table in enumerate(languages, 1):
        where = f"[[language]] number {position}"
        if isinstance(table, dict) and isinstance(table.get("name"), str):
            where += f" ({table['name']})"
        row = check.table(table, LANGUAGE_KEYS, where)
        if row["code"] is None:
            row["code"] = position
        codes_differ(check, row, where, codes)
        folders_apart(check, row, where, p["executable"], folders)
        program_is_a_program(check, row, where)
        seen = seen_words(row["words"])
        if row["shown"] and seen in words:
            check.fail(where, "words", f"{row['words']!r} are the words of {words[seen]} too: the two rows cannot "
                       "be told apart")
        faces = tuple((f"{stem}{row['code']}.bmp", row[key]) for key, stem in FACE_FILES if row[key])
        larger_faces += [(f"{stem}{row['code']}.bmp", dpi, path)
                         for key, stem in FACE_FILES for dpi, path in row[key + "_larger"]]
        drawn = len(faces) < 2  # words and flag are drawn unless both faces are the product's own
        script = words_are_drawable(check, row, where) if drawn else "latin"
        flag = flag_is_drawable(check, row, table, where) if drawn else None
        if not drawn and row["flag_larger"]:
            check.fail(where, "flag_larger", "the flag is not drawn, since both faces are given: leave these out")
        codes[row["code"]] = folders[windows_fold(row["folder"])] = row["name"]
        if row["shown"]:
            words[seen] = row["name"]
        rows.append(Language(row["code"], row["name"], row["words"], row["folder"], row["program"], row["shown"],
                             script, flag, row["flag_larger"] if drawn else (),
                             row["highlighted_bits"] if drawn else 24, faces,
                             tuple((row["code"] * 100 + n, row[key])
                                   for n, key in ((1, "product_name"), (2, "exit_question")) if row[key])))
    rows_fit(check, rows)

    captions, versions = description.get("os_caption", []), {}
    if not isinstance(captions, list):
        check.fail("the file", "os_caption", "must be an array of tables, [[os_caption]]")
    os_captions = []
    for position, table in enumerate(captions, 1):
        where = f"[[os_caption]] number {position}"
        row = check.table(table, OS_CAPTION_KEYS, where)
        os_caption_is_known(check, row, where, versions)
        os_caption_fits(check, row, where)
        versions[(row["major"], row["minor"], row["build"])] = where
        os_captions.append(OsCaption(**row))

    files = tuple(sorted((check.design.by_key(key).file, pictures[key]) for key in OWN_PICTURES if pictures[key]))
    larger = tuple(sorted((check.design.by_key(key).file, dpi, path) for key in OWN_PICTURES
                          for dpi, path in pictures[key + "_larger"])) + tuple(larger_faces)
    return Product(
        description=os.path.abspath(path), caption=p["caption"], heading=p["heading"], version=p["version"],
        company=p["company"], name=p["name"], file_description=p["description"], executable=p["executable"],
        title=os.path.splitext(p["executable"])[0], single_instance=p["single_instance"],
        volume_label=p["volume_label"], release_name=p["release_name"], form_class=p["form_class"],
        owner_class=p["owner_class"], already_running=p["already_running"],
        version_language=p["version_language"], icon=pictures["icon"],
        icon_sizes=pictures["icon_sizes"] and pictures["icon_sizes"][0],
        icon_images=pictures["icon_sizes"][1] if pictures["icon_sizes"] else 0, files=files, larger=larger,
        languages=tuple(rows),
        os_captions=tuple(os_captions))
