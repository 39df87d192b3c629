"""Every key of a product's description, declared once: its name, its reader (which
checks it), its default and what the vendor's guide says of it, in a table of the
description. From these rows the checker reads each table (model.py), the records
are made (records.py, with product.json both ways), and the vendor's guide lists the
keys (docs/vendor-guide.md, which the product tests hold to them):

    PYTHONPATH=tools python3 -m menubuild.product.keys docs/vendor-guide.md

writes its list of keys again from here.

A plain key is one row: its record carries its value under its name, in the row's
place. A record's other fields are Derived: load() makes them from the keys."""

import os
import re
import sys
import zlib
from dataclasses import dataclass
from typing import Any, Callable

from menubuild.product.pictures import (OWN_PICTURES, face, face_size, flag_size, icon, icon_sizes, larger, picture,
                                        picture_size)
from menubuild.product.scripts import glyph_forms, own_font
from menubuild.product.texts import (boolean, class_name, executable, file_name, integer, language_id, made, one_of,
                                     single_instance, text, version)

REQUIRED = object()
ALREADY_RUNNING = "The program is already running!"


@dataclass(frozen=True)
class Key:
    """A key of a table: how its value is read and checked, (checker, table, where, key,
    default) -> value; what it is when left out (REQUIRED; a value; or a function of the
    values read before it); and what it is for, in the vendor's guide (with the design's
    sizes in braces: {word_mark}, {face}, {flag}, {scales}, {most_shown}). Its table's
    record carries the value under `field` (the key's name unless given) unless `kept`
    is false, where load() makes other fields of it."""
    name: str
    read: Callable[..., Any]
    default: Any = None
    doc: str = ""
    type: Any = str
    field: str | None = None
    kept: bool = True

    @property
    def field_name(self):
        return self.field or self.name


@dataclass(frozen=True)
class Derived:
    """A field of a record that no key gives as it is: load() makes it from the keys.
    A type that names a record is written as text ("tuple[Language, ...]")."""
    name: str
    type: Any
    doc: str = ""


@dataclass(frozen=True)
class Table:
    """A table of the description, as the file names it ([name], or [[name]] for an array
    of tables), and its columns in order: the keys, which the checker reads in this order,
    and the fields of its record (`record`, the name of its class in records.py), the kept
    keys and the derived fields, in this order too, which product.json keeps."""
    name: str
    doc: str
    columns: tuple
    record: str | None = None
    array: bool = False
    required: bool = True

    @property
    def heading(self):
        return f"[[{self.name}]]" if self.array else f"[{self.name}]"

    @property
    def keys(self):
        return tuple(column for column in self.columns if isinstance(column, Key))

    @property
    def fields(self):
        """(name, type) of each field of the record, in order."""
        return tuple((column.field_name, column.type) if isinstance(column, Key) else (column.name, column.type)
                     for column in self.columns if not isinstance(column, Key) or column.kept)


# Defaults made from the keys read before them.

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


PRODUCT = Table("product", "The product's names, its texts and its marks.", record="Product", columns=(
    Key("caption", text, REQUIRED, "the window's caption, and its heading"),
    Key("heading", text, lambda v: v["caption"], "the heading, where it is not the caption"),
    Key("version", version, REQUIRED,
        "one to four numbers, each 0 to 65535 (1.00, 2.3, 4.2.0.117): the names show it as written"),
    Key("company", text, REQUIRED,
        "the version block's CompanyName; the disc's publisher; the maker's logo, in capitals"),
    Key("name", text, REQUIRED,
        "the version block's ProductName; the disc's label in Explorer; the signature's description"),
    Key("executable", executable, REQUIRED, "the menu's file name on the medium, an `.exe`"),
    Derived("title", str, "the executable's stem"),
    Key("single_instance", single_instance, instance_name,
        "the name that marks a running copy, `Local\\<name>` or `Global\\<name>`, which names the executable "
        "(default: made from the company, the executable and the caption)"),
    Key("volume_label", made(r"[A-Z0-9_]*[A-Z0-9][A-Z0-9_]*", "capitals, digits and '_'"),
        lambda v: ascii_stem(v).upper().replace("-", "_"),
        "the disc's volume label, before the version: capitals, digits and `_` "
        "(default: the executable's name in capitals)"),
    Key("release_name", made(r"[A-Za-z0-9._-]*[A-Za-z0-9][A-Za-z0-9._-]*", "letters, digits, '.', '_' and '-'"),
        ascii_stem, "the release's file names begin with it (default: the executable's name)"),
    Derived("languages", "tuple[Language, ...]"),
    Derived("description", str, "the description's path"),
    Key("description", text, None, "the version block's FileDescription (none by default)", str | None,
        field="file_description"),
    Key("form_class", class_name, lambda v: class_stem(v) + "Form",
        "the window's class (default: the executable's name, letters, digits, `_` and `-` only, + `Form`)"),
    Key("owner_class", class_name, lambda v: class_stem(v) + "Owner",
        "its hidden owner's class (default: the same + `Owner`)"),
    Key("already_running", text, ALREADY_RUNNING, f"the message of a second copy (default: \"{ALREADY_RUNNING}\")"),
    Key("version_language", language_id, 0x0409,
        "the version block's language, a LANGID (default 0x0409, U.S. English)", int),
    Derived("icon", str, "the product's icon file"),
    Derived("icon_sizes", str | None, "an icon file of more images for other sizes"),
    Derived("icon_images", int, "how many images it holds"),
    Derived("files", tuple[tuple[str, str], ...], "(file in art/, the product's picture) of [pictures]"),
    Derived("larger", tuple[tuple[str, int, str], ...],
            "(file in art/, dpi, the product's picture): its own pictures and faces given for other scales"),
    Derived("os_captions", "tuple[OsCaption, ...]"),
))

