"""The judge of whether a text fits: FreeType itself (Debian's libfreetype.so.6),
loaded through ctypes, laying the text out as the art generator's Font::Render
(tools/artgen/text.cpp) does, and measuring the ink that would be drawn.

Measuring advance widths from the font's tables disagreed with the drawing
near the limit (kerning, hinting, the ink's own edges); this takes the same
size, load flags, kerning and coverage threshold as the drawing, so a text
that is accepted is drawn inside its box. Change the two together."""

import ctypes
import ctypes.util

_LOAD_RENDER, _LOAD_NO_HINTING, _LOAD_TARGET_NORMAL = 4, 2, 0
_FACE_FLAG_KERNING = 1 << 6
_FACE_FLAGS_SFNT_SCALABLE = 1 << 0 | 1 << 3
_INK = 16  # the coverage from which a pixel counts as ink when the mask is cropped


class _Generic(ctypes.Structure):
    _fields_ = [("data", ctypes.c_void_p), ("finalizer", ctypes.c_void_p)]


class _Vector(ctypes.Structure):
    _fields_ = [("x", ctypes.c_long), ("y", ctypes.c_long)]


class _Bitmap(ctypes.Structure):
    _fields_ = [("rows", ctypes.c_uint), ("width", ctypes.c_uint), ("pitch", ctypes.c_int),
                ("buffer", ctypes.POINTER(ctypes.c_ubyte)), ("num_grays", ctypes.c_ushort),
                ("pixel_mode", ctypes.c_ubyte), ("palette_mode", ctypes.c_ubyte), ("palette", ctypes.c_void_p)]


class _GlyphSlot(ctypes.Structure):  # FT_GlyphSlotRec up to bitmap_top
    _fields_ = [("library", ctypes.c_void_p), ("face", ctypes.c_void_p), ("next", ctypes.c_void_p),
                ("glyph_index", ctypes.c_uint), ("generic", _Generic), ("metrics", ctypes.c_long * 8),
                ("linearHoriAdvance", ctypes.c_long), ("linearVertAdvance", ctypes.c_long), ("advance", _Vector),
                ("format", ctypes.c_int), ("bitmap", _Bitmap), ("bitmap_left", ctypes.c_int),
                ("bitmap_top", ctypes.c_int)]


class _Face(ctypes.Structure):  # FT_FaceRec up to glyph
    _fields_ = [("num_faces", ctypes.c_long), ("face_index", ctypes.c_long), ("face_flags", ctypes.c_long),
                ("style_flags", ctypes.c_long), ("num_glyphs", ctypes.c_long), ("family_name", ctypes.c_char_p),
                ("style_name", ctypes.c_char_p), ("num_fixed_sizes", ctypes.c_int),
                ("available_sizes", ctypes.c_void_p), ("num_charmaps", ctypes.c_int), ("charmaps", ctypes.c_void_p),
                ("generic", _Generic), ("bbox", ctypes.c_long * 4), ("units_per_EM", ctypes.c_ushort),
                ("ascender", ctypes.c_short), ("descender", ctypes.c_short), ("height", ctypes.c_short),
                ("max_advance_width", ctypes.c_short), ("max_advance_height", ctypes.c_short),
                ("underline_position", ctypes.c_short), ("underline_thickness", ctypes.c_short),
                ("glyph", ctypes.POINTER(_GlyphSlot))]


def _library():
    path = ctypes.util.find_library("freetype") or "libfreetype.so.6"
    ft = ctypes.CDLL(path)
    ft.FT_Init_FreeType.argtypes = [ctypes.POINTER(ctypes.c_void_p)]
    ft.FT_New_Face.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_long, ctypes.POINTER(ctypes.POINTER(_Face))]
    ft.FT_Set_Char_Size.argtypes = [ctypes.POINTER(_Face), ctypes.c_long, ctypes.c_long, ctypes.c_uint, ctypes.c_uint]
    ft.FT_Get_Char_Index.argtypes = [ctypes.POINTER(_Face), ctypes.c_ulong]
    ft.FT_Get_Char_Index.restype = ctypes.c_uint
    ft.FT_Get_Kerning.argtypes = [ctypes.POINTER(_Face), ctypes.c_uint, ctypes.c_uint, ctypes.c_uint,
                                  ctypes.POINTER(_Vector)]
    ft.FT_Load_Glyph.argtypes = [ctypes.POINTER(_Face), ctypes.c_uint, ctypes.c_int32]
    return ft


