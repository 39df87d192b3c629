"""Reads a product's description, checks it, and writes what the build makes
the menu, its pictures and its medium from: the build's configure step.

    python3 -m menubuild.product.configure DESCRIPTION --out FOLDER --templates FOLDER
        --font-folder FOLDER --heading-font FILE

DESCRIPTION is the product.toml of a product folder (see products/velbrook);
model.py reads it into the product's model. Everything is checked before
anything is written: a bad description stops with one message naming the
file, the key and what is wrong, and the folder is left as it was. The
templates folder (src/resources) holds design.toml, the window's design
facts, scripts.toml, the font of each script the faces' words may be written
in (files in the font folder), and the templates below. FOLDER then holds:

    product.h       the texts and the language table, for the menu's code
    design.h        the design facts, for the layout, the resources and the art generator
    menu.rc         the resource script, from the template menu.rc.in
    menu.manifest   the manifest, from the template menu.manifest.in
    art.list        what the art generator draws or copies (its format: tools/artgen/art_list.h)
    product.json    the model, for the medium's staging and the tests (Product.from_json)
    product.cmake   the names the build needs, the scales it draws pictures for, and the files
                    it is made from
"""

import argparse
import os
import re
import sys

from menubuild.product import design as design_facts
from menubuild.product import model
from menubuild.product import scripts as script_fonts
from menubuild.product.render import Font
from menubuild.product.rules import logo_words
from menubuild.product.texts import version_numbers

# The names Windows gives the languages a version block may be in (the others are named by number).
LANGUAGE_NAMES = {0x0404: "Chinese (Taiwan)", 0x0407: "German (Germany)", 0x0409: "English (United States)",
                  0x040C: "French (France)", 0x0411: "Japanese (Japan)", 0x0412: "Korean (Korea)",
                  0x0804: "Chinese (PRC)", 0x0809: "English (United Kingdom)"}


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


def header(p):
    rows = "\n".join(f"    {{{row.code}, {c_text(str(row.code))}, {c_text(row.words)}, {c_text(row.name)}, "
                     f"{c_text(row.folder)}, {c_text(row.program)}, {'true' if row.shown else 'false'}}},"
                     for row in p.languages)
    captions = "".join(f"    {{{row.major}, {row.minor}, {row.build}, {c_text(row.caption)}}},\n"
                       for row in p.os_captions)
    return f"""// Written by menubuild.product.configure from {os.path.basename(os.path.dirname(p.description))}/product.toml:
// change that, not this.
#pragma once

#include <array>
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

inline constexpr wchar_t kCaption[] = {c_text(p.caption)};
inline constexpr wchar_t kHeading[] = {c_text(p.heading)};
inline constexpr wchar_t kTitle[] = {c_text(p.title)};  // the application's, in message boxes
inline constexpr wchar_t kSingleInstance[] = {c_text(p.single_instance)};
inline constexpr wchar_t kFormClass[] = {c_text(p.form_class)};    // the window's class
inline constexpr wchar_t kOwnerClass[] = {c_text(p.owner_class)};  // its hidden owner's class
inline constexpr wchar_t kAlreadyRunning[] = {c_text(p.already_running)};

// In the description's order: the order RunSetup tests them in, and the order of the rows.
inline constexpr Language kLanguages[] = {{
{rows}
}};

// Versions of Windows newer than the built-in captions know, each from its lowest build.
struct OsCaption {{ unsigned major, minor, build; const wchar_t* caption; }};
inline constexpr std::array<OsCaption, {len(p.os_captions)}> kOsCaptions{{{{
{captions}}}}};

}}  // namespace product
"""