PICTURES = Table("pictures", "The product's own pictures, files beside the description, 24-bit BMPs unless said "
                 "otherwise: the build draws those left out.", columns=(
    Key("word_mark", picture, REQUIRED, "the brand's word mark, {word_mark}"),
    Key("icon", icon, REQUIRED, "the window's and the file's icon: 32 x 32, 16 colours, one image"),
    Key("icon_sizes", icon_sizes, None,
        "the icon at more sizes for Windows to pick from (Explorer, the taskbar, AutoPlay, at each display scale): "
        "an icon file of square images of 16 to 256 pixels, bitmaps or PNG, beside `icon`"),
    Key("prompt", picture, None, "\"Please Select Language:\", {prompt}"),
    Key("exit_button", picture, None, "the exit button's face, {exit_button}, the words at its centre"),
    Key("exit_picture", picture, None, "the hidden \"Exit Setup\" picture, {exit_picture}"),
    Key("maker_logo", picture, None,
        "the maker's logo, {maker_logo} (drawn from the company unless given: needed where its name draws badly)"),
    *(Key(f"{name}_larger", larger(name, picture_size(name)), None,
          "the word mark given for larger display scales, `{{ 150 = \"wordmark-150.bmp\", 200 = \"wordmark-200.bmp\" "
          "}}`: for any of {scales}, each its size times the scale to the nearest pixel (where its place on the "
          "window is a pixel larger there, its last column or row is repeated; a pixel smaller, cut off); the "
          "scales left out are made from the nearest larger one given, else the largest" if name == "word_mark" else
          f"`{name}` given for larger display scales, as `word_mark_larger`") for name in OWN_PICTURES),
))

