#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace artgen {

Font::Font(const std::string& path, int faceIndex) {
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

Mask Font::Render(const std::u32string& text, double size) const {
    auto* face = static_cast<FT_Face>(face_);
    // In 64ths of a pixel: a size between whole pixels lands the descender on a given row.
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(size * 64 + 0.5), 72, 72);
    const int pixelSize = static_cast<int>(size + 1);
    // First lay the glyphs on a generous canvas around a baseline, then crop to the ink.
    const int canvasW = pixelSize * static_cast<int>(text.size() + 2), canvasH = pixelSize * 3;
    const int baseline = pixelSize * 2;
    std::vector<int> canvas(static_cast<size_t>(canvasW) * canvasH, 0);
    int pen = pixelSize;
    FT_UInt previous = 0;
    for (char32_t c : text) {
        const FT_UInt glyph = FT_Get_Char_Index(face, c);
        if (!glyph) throw std::runtime_error("the font lacks a character of the text");
        if (previous && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
            pen += static_cast<int>(kern.x >> 6);
        }
        // Hinting would snap a size between whole pixels back to one of them.
        const FT_Int32 hinting = size == static_cast<int>(size) ? FT_LOAD_TARGET_NORMAL : FT_LOAD_NO_HINTING;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER | hinting))
            throw std::runtime_error("cannot render a glyph");
        const FT_GlyphSlot slot = face->glyph;
        for (unsigned row = 0; row < slot->bitmap.rows; ++row) {
            for (unsigned col = 0; col < slot->bitmap.width; ++col) {
                const int x = pen + slot->bitmap_left + static_cast<int>(col);
                const int y = baseline - slot->bitmap_top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= canvasW || y >= canvasH) continue;
                int& v = canvas[static_cast<size_t>(y) * canvasW + x];
                v = std::min(255, v + slot->bitmap.buffer[row * slot->bitmap.pitch + col]);
            }
        }
        pen += static_cast<int>(slot->advance.x >> 6);
        previous = glyph;
    }
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = 0; y < canvasH; ++y)
        for (int x = 0; x < canvasW; ++x)
            if (canvas[static_cast<size_t>(y) * canvasW + x] >= 16) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    Mask m;
    if (right < 0) return m;
    m.width = right - left + 1, m.height = bottom - top + 1;
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
