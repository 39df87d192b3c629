// Twips and pixels. Layout is kept in twips (1/1440 inch) as single-precision
// numbers, the way the designer stored it; pixels appear only at the device.
#pragma once

namespace forms {

constexpr float kTwipsPerInch = 1440.0f;

struct TwipRect {
    float left = 0, top = 0, width = 0, height = 0;

    float Right() const { return left + width; }
    float Bottom() const { return top + height; }
    // Half-open, like a device rectangle: the right and bottom edges are outside.
    bool Contains(float x, float y) const {
        return x >= left && x < Right() && y >= top && y < Bottom();
    }
    bool Intersects(const TwipRect& o) const {
        return left < o.Right() && o.left < Right() && top < o.Bottom() && o.top < Bottom();
    }
};

struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const PixelRect&) const = default;
};

// Twips per pixel for a display density; 15 at 96 dpi.
inline float TwipsPerPixel(int dpi) { return kTwipsPerInch / static_cast<float>(dpi); }

// The density the layout and its fixed-size pictures are drawn for. Forms
// are always laid out at it: the program leaves display scaling to the
// system, which enlarges the whole window evenly. Laid out at the density
// the display reports, the pictures would fall short of their rectangles.
constexpr int kLayoutDpi = 96;

// The character height in pixels of a font of `points` at a density.
int FontPixelHeight(float points, int dpi);

int TwipsToPixels(float twips, float twipsPerPixel);
PixelRect ToPixels(const TwipRect& r, float twipsPerPixel);
TwipRect ToTwips(const PixelRect& r, float twipsPerPixel);

}  // namespace forms
