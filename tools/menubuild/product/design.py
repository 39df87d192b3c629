"""The window's design facts (src/resources/design.toml) as frozen data, and
design.h, the header the layout, the resource script and the art generator
read them from."""

import tomllib
from dataclasses import dataclass, fields

FIRST_MORE_CODE = 10  # the first language code whose faces' ids come from the second range

@dataclass(frozen=True)
class Ids:
    form_icon: int
    file_icon_group: int
    hand_cursor: int
    country_image_base: int
    country_pic_base: int
    country_image_more: int
    country_pic_more: int

    def faces(self, code):
        """A language's normal and highlighted faces' ids: codes from 10 on take the second range."""
        if code < FIRST_MORE_CODE:
            return self.country_image_base + code, self.country_pic_base + code
        return self.country_image_more + code, self.country_pic_more + code


@dataclass(frozen=True)
class Picture:
    file: str
    id: int
    width: int
    height: int
    key: str | None = None  # the description's [pictures] key that may give it as a file


@dataclass(frozen=True)
class Script:
    """A face's grid for words in some scripts (src/resources/scripts.toml names which)."""
    font_size: float
    words_left: int
    flag_top: int
    rule_row: int
    shadow: int
    words_top: int = 0  # where the ink's top stands, for a grid without a baseline
    baseline: int = 0   # the first row below the letters' baseline; 0: none


@dataclass(frozen=True)
class Face:
    width: int
    height: int
    flag_left: int
    flag_width: int
    flag_height: int
    rule_left: int
    rule_width: int
    words_right: int
    margin: int
    latin: Script
    cjk: Script
    other: Script


@dataclass(frozen=True)
class Rows:
    left: int
    top: int
    pitch: int
    per_column: int
    columns: int
    column_pitch: int

    @property
    def most_shown(self):
        return self.per_column * self.columns


@dataclass(frozen=True)
class Rect:
    left: int
    top: int
    width: int
    height: int


@dataclass(frozen=True)
class TextRoom:
    width: int  # pixels
    points: float
    label: Rect | None = None

    @property
    def em(self):
        """The font's size in pixels at 96 dpi."""
        return self.points * 96 / 72


@dataclass(frozen=True)
class Texts:
    caption: TextRoom
    heading: TextRoom
    os_caption: TextRoom


@dataclass(frozen=True)
class Drawn:
    prompt_size: float
    prompt_top: int
    exit_size: float
    exit_width: int
    exit_picture_top: int
    exit_button_left: int
    exit_button_top: int
    logo_size: float
    logo_left: int
    logo_top: int
    logo_width: int
    logo_height: int
    logo_least_ratio: float
    logo_most_ratio: float
    logo_rule_top: int
    logo_rule_height: int