class Font:
    """A font as the art generator opens it (the first face of a collection unless
    `index` names another), named `name` or by its family and style."""
    _ft = None
    _handle = None

    def __init__(self, path, name=None, index=0):
        if Font._ft is None:
            try:
                Font._ft = _library()
            except OSError as e:
                raise OSError(0, f"FreeType cannot be loaded ({e})", "libfreetype.so.6") from None
            Font._handle = ctypes.c_void_p()
            if Font._ft.FT_Init_FreeType(ctypes.byref(Font._handle)):
                raise OSError(0, "FreeType did not start", "libfreetype.so.6")
        self.path, self.name = path, name
        with open(path, "rb"):  # an OSError naming the file, as for any file the build cannot read
            pass
        self._face = ctypes.POINTER(_Face)()
        if Font._ft.FT_New_Face(Font._handle, path.encode(), index, ctypes.byref(self._face)):
            raise OSError(0, "FreeType cannot open it", path)
        if name is None:
            # A font may name no family (a bitmap font without its properties).
            family, style = ((value or b"?").decode(errors="replace") for value in (self._face.contents.family_name,
                                                                                  self._face.contents.style_name))
            self.name = family if style == "Regular" else f"{family} {style}"

    @property
    def outlines(self):
        """Whether it is a TrueType or OpenType font (scalable, in the SFNT format), which
        HarfBuzz shapes with: FreeType opens bitmap and Type 1 fonts too."""
        return self._face.contents.face_flags & _FACE_FLAGS_SFNT_SCALABLE == _FACE_FLAGS_SFNT_SCALABLE

    def missing(self, text):
        """The first character of `text` the font has no glyph for, or None."""
        return next((c for c in text if not Font._ft.FT_Get_Char_Index(self._face, ord(c))), None)

    def ink(self, text, size):
        """(width, height) in pixels of the ink of `text` at `size` pixels, as Font::Render crops it."""
        ft, face = Font._ft, self._face
        ft.FT_Set_Char_Size(face, 0, int(size * 64 + 0.5), 72, 72)
        pixel_size = int(size + 1)
        width, height = pixel_size * (len(text) + 2), pixel_size * 3
        baseline = pixel_size * 2
        canvas = {}
        pen, previous = pixel_size, 0
        kerning = face.contents.face_flags & _FACE_FLAG_KERNING
        hinting = _LOAD_TARGET_NORMAL if size == int(size) else _LOAD_NO_HINTING
        for c in text:
            glyph = ft.FT_Get_Char_Index(face, ord(c))
            if not glyph:
                raise ValueError(f"{self.name} has no glyph for {c!r}")
            if previous and kerning:
                kern = _Vector()
                ft.FT_Get_Kerning(face, previous, glyph, 0, ctypes.byref(kern))
                pen += kern.x >> 6
            if ft.FT_Load_Glyph(face, glyph, _LOAD_RENDER | hinting):
                raise ValueError(f"{self.name} cannot render {c!r}")
            slot = face.contents.glyph.contents
            bitmap = slot.bitmap
            for row in range(bitmap.rows):
                y = baseline - slot.bitmap_top + row
                if not 0 <= y < height:
                    continue
                line = bitmap.buffer[row * bitmap.pitch:row * bitmap.pitch + bitmap.width]
                for col, value in enumerate(line):
                    x = pen + slot.bitmap_left + col
                    if value and 0 <= x < width:
                        canvas[x, y] = min(255, canvas.get((x, y), 0) + value)
            pen += slot.advance.x >> 6
            previous = glyph
        inked = [at for at, value in canvas.items() if value >= _INK]
        if not inked:
            return 0, 0
        xs, ys = [x for x, _ in inked], [y for _, y in inked]
        return max(xs) - min(xs) + 1, max(ys) - min(ys) + 1

    def width(self, text, size):
        return self.ink(text, size)[0]
