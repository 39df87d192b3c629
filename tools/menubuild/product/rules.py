"""The rules that tie a description's keys together, each named for what it keeps true:
a value that every key's reader accepts on its own may still be refused here, with a
message that names the key the description has."""

import os
import unicodedata

from menubuild.product import scripts as script_fonts
from menubuild.product.pictures import BUILT_IN_FLAGS, bmp, flag_size
from menubuild.product.records import disc_label
from menubuild.product.render import Font
from menubuild.product.texts import hidden, windows_fold

# The disc's publisher field holds the company, its application field "<name> <version>":
# 128 bytes each, counted in UTF-8 (xorriso refuses more).
DISC_FIELD = 128
DISC_LABEL = 16  # characters of a volume label that Windows shows
# What lies at the medium's root beside the language folders (the menu's own name is the other).
AUTORUN = "AUTORUN.INF"
# The versions of Windows a caption may name: Vista, 7, 8, 8.1, and 10 and 11 (10.0).
OS_VERSIONS = ((6, 0), (6, 1), (6, 2), (6, 3), (10, 0))


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


def words_fonts(check, language, where):
    """The fonts a language's words are drawn in (scripts.Fonts), and the key that chose
    one of its own (None): its `font`, or the face of Noto Sans CJK its `glyph_forms`
    name, in place of the font of its words' script."""
    forms, path = language["glyph_forms"], language["font"]
    script = script_fonts.script_of(language["words"])
    if forms and (script not in check.fonts.table or check.fonts.table[script].grid != "cjk"):
        check.fail(where, "glyph_forms", f"{forms!r} chooses the glyph forms of Chinese, Japanese or Korean words; "
                   f"{language['words']!r} are in the {script} script (ISO 15924)")
    if path:
        return check.fonts.own(script, Font(path)), "font"
    if forms:
        font = check.fonts.forms_font(forms)
        if font is None:
            check.fail(where, "glyph_forms", f"{check.fonts.forms[forms].name}: install "
                       f"{check.fonts.forms[forms].package}, which has {check.fonts.forms_path(forms)}")
        return check.fonts.own(script, font), "glyph_forms"
    return check.fonts, None


def words_are_drawable(check, language, where):
    """The script the words are written in, where the faces are drawn: each character is
    drawn in its script's font (scripts.py), or the language's own, which must be
    installed and have it. Whether the words fit their face is judged by the art
    generator, which draws them."""
    words = language["words"]
    # A combining mark stands on the letter before it: with none, the font draws it on
    # nothing, a stray accent or vowel sign beside the words.
    alone = next((i for i, c in enumerate(words) if unicodedata.category(c) in ("Mn", "Mc", "Me")
                  and (i == 0 or words[i - 1].isspace())), None)
    if alone is not None:
        check.fail(where, "words", f"{words[alone]!r} (U+{ord(words[alone]):04X}) is a combining mark with no letter "
                   "before it to stand on: it would be drawn on nothing")
    fonts, own = words_fonts(check, language, where)
    for c, tag in zip(words, script_fonts.scripts_of(words, fonts)):
        script = fonts.table.get(tag)
        if script is None:
            check.fail(where, "words", f"{c!r} (U+{ord(c):04X}) is of the script {tag} (ISO 15924), which no font "
                       "of the build draws (src/resources/scripts.toml): give both faces (normal_face, "
                       "highlighted_face)")
        font = fonts.font(tag)
        if font is None:
            check.fail(where, "words", f"{script.name}: install {script.package}, which has "
                       f"{fonts.path(tag)}, the font of the {script.name} script")
        if not script_fonts.ignorable(c) and font.missing(c) is not None:
            mine = own and font is not check.fonts.font(tag)
            check.fail(where, own if mine else "words", f"{c!r} (U+{ord(c):04X}), in {script.name} words, is not in "
                       f"{font.name} ({font.path if mine else os.path.basename(font.path)}), "
                       + ({"font": "the language's own font", "glyph_forms": "the font of its glyph forms"}[own]
                          if mine else f"the font of the {script.name} script")
                       + ": it would be drawn as the font's missing-glyph box")
        # A font file cut short, or one of empty glyphs, maps its letters and draws nothing.
        if own == "font" and font is not check.fonts.font(tag) and unicodedata.category(c)[0] == "L" \
                and font.ink(c, 24) == (0, 0):
            check.fail(where, "font", f"{c!r} (U+{ord(c):04X}) draws no ink in {font.name} ({font.path}): the "
                       "font file is damaged, or its letters are empty")
    return script_fonts.script_of(words)


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