def resource_script(p, template, design):
    ids = design.ids
    faces = "\n".join(f'{ids.faces(row.code)[0]} BITMAP "art/CountryImage{row.code}.bmp"\n'
                      f'{ids.faces(row.code)[1]} BITMAP "art/CountryPic{row.code}.bmp"'
                      for row in p.languages)
    faces = "\n".join(sorted(faces.splitlines(), key=lambda line: int(line.split()[0])))
    strings = "\n".join(f"  {number} {rc_text(text)}" for row in p.languages for number, text in sorted(row.strings))
    table = ("// Carried, not used: no step of the program loads a string.\n"
             "LANGUAGE 0x09, 0x01  // English (United States)\nSTRINGTABLE\nBEGIN\n" + strings + "\nEND\n"
             if strings else "")
    language = p.version_language
    fields = {"FACES": faces, "VERSION": ", ".join(map(str, version_numbers(p.version))),
              "VERSION_TEXT": rc_text(p.version),
              "COMPANY": rc_text(p.company), "PRODUCT_NAME": rc_text(p.name),
              "FILE_DESCRIPTION": (f'      VALUE "FileDescription", {rc_text(p.file_description)}\n'
                                   if p.file_description else ""),
              "INTERNAL_NAME": rc_text(p.title), "ORIGINAL_FILENAME": rc_text(p.executable),
              "STRING_TABLE": table,
              "ICON_SIZES": "".join(f'{ids.form_icon + n} 3 "art/Icon{n}.icon"  // RT_ICON, for other sizes\n'
                                    for n in range(1, p.icon_images + 1)),
              "VERSION_LANGUAGE": f"LANGUAGE 0x{language & 0x3FF:02X}, 0x{language >> 10:02X}  // "
                                  + LANGUAGE_NAMES.get(language, f"language 0x{language:04X}"),
              "VERSION_BLOCK": f'"{language:04X}04B0"', "TRANSLATION": f"0x{language:04X}, 1200"}
    return fill(template, fields)


def manifest(p, template):
    parts = [re.sub(r"[^A-Za-z0-9]", "", part) or fallback for part, fallback in ((p.company, "Maker"),
                                                                                   (p.title, "Product"))]
    name = ".".join(parts) + ".Menu"
    version = ".".join(map(str, version_numbers(p.version)))
    return fill(template, {"NAME": xml_text(name), "VERSION": version, "DESCRIPTION": xml_text(p.caption)})


def fill(template, fields):
    def field(match):
        return fields[match.group(1)]
    return re.sub(r"@([A-Z_]+)@", field, template)


# The art list's lines: a kind, then its fields as name=value, split by tabs (see
# tools/artgen/art_list.h, the reader, for what each kind means).
ART_KINDS = {"font": ("script", "grid", "source"), "draw": ("file",), "logo": ("file", "words"),
             "face": ("code", "name", "flag", "highlighted_bits", "words"),
             "copy": ("file", "source"), "larger": ("file", "dpi", "source"),
             "larger-flag": ("code", "dpi", "source"), "face-font": ("code", "source", "face", "language"),
             "icon": ("source",), "icon-sizes": ("source",)}


def art_line(kind, **fields):
    # The model refuses a control character in a text and in the product folder's path.
    assert tuple(fields) == ART_KINDS[kind], (kind, fields)
    assert not any(c in "\t\r\n" for value in map(str, fields.values()) for c in value), fields
    return "\t".join([kind] + [f"{name}={value}" for name, value in fields.items()])


def needed_scripts(p, fonts):
    """The scripts of the words the faces show, Latin first (the fixed pictures' words are Latin)."""
    found = ["Latn"]
    for row in p.languages:
        if row.flag:
            found += [tag for tag in dict.fromkeys(script_fonts.scripts_of(row.words, fonts)) if tag not in found]
    return found


def art_list(p, design, fonts):
    copied = dict(p.files)
    picture = {name: slot.file for name, slot in design.pictures}
    lines = ["# Written by menubuild.product.configure; read by tools/artgen (its format: tools/artgen/art_list.h)."]
    lines += [art_line("font", script=tag, grid=fonts.table[tag].grid, source=fonts.path(tag))
              for tag in needed_scripts(p, fonts)]
    lines += [art_line("draw", file=picture[name]) for name in ("image4", "image3", "command1")
              if picture[name] not in copied]
    if picture["image2"] not in copied:
        lines.append(art_line("logo", file=picture["image2"], words=logo_words(p.company)))
    lines += [art_line("draw", file=picture["picture1"]), art_line("draw", file="Hand.cur")]
    for row in p.languages:
        if row.flag:
            # A picture's larger ones come before the line that makes it.
            lines += [art_line("larger-flag", code=row.code, dpi=dpi, source=path) for dpi, path in row.flag_larger]
            if row.font or row.glyph_forms:
                lines.append(art_line("face-font", code=row.code, source=words_font(row, fonts),
                                      face=0 if row.font else fonts.forms[row.glyph_forms].face,
                                      language=row.glyph_forms or ""))
            lines.append(art_line("face", code=row.code, name=row.name, flag=row.flag,
                                  highlighted_bits=row.highlighted_bits, words=row.words))
    lines += [art_line("larger", file=target, dpi=dpi, source=path) for target, dpi, path in p.larger]
    for target, path in p.files:
        lines.append(art_line("copy", file=target, source=path))
    for row in p.languages:
        lines += [art_line("copy", file=target, source=path) for target, path in row.faces]
    lines.append(art_line("icon", source=p.icon))
    if p.icon_sizes:
        lines.append(art_line("icon-sizes", source=p.icon_sizes))
    return "\n".join(lines) + "\n"