@dataclass(frozen=True)
class Design:
    twips_per_pixel: int
    drawn_dpis: tuple[int, ...]  # the densities the pictures are drawn for besides 96 dpi
    ids: Ids
    pictures: tuple[tuple[str, Picture], ...]  # (name in the layout, lower case; picture)
    face: Face
    rows: Rows
    texts: Texts
    drawn: Drawn

    @property
    def drawn_percents(self):
        """The drawn scales as display scales in percent, as a description names them."""
        return tuple(dpi * 100 // 96 for dpi in self.drawn_dpis)

    def picture(self, name):
        return dict(self.pictures)[name]

    def by_key(self, key):
        """The picture a description's [pictures] key gives as a file."""
        return next(p for _, p in self.pictures if p.key == key)

    @staticmethod
    def load(path):
        with open(path, "rb") as f:
            raw = tomllib.load(f)
        face = dict(raw["face"])
        for grid in ("latin", "cjk", "other"):
            face[grid] = Script(**face[grid])
        twips = raw["twips_per_pixel"]

        def room(points, width=None, label=None):
            # A label's room is its own width: one fact, not two.
            label = Rect(**label) if label else None
            return TextRoom(label.width // twips if label else width, points, label)
        texts = {name: room(**fields_) for name, fields_ in raw["texts"].items()}
        return Design(twips, tuple(raw["drawn_dpis"]), Ids(**raw["ids"]),
                      tuple((name, Picture(**p)) for name, p in raw["pictures"].items()),
                      Face(**face), Rows(**raw["rows"]), Texts(**texts), Drawn(**raw["drawn"]))


def _value(v):
    return (f"{v}f" if isinstance(v, float) else str(v))


def _camel(name):
    head, *rest = name.split("_")
    return head + "".join(part.capitalize() for part in rest)


def _struct(type_name, name, value):
    """A C++ aggregate of a frozen record's scalar fields, one a line: its type and its constant."""
    scalars = [f.name for f in fields(value) if isinstance(getattr(value, f.name), (int, float))]
    members = "".join(f"    {'float' if isinstance(getattr(value, f), float) else 'int'} {_camel(f)};\n"
                      for f in scalars)
    values = ", ".join(_value(getattr(value, f)) for f in scalars)
    return f"struct {type_name} {{\n{members}}};\ninline constexpr {type_name} {name}{{{values}}};\n"


def header(design):
    """design.h: the ids as macros (the resource compiler reads those), the rest as constants."""
    ids = [("IDI_FORM_ICON", design.ids.form_icon), ("IDI_FILE_ICON_GROUP", design.ids.file_icon_group),
           ("IDC_HAND_CURSOR", design.ids.hand_cursor)]
    ids += [(f"IDB_{name.upper()}", p.id) for name, p in design.pictures]
    ids += [("IDB_COUNTRYIMAGE_BASE", design.ids.country_image_base),
            ("IDB_COUNTRYPIC_BASE", design.ids.country_pic_base),
            ("IDB_COUNTRYIMAGE_MORE", design.ids.country_image_more),
            ("IDB_COUNTRYPIC_MORE", design.ids.country_pic_more)]
    macros = "\n".join(f"#define {name} {value}" for name, value in ids)
    pictures = "".join(f"inline constexpr Size k{name.capitalize()}{{{p.width}, {p.height}}};  // {p.file}\n"
                       for name, p in design.pictures)
    labels = "".join(f"inline constexpr Rect k{_camel(name).capitalize()[0]}{_camel(name)[1:]}Label"
                     f"{{{r.left}, {r.top}, {r.width}, {r.height}}};\n"
                     for name, r in (("heading", design.texts.heading.label),
                                     ("os_caption", design.texts.os_caption.label)))
    f = design.face
    grids = "".join(f"inline constexpr Script k{name.capitalize()}{{{_value(g.font_size)}, {g.words_left}, {g.words_top}, "
                    f"{g.baseline}, {g.flag_top}, {g.rule_row}, {g.shadow}}};\n"
                    for name, g in (("latin", f.latin), ("cjk", f.cjk), ("other", f.other)))
    return f"""/* Written by menubuild.product.configure from src/resources/design.toml: change that, not this. */
#ifndef VELBROOK_DESIGN_H
#define VELBROOK_DESIGN_H

{macros}

#ifndef RC_INVOKED
namespace design {{

struct Size {{ int width, height; }};
struct Rect {{ int left, top, width, height; }};  // twips

inline constexpr int kTwipsPerPixel = {design.twips_per_pixel};
// The densities every picture is drawn again for, besides 96 dpi.
inline constexpr int kDrawnDpis[] = {{{", ".join(map(str, design.drawn_dpis))}}};

// The pictures the resource script embeds, in pixels.
{pictures}inline constexpr Size kFace{{{f.width}, {f.height}}};
inline constexpr Size kFlag{{{f.flag_width}, {f.flag_height}}};

// A face's grid.
inline constexpr int kFlagLeft = {f.flag_left};
inline constexpr int kRuleLeft = {f.rule_left}, kRuleWidth = {f.rule_width};
inline constexpr int kWordsRight = {f.words_right};
inline constexpr int kWordsMargin = {f.margin};
struct Script {{ float fontSize; int wordsLeft, wordsTop, baseline, flagTop, ruleRow, shadow; }};
{grids}
// The rows of faces on the window, in twips.
inline constexpr int kRowsLeft = {design.rows.left}, kRowsTop = {design.rows.top}, kRowPitch = {design.rows.pitch};
inline constexpr int kRowsPerColumn = {design.rows.per_column}, kRowColumns = {design.rows.columns};
inline constexpr int kColumnPitch = {design.rows.column_pitch};
inline constexpr int kMostShownRows = kRowsPerColumn * kRowColumns;

// A language's faces' resource ids by its code: codes from {FIRST_MORE_CODE} on take the second range.
constexpr int NormalFaceId(int code) {{
    return code < {FIRST_MORE_CODE} ? IDB_COUNTRYIMAGE_BASE + code : IDB_COUNTRYIMAGE_MORE + code;
}}
constexpr int HighlightedFaceId(int code) {{
    return code < {FIRST_MORE_CODE} ? IDB_COUNTRYPIC_BASE + code : IDB_COUNTRYPIC_MORE + code;
}}

// Labels whose texts the description gives, and their fonts' sizes.
{labels}inline constexpr float kHeadingPoints = {_value(design.texts.heading.points)};
inline constexpr float kOsCaptionPoints = {_value(design.texts.os_caption.points)};

// The drawn pictures' words.
{_struct("DrawnWords", "kDrawn", design.drawn)}
}}  // namespace design
#endif

#endif
"""
