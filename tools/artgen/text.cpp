#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

namespace artgen {

Font::Font(const std::string& path, int faceIndex) : path_(path) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType did not start");
    library_ = lib;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), faceIndex, &face)) throw std::runtime_error("cannot open font " + path);
    face_ = face;
}

Font::~Font() {
    if (face_) FT_Done_Face(static_cast<FT_Face>(face_));
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

unsigned Font::GlyphOf(char32_t c) const { return FT_Get_Char_Index(static_cast<FT_Face>(face_), c); }

void Font::SetSize(double size) const {
    // In 64ths of a pixel: a size between whole pixels lands the descender on a given row.
    FT_Set_Char_Size(static_cast<FT_Face>(face_), 0, static_cast<FT_F26Dot6>(size * 64 + 0.5), 72, 72);
}

std::int32_t LoadFlags(double size) {
    return size == static_cast<int>(size) ? FT_LOAD_TARGET_NORMAL : FT_LOAD_NO_HINTING;
}

Mask Font::Render(const std::u32string& text, double size) const { return Draw(LayOutPlain(*this, text, size), size); }

Layout LayOutPlain(const Font& font, const std::u32string& text, double size) {
    auto* face = static_cast<FT_Face>(font.FtFace());
    font.SetSize(size);
    Layout layout;
    long pen = 0;
    FT_UInt previous = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const FT_UInt glyph = FT_Get_Char_Index(face, text[i]);
        if (!glyph) throw std::runtime_error(font.FileName() + " lacks a character of the text");
        if (previous && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += kern.x >> 6;
        }
        if (FT_Load_Glyph(face, glyph, LoadFlags(size))) throw std::runtime_error("cannot load a glyph");
        layout.glyphs.push_back({&font, glyph, static_cast<int>(i), pen * 64, 0});
        pen += face->glyph->advance.x >> 6;
        previous = glyph;
    }
    return layout;
}

Mask Draw(const Layout& layout, double size) {
    // Each glyph's bitmap where it lands, y down from the baseline's row 0.
    struct Ink {
        int left, top, width, height;
        std::vector<std::uint8_t> alpha;
    };
    std::vector<Ink> inks;
    for (const PlacedGlyph& g : layout.glyphs) {
        auto* face = static_cast<FT_Face>(g.font->FtFace());
        g.font->SetSize(size);
        if (FT_Load_Glyph(face, g.id, FT_LOAD_RENDER | LoadFlags(size)))
            throw std::runtime_error("cannot render a glyph of " + g.font->FileName());
        const FT_GlyphSlot slot = face->glyph;
        Ink ink{static_cast<int>(std::lround(g.x / 64.0)) + slot->bitmap_left,
                -static_cast<int>(std::lround(g.y / 64.0)) - slot->bitmap_top, static_cast<int>(slot->bitmap.width),
                static_cast<int>(slot->bitmap.rows), {}};
        for (int row = 0; row < ink.height; ++row)
            for (int col = 0; col < ink.width; ++col) ink.alpha.push_back(slot->bitmap.buffer[row * slot->bitmap.pitch + col]);
        inks.push_back(std::move(ink));
    }
    Mask m;
    if (inks.empty()) return m;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (const Ink& i : inks)
        x0 = std::min(x0, i.left), y0 = std::min(y0, i.top), x1 = std::max(x1, i.left + i.width),
        y1 = std::max(y1, i.top + i.height);
    const int canvasW = x1 - x0, canvasH = y1 - y0;
    std::vector<int> canvas(static_cast<size_t>(canvasW) * canvasH, 0);
    for (const Ink& i : inks)
        for (int row = 0; row < i.height; ++row)
            for (int col = 0; col < i.width; ++col) {
                int& v = canvas[static_cast<size_t>(i.top - y0 + row) * canvasW + (i.left - x0 + col)];
                v = std::min(255, v + i.alpha[static_cast<size_t>(row) * i.width + col]);
            }
    // Crop to the ink: the faint fringe below 16 does not count.
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < canvasH; ++y)
        for (int x = 0; x < canvasW; ++x)
            if (canvas[static_cast<size_t>(y) * canvasW + x] >= 16) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) return m;
    m.width = right - left + 1, m.height = bottom - top + 1;
    m.baseline = -y0 - top;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            const int v = canvas[static_cast<size_t>(y) * canvasW + x];
            m.alpha.push_back(static_cast<std::uint8_t>(std::min(255, (v + 8) / 17 * 17)));
        }
    return m;
}

Mask Fit(const Mask& m, int w, int h) {
    Mask out;
    out.width = w, out.height = h;
    const double sx = static_cast<double>(m.width) / w, sy = static_cast<double>(m.height) / h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Average the source area this pixel covers, sampled 4 x 4.
            double sum = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i) {
                    const int ux = std::min(m.width - 1, static_cast<int>((x + (i + 0.5) / 4) * sx));
                    const int uy = std::min(m.height - 1, static_cast<int>((y + (j + 0.5) / 4) * sy));
                    sum += m.At(ux, uy);
                }
            out.alpha.push_back(static_cast<std::uint8_t>(std::min(255, static_cast<int>(sum / 16 + 8) / 17 * 17)));
        }
    return out;
}

void Blend(Image& img, const Mask& m, int x, int y, Rgb colour) {
    for (int j = 0; j < m.height; ++j)
        for (int i = 0; i < m.width; ++i) {
            const int a = m.At(i, j);
            if (!a || x + i < 0 || y + j < 0 || x + i >= img.width || y + j >= img.height) continue;
            Rgb& p = img.At(x + i, y + j);
            auto mix = [a](int under, int over) { return static_cast<std::uint8_t>((under * (255 - a) + over * a + 127) / 255); };
            p = {mix(p.r, colour.r), mix(p.g, colour.g), mix(p.b, colour.b)};
        }
}

}  // namespace artgen