def words_font(row, fonts):
    """The font file of a language's own that draws its words, or None."""
    return row.font or (fonts.forms_path(row.glyph_forms) if row.glyph_forms else None)


def art_files(p, design):
    names = [slot.file for _, slot in design.pictures] + ["Hand.cur", "FrmAutoSelect.ico", "FrmAutoSelect.icon",
                                                          "FileIcon.group"]
    names += [f"{face}{row.code}.bmp" for row in p.languages for face in ("CountryImage", "CountryPic")]
    names += [f"Icon{n}.icon" for n in range(1, p.icon_images + 1)]
    return sorted(names)


def inputs(p):
    """The files the description names, so that a change to one is built again."""
    found = [p.description, p.icon, *([p.icon_sizes] if p.icon_sizes else []), *(path for _, path in p.files),
             *(path for _, _, path in p.larger)]
    for row in p.languages:
        found += [path for _, path in row.faces] + ([row.flag[5:]] if (row.flag or "").startswith("file:") else [])
        found += [path for _, path in row.flag_larger] + ([row.font] if row.font else [])
    return found


def font_files(p, fonts):
    """The font files of the build machine that draw the faces' words."""
    return ({fonts.path(tag) for tag in needed_scripts(p, fonts)}
            | {fonts.forms_path(row.glyph_forms) for row in p.languages if row.glyph_forms and row.flag and not row.font})


def cmake(p, design, fonts):
    def quoted(value):
        return '"' + value.replace("\\", "/").replace('"', '\\"') + '"'
    return "\n".join([
        "# Written by menubuild.product.configure.",
        f"set(VELBROOK_EXECUTABLE_NAME {quoted(p.title)})",
        f"set(VELBROOK_VERSION_TEXT {quoted(p.version)})",
        f"set(VELBROOK_ART_DPIS {' '.join(map(str, design.drawn_dpis))})",
        f"set(VELBROOK_ART_FILES {' '.join(art_files(p, design))})",
        f"set(VELBROOK_PRODUCT_INPUTS {' '.join(quoted(path) for path in inputs(p))})",
        f"set(VELBROOK_FONTS {' '.join(sorted(map(quoted, font_files(p, fonts))))})",
    ]) + "\n"


def write(p, design, fonts, out, templates):
    with open(os.path.join(templates, "menu.rc.in"), encoding="utf-8") as f:
        rc = resource_script(p, f.read(), design)
    with open(os.path.join(templates, "menu.manifest.in"), encoding="utf-8") as f:
        xml = manifest(p, f.read())
    outputs = {"product.h": header(p), "design.h": design_facts.header(design), "menu.rc": rc,
               "menu.manifest": xml, "art.list": art_list(p, design, fonts), "product.json": p.to_json(),
               "product.cmake": cmake(p, design, fonts)}
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
    parser.add_argument("--font-folder", required=True)
    parser.add_argument("--heading-font", required=True)
    args = parser.parse_args(argv)
    table = os.path.join(args.templates, "scripts.toml")
    fonts = script_fonts.Fonts(script_fonts.load(table), args.font_folder, script_fonts.load_forms(table))
    try:
        # The fixed pictures' words are Latin, and a caption Liberation Sans lacks is measured in the CJK font.
        heading = Font(args.heading_font)
        for tag in ("Latn", "Hani"):
            if fonts.font(tag) is None:
                open(fonts.path(tag), "rb")  # the OSError that names it
    except OSError as e:
        print(f"product: cannot read the font {e.filename}: {e.strerror}", file=sys.stderr)
        return 1
    design = design_facts.Design.load(os.path.join(args.templates, "design.toml"))
    check = model.Checker(args.description, design, fonts, heading)
    try:
        p = model.load(check)
    except model.BadDescription as e:
        print(f"product: the description is refused: {e}", file=sys.stderr)
        return 1
    for warning in check.warnings:
        print(f"product: warning: {warning}", file=sys.stderr)
    write(p, design, fonts, args.out, args.templates)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