LANGUAGE = Table("language", "One table per language, top to bottom as the window shows them (hidden ones are "
                 "carried but never seen).", record="Language", array=True, columns=(
    Key("code", integer, None, "its language code, 1 to 99 (default: its place in the list)", int),
    Key("name", text, REQUIRED, "its name in English, which a screen reader gives as its description"),
    Key("words", text, REQUIRED, "the words on its faces, in its own script: any script "
        "src/resources/scripts.toml names a font for, either direction"),
    Key("font", own_font, None, "a font file of its own for its words (`fonts/MyFont-Bold.ttf`: TrueType or "
        "OpenType, the first font of a collection): it draws the words' script in place of that script's font in "
        "src/resources/scripts.toml, and every script drawn there in the same font (Han and kana; Latin, Greek and "
        "Cyrillic), and must have each of their letters in the words; other scripts, and a blank, digit or sign it "
        "lacks, are drawn as without it (none by default)", str | None),
    Key("glyph_forms", glyph_forms, None, "Chinese, Japanese or Korean words in a region's own glyph forms: "
        "zh-Hans, zh-Hant, zh-HK, ja or ko, drawn in Noto Sans CJK Bold (Debian's fonts-noto-cjk) shaped for that "
        "language; with `font`, that font is shaped for it (none by default: WenQuanYi Zen Hei)", str | None),
    Key("folder", file_name, REQUIRED, "its setup's folder beside the menu"),
    Key("program", file_name, "Setup.exe", "the setup program in that folder, an `.exe` (default Setup.exe)"),
    Key("shown", boolean, True, "false to carry it hidden (default true); at most {most_shown} are shown", bool),
    Derived("script", str, "the ISO 15924 tag of the script its words are written in (its first letter's)"),
    # In the record: "built-in:<name>" or "file:<path>"; None where both faces are given.
    Key("flag", text, None, "taiwan, china, united-states or japan (drawn by the build), or a {flag} BMP of 24 or "
        "8 bits; none where both faces are given", str | None),
    Key("flag_larger", larger("flag", flag_size), None, "a flag file given for larger display scales, as "
        "`word_mark_larger`", tuple[tuple[int, str], ...]),
    Key("highlighted_bits", one_of(8, 24), 24, "8 stores the drawn highlighted face with a palette (default 24)",
        int),
    Derived("faces", tuple[tuple[str, str], ...], "(file in art/, the product's picture)"),
    Derived("strings", tuple[tuple[int, str], ...], "(string table number, text)"),
    Key("normal_face", face, None, "a {face} BMP that replaces the drawn normal face; with both faces given, "
        "nothing is drawn (no flag is needed, and the words are only what a screen reader says)", kept=False),
    Key("highlighted_face", face, None, "a {face} BMP that replaces the drawn highlighted face", kept=False),
    Key("normal_face_larger", larger("normal_face", face_size), None, "`normal_face` given for larger display "
        "scales, as `word_mark_larger`", kept=False),
    Key("highlighted_face_larger", larger("highlighted_face", face_size), None, "`highlighted_face` given for "
        "larger display scales, as `word_mark_larger`", kept=False),
    Key("product_name", text, None, "string code*100+1 of the string table, which the menu carries and does not "
        "use", kept=False),
    Key("exit_question", text, None, "string code*100+2 of the string table, likewise", kept=False),
))

OS_CAPTION = Table("os_caption", "Versions of Windows newer than those the menu names by itself, each named from "
                   "its lowest build on after \"Your operating system is : \" (none by default).",
                   record="OsCaption", array=True, required=False, columns=(
    Key("major", integer, REQUIRED, "with `minor`, 6.0 (Vista), 6.1, 6.2, 6.3 or 10.0 (10 and 11)", int),
    Key("minor", integer, REQUIRED, "the minor version", int),
    Key("build", integer, 0, "the lowest build it names (default 0)", int),
    Key("caption", text, REQUIRED, "the words shown, Western characters that fit the label"),
))

TABLES = (PRODUCT, PICTURES, LANGUAGE, OS_CAPTION)

GUIDE_START = "<!-- The keys, as tools/menubuild/product/keys.py declares them: "
GUIDE_END = "<!-- The end of the keys. -->"


def guide(design):
    """The vendor's guide's list of keys, table by table, with the design's sizes filled in."""
    def size(width, height):
        return f"{width} x {height}"
    percents = design.drawn_percents
    facts = {p.key: size(p.width, p.height) for _, p in design.pictures if p.key}
    facts.update(face=size(design.face.width, design.face.height),
                 flag=size(design.face.flag_width, design.face.flag_height),
                 scales=", ".join(map(str, percents[:-1])) + f" and {percents[-1]} %",
                 most_shown=design.rows.most_shown)
    lines = [GUIDE_START + "write it again with `PYTHONPATH=tools python3 -m menubuild.product.keys "
             "docs/vendor-guide.md`. -->"]
    for table in TABLES:
        lines += ["", f"### `{table.heading}`", "", table.doc.format_map(facts), "", "| Key | | What it is |",
                  "|---|---|---|"]
        lines += [f"| `{key.name}` | {'required' if key.default is REQUIRED else ''} | {key.doc.format_map(facts)} |"
                  for key in table.keys]
    return "\n".join(lines + ["", GUIDE_END])


def main(argv):
    """Writes the list of keys into the guide at argv[0], in place of the one it has."""
    from menubuild.product.design import Design
    sources = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
    listed = guide(Design.load(os.path.join(sources, "src", "resources", "design.toml")))
    with open(argv[0], encoding="utf-8") as f:
        text_ = f.read()
    start, end = text_.index(GUIDE_START), text_.index(GUIDE_END) + len(GUIDE_END)
    with open(argv[0], "w", encoding="utf-8", newline="\n") as f:
        f.write(text_[:start] + listed + text_[end:])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
