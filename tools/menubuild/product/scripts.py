"""The scripts the faces' words may be written in and the font each is drawn in
(src/resources/scripts.toml, which the art generator gets its fonts from too,
through art.list), and the script of each character as HarfBuzz tells it
(Debian's libharfbuzz.so.0, loaded through ctypes), resolved as the art
generator resolves it (tools/artgen/shaping.cpp, Resolved): change the two
together. A language may have its words drawn in a font of its own, or in the
regional glyph forms of Chinese, Japanese or Korean (the table's [glyph_forms]):
that font then takes the place of its words' script's font (Fonts.own)."""

import ctypes
import ctypes.util
import os
import tomllib
from dataclasses import dataclass

from menubuild.product.pictures import file
from menubuild.product.render import Font
from menubuild.product.texts import text

GRIDS = ("latin", "cjk", "other")  # design.toml's [face.<grid>]
_COMMON, _INHERITED = "Zyyy", "Zinh"
_OPEN_PUNCTUATION, _CLOSE_PUNCTUATION = 22, 18  # hb_unicode_general_category_t


@dataclass(frozen=True)
class Script:
    tag: str  # ISO 15924
    name: str
    package: str  # the Debian package that has its font
    font: str  # the font file, in the fonts' folder
    grid: str


@dataclass(frozen=True)
class GlyphForms:
    tag: str  # BCP 47, as HarfBuzz is told the language
    name: str
    package: str
    font: str  # the font file, from the fonts' folder
    face: int  # the face of the collection that has the region's forms


def load(path):
    """The table of scripts, by tag."""
    with open(path, "rb") as f:
        raw = tomllib.load(f)["scripts"]
    table = {tag: Script(tag, **row) for tag, row in raw.items()}
    bad = next((s for s in table.values() if s.grid not in GRIDS), None)
    assert bad is None, f"{path}: the grid of {bad.tag} is none of {GRIDS}"
    return table


def load_forms(path):
    """The regional glyph forms a language may ask for, by tag."""
    with open(path, "rb") as f:
        raw = tomllib.load(f)["glyph_forms"]
    return {tag: GlyphForms(tag, **row) for tag, row in raw.items()}


class Fonts:
    """The table's fonts in a folder, each opened once, when first asked for; and the
    regional glyph forms (`forms`, by tag) drawn in fonts of that folder."""

    def __init__(self, table, folder, forms=None):
        self.table, self.folder, self.forms, self._open, self._own = table, folder, forms or {}, {}, {}

    def path(self, tag):
        if tag in self._own:
            return self._own[tag].path
        return os.path.join(self.folder, self.table[tag].font)

    def font(self, tag):
        """The font of a script in the table, or None where its file is not there."""
        if tag in self._own:
            return self._own[tag]
        return self._opened(self.path(tag))

    def _opened(self, path, face=0):
        if (path, face) not in self._open:
            self._open[path, face] = Font(path, index=face) if os.path.exists(path) else None
        return self._open[path, face]

    def forms_path(self, tag):
        return os.path.normpath(os.path.join(self.folder, self.forms[tag].font))

    def forms_font(self, tag):
        """The face that draws the glyph forms `tag`, or None where its file is not there."""
        return self._opened(self.forms_path(tag), self.forms[tag].face)

    def own(self, tag, font):
        """These fonts as one language's words are drawn: `font` in place of the font of
        the script `tag`, and of every script the table draws in that same font (a
        Japanese font draws the kana and the Han characters; a Latin one, Greek and
        Cyrillic too)."""
        mine = Fonts(self.table, self.folder, self.forms)
        mine._open = self._open
        if tag in self.table:  # else the words are refused, as in no font of the table
            mine._own = {t: font for t, s in self.table.items() if s.font == self.table[tag].font}
        return mine


# The readers of a language's keys that choose the font of its words (keys.py), as
# those of texts.py: (checker, table, where, key, default) -> value.

def own_font(check, table, where, key, default=None):
    """A font file beside the description, which HarfBuzz can shape with: its path."""
    if key not in table:
        return None
    path, _ = file(check, table, where, key)
    try:
        font = Font(path)
    except OSError:
        font = None
    if font is None or not font.outlines:
        check.fail(where, key, f"{path} is not a font the build draws with: it must be a TrueType or OpenType "
                   "font (.ttf, .otf, or the first font of a .ttc)")
    return path


