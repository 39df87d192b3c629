// Text rasterised with FreeType into an anti-aliased coverage mask, from glyphs
// laid out either one by one (LayOutPlain) or shaped (shaping.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace artgen {

// Coverage of the ink, cropped to its bounding box.
struct Mask {
    int width = 0, height = 0;
    int baseline = 0;  // the first row below the baseline, from the mask's top (may lie outside it)
    std::vector<std::uint8_t> alpha;  // 0..255, top row first
    std::uint8_t At(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

class Font {
public:
    Font(const std::string& path, int faceIndex = 0);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // The ink of `text` at a pixel size, laid out glyph by glyph (LayOutPlain),
    // coverage quantised to 16 levels so that the edge shades stay few.
    Mask Render(const std::u32string& text, double pixelSize) const;

    const std::string& Path() const { return path_; }
    std::string FileName() const { return path_.substr(path_.find_last_of("/\\") + 1); }
    unsigned GlyphOf(char32_t c) const;  // 0: the font has none
    void* FtFace() const { return face_; }  // the FT_Face, set to a size by SetSize
    void SetSize(double pixelSize) const;

private:
    std::string path_;
    void* library_ = nullptr;
    void* face_ = nullptr;
};

// The FreeType load flags a glyph is measured and drawn with at a size: hinting
// would snap a size between whole pixels back to one of them.
std::int32_t LoadFlags(double pixelSize);

// One glyph laid out: x and y (up) of its origin in 64ths of a pixel from the
// start of the text on its baseline; `cluster` the index of the first character
// of the words it draws.
struct PlacedGlyph {
    const Font* font;
    unsigned id;
    int cluster;
    long x, y;
};

// Glyphs in visual order, left to right.
struct Layout {
    std::vector<PlacedGlyph> glyphs;
    bool rightToLeft = false;  // the words' paragraph reads right to left
};

// `text` in one font, a glyph per character at whole pixels with the font's
// kerning: how every text was set before shaping, kept where it draws the same.
// Throws for a character the font lacks.
Layout LayOutPlain(const Font& font, const std::u32string& text, double pixelSize);

// The ink of the laid-out glyphs at the size they were laid out for.
Mask Draw(const Layout& layout, double pixelSize);

// Scales a mask to exactly w x h by area averaging (for word marks that fill a box).
Mask Fit(const Mask& m, int w, int h);

// Blends `colour` over the image through the mask, its top-left corner at x, y.
void Blend(Image& img, const Mask& m, int x, int y, Rgb colour);

}  // namespace artgen
