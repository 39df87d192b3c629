// Text rasterised with FreeType into an anti-aliased coverage mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace artgen {

// Coverage of the ink, cropped to its bounding box.
struct Mask {
    int width = 0, height = 0;
    std::vector<std::uint8_t> alpha;  // 0..255, top row first
    std::uint8_t At(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

class Font {
public:
    Font(const std::string& path, int faceIndex = 0);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // The ink of `text` at a pixel size, coverage quantised to 16 levels so
    // that the edge shades stay few.
    Mask Render(const std::u32string& text, double pixelSize) const;

private:
    void* library_ = nullptr;
    void* face_ = nullptr;
};

// Scales a mask to exactly w x h by area averaging (for word marks that fill a box).
Mask Fit(const Mask& m, int w, int h);

// Blends `colour` over the image through the mask, its top-left corner at x, y.
void Blend(Image& img, const Mask& m, int x, int y, Rgb colour);

}  // namespace artgen
