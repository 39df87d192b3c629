"""One typed model of a product's description: the records (records.py) of its
tables, read by the rows of their keys (keys.py: each key's reader, from texts.py or
pictures.py, and its default) and held to the rules that tie keys together
(rules.py). menubuild.product.configure reads a description into it and writes the
build's files from it; the medium's staging and the tests build the same model from
product.json (Product.from_json), without the fonts.

Reading needs a Checker: where a value comes from (for messages that name the file
and the key), the design facts (design.py), the fonts of the faces' words by script
(scripts.py) and the fonts that judge whether a text Windows draws fits (render.py)."""

import os
import tomllib

from menubuild.product import keys, rules
from menubuild.product import scripts as script_fonts
from menubuild.product.keys import REQUIRED
from menubuild.product.pictures import FACE_FILES, OWN_PICTURES
from menubuild.product.records import record_of
from menubuild.product.texts import windows_fold


class BadDescription(Exception):
    pass


class Checker:
    """Where a value comes from, for messages that name the file and the key; the design
    facts, the fonts of the scripts (scripts.Fonts) and the font the heading is measured in."""

    def __init__(self, path, design, fonts, heading_font):
        self.path = path
        self.folder = os.path.dirname(os.path.abspath(path))
        self.design, self.fonts, self.heading_font = design, fonts, heading_font
        self.latin, self.cjk = fonts.font("Latn"), fonts.font("Hani")
        self.warnings = []  # what is accepted but likely not meant

    def warn(self, where, key, what):
        self.warnings.append(f"{self.path}: {where}, key '{key}': {what}")

    def fail(self, where, key, what):
        place = f"{where}, key '{key}'" if key else where
        raise BadDescription(f"{self.path}: {place}: {what}")

    def table(self, table, declared, where):
        """The values of a table, read by the rows of its keys (keys.py) in their order."""
        rows = declared.keys
        if not isinstance(table, dict):
            self.fail(where, None, "is not a table")
        names = {key.name for key in rows}
        for name in table:
            if name not in names:
                self.fail(where, name, f"unknown key (known: {', '.join(sorted(names))})")
        for key in rows:
            if key.default is REQUIRED and key.name not in table:
                self.fail(where, key.name, "missing")
        values = {}
        for key in rows:
            default = key.default(values) if callable(key.default) else key.default
            values[key.name] = key.read(self, table, where, key.name, default)
        return values


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
    names = {table.name for table in keys.TABLES}
    for name in description:
        if name not in names:
            check.fail("the file", name, f"unknown key (known: {', '.join(sorted(names))})")
    for table in keys.TABLES:
        if table.required and table.name not in description:
            check.fail("the file", table.name, "missing")

    where, stated = "[product]", description["product"]
    p = check.table(stated, keys.PRODUCT, where)
    rules.single_instance_names_the_menu(check, p, where)
    rules.disc_labels_fit(check, p, where, isinstance(stated, dict) and "volume_label" in stated)
    rules.disc_fields_fit(check, p, where)
    rules.windows_texts_fit(check, p, where, stated)
    rules.class_names_differ(check, p, where)

    pictures = check.table(description["pictures"], keys.PICTURES, "[pictures]")
    if pictures["maker_logo"] is None:
        rules.logo_draws_company(check, p["company"], where)

    languages = description["language"]
    if not isinstance(languages, list) or not languages:
        check.fail("the file", "language", "there must be at least one [[language]] table")
    codes, folders, words, rows, larger_faces = {}, {}, {}, [], []
    for position, table in enumerate(languages, 1):
        where = f"[[language]] number {position}"
        if isinstance(table, dict) and isinstance(table.get("name"), str):
            where += f" ({table['name']})"
        row = check.table(table, keys.LANGUAGE, where)
        if row["code"] is None:
            row["code"] = position
        rules.codes_differ(check, row, where, codes)
        rules.folders_apart(check, row, where, p["executable"], folders)
        rules.program_is_a_program(check, row, where)
        seen = rules.seen_words(row["words"])
        if row["shown"] and seen in words:
            check.fail(where, "words", f"{row['words']!r} are the words of {words[seen]} too: the two rows cannot "
                       "be told apart")
        faces = tuple((f"{stem}{row['code']}.bmp", row[key]) for key, stem in FACE_FILES if row[key])
        larger_faces += [(f"{stem}{row['code']}.bmp", dpi, path)
                         for key, stem in FACE_FILES for dpi, path in row[key + "_larger"]]
        drawn = len(faces) < 2  # words and flag are drawn unless both faces are the product's own
        script = rules.words_are_drawable(check, row, where) if drawn else script_fonts.script_of(row["words"])
        flag = rules.flag_is_drawable(check, row, table, where) if drawn else None
        if not drawn and row["flag_larger"]:
            check.fail(where, "flag_larger", "the flag is not drawn, since both faces are given: leave these out")
        for key in ("font", "glyph_forms"):
            if not drawn and row[key]:
                check.fail(where, key, "the words are not drawn, since both faces are given: leave this out")
        codes[row["code"]] = folders[windows_fold(row["folder"])] = row["name"]
        if row["shown"]:
            words[seen] = row["name"]
        rows.append(record_of(keys.LANGUAGE, {
            **row, "flag": flag, "flag_larger": row["flag_larger"] if drawn else (),
            "highlighted_bits": row["highlighted_bits"] if drawn else 24}, script=script, faces=faces,
            strings=tuple((row["code"] * 100 + n, row[key])
                          for n, key in ((1, "product_name"), (2, "exit_question")) if row[key])))
    rules.rows_fit(check, rows)

    captions, versions = description.get("os_caption", []), {}
    if not isinstance(captions, list):
        check.fail("the file", "os_caption", "must be an array of tables, [[os_caption]]")
    os_captions = []
    for position, table in enumerate(captions, 1):
        where = f"[[os_caption]] number {position}"
        row = check.table(table, keys.OS_CAPTION, where)
        rules.os_caption_is_known(check, row, where, versions)
        rules.os_caption_fits(check, row, where)
        versions[(row["major"], row["minor"], row["build"])] = where
        os_captions.append(record_of(keys.OS_CAPTION, row))

    files = tuple(sorted((check.design.by_key(key).file, pictures[key]) for key in OWN_PICTURES if pictures[key]))
    larger = tuple(sorted((check.design.by_key(key).file, dpi, path) for key in OWN_PICTURES
                          for dpi, path in pictures[key + "_larger"])) + tuple(larger_faces)
    return record_of(
        keys.PRODUCT, p, title=os.path.splitext(p["executable"])[0], languages=tuple(rows),
        description=os.path.abspath(path), icon=pictures["icon"],
        icon_sizes=pictures["icon_sizes"] and pictures["icon_sizes"][0],
        icon_images=pictures["icon_sizes"][1] if pictures["icon_sizes"] else 0, files=files, larger=larger,
        os_captions=tuple(os_captions))