def glyph_forms(check, table, where, key, default=None):
    """One of the regional glyph forms of the table's [glyph_forms], by tag."""
    if key not in table:
        return None
    value = text(check, table, where, key)
    if value not in check.fonts.forms:
        check.fail(where, key, f"{value!r} is none of the glyph forms the build draws "
                   f"({', '.join(check.fonts.forms)})")
    return value


# Unicode's default-ignorable code points: HarfBuzz draws nothing for them, so no
# font needs a glyph for one.
_IGNORABLE = ((0x00AD, 0x00AD), (0x034F, 0x034F), (0x061C, 0x061C), (0x115F, 0x1160), (0x17B4, 0x17B5),
              (0x180B, 0x180F), (0x200B, 0x200F), (0x202A, 0x202E), (0x2060, 0x206F), (0x3164, 0x3164),
              (0xFE00, 0xFE0F), (0xFEFF, 0xFEFF), (0xFFA0, 0xFFA0), (0xFFF0, 0xFFF8), (0x1BCA0, 0x1BCA3),
              (0x1D173, 0x1D17A), (0xE0000, 0xE0FFF))


def ignorable(c):
    return any(low <= ord(c) <= high for low, high in _IGNORABLE)


def _harfbuzz():
    path = ctypes.util.find_library("harfbuzz") or "libharfbuzz.so.0"
    hb = ctypes.CDLL(path)
    hb.hb_unicode_funcs_get_default.restype = ctypes.c_void_p
    for name, result in (("hb_unicode_script", ctypes.c_uint32), ("hb_unicode_general_category", ctypes.c_int),
                         ("hb_unicode_mirroring", ctypes.c_uint32)):
        getattr(hb, name).argtypes = [ctypes.c_void_p, ctypes.c_uint32]
        getattr(hb, name).restype = result
    hb.hb_script_to_iso15924_tag.argtypes = [ctypes.c_uint32]
    hb.hb_script_to_iso15924_tag.restype = ctypes.c_uint32
    return hb, hb.hb_unicode_funcs_get_default()


_hb = None


def _unicode():
    global _hb
    if _hb is None:
        try:
            _hb = _harfbuzz()
        except OSError as e:
            raise OSError(0, f"HarfBuzz cannot be loaded ({e})", "libharfbuzz.so.0") from None
    return _hb


def scripts_of(words, fonts):
    """The ISO 15924 tag of the script each character is drawn in: a letter's own; an
    inherited one's (a combining mark) that of the letter it is on; a common one's
    (blanks, digits, punctuation) the first whose font (of `fonts`) has it of: its
    opening bracket's (for a closing one), the letters' before it, the letters' after
    it, Latin."""
    hb, funcs = _unicode()
    raw = [hb.hb_script_to_iso15924_tag(hb.hb_unicode_script(funcs, ord(c))).to_bytes(4, "big").decode("ascii")
           for c in words]

    def letter_from(i):
        return next((s for s in raw[i:] if s not in (_COMMON, _INHERITED)), None)

    def draws(tag, c):
        font = fonts.font(tag) if tag in fonts.table else None
        return font is not None and font.missing(c) is None
    found, opened, last = [], [], None
    for i, c in enumerate(words):
        if raw[i] not in (_COMMON, _INHERITED):
            found.append(raw[i])
            last = raw[i]
            continue
        if raw[i] == _INHERITED:  # a mark stays with the letter it is on
            found.append(found[-1] if found else letter_from(0) or "Latn")
            continue
        pair, category = None, hb.hb_unicode_general_category(funcs, ord(c))
        if category == _CLOSE_PUNCTUATION:
            match = next((k for k in reversed(range(len(opened))) if opened[k][0] == ord(c)), None)
            if match is not None:
                pair = found[opened[match][1]]  # "(Persian)": both brackets in one font
                del opened[match:]
        # A blank, digit or sign goes with the letters before it, else after it, in
        # whichever font of theirs has it: many fonts of one script lack them.
        candidates = (pair, last, letter_from(i + 1), "Latn")
        found.append(next((tag for tag in candidates if tag and draws(tag, c)), None) or pair or last or "Latn")
        if category == _OPEN_PUNCTUATION:
            opened.append((hb.hb_unicode_mirroring(funcs, ord(c)), i))
    return found


def script_of(words):
    """The script the words are written in: their first letter's (Latin without one)."""
    hb, funcs = _unicode()
    tags = (hb.hb_script_to_iso15924_tag(hb.hb_unicode_script(funcs, ord(c))).to_bytes(4, "big").decode("ascii")
            for c in words)
    return next((tag for tag in tags if tag not in (_COMMON, _INHERITED)), "Latn")
