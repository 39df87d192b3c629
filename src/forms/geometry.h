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

// The density the layout and its pictures are drawn for: 15 twips to the
// pixel. A window is laid out at its monitor's density, and at this one it
// is pixel for pixel the layout the designer saw.
constexpr int kLayoutDpi = 96;

// The character height in pixels of a font of `points` at a density.
int FontPixelHeight(float points, int dpi);

// A position or length to the nearest pixel, halves away from zero: where the
// window goes, not where a control's edge lies.
int TwipsToPixels(float twips, float twipsPerPixel);

// The pixel column (or row) an edge of a rectangle falls on: the first pixel
// whose corner, as the pointer reports it in twips (pixels times twips per
// pixel), is not before the edge. So the pixels a rectangle covers are exactly
// those the hit test finds in it, at every density, and two rectangles that
// share an edge in twips share it in pixels.
int PixelEdge(float twips, float twipsPerPixel);

// A rectangle by its edges (PixelEdge), so neighbours meet with no gap and no overlap.
PixelRect ToPixels(const TwipRect& r, float twipsPerPixel);

// A size in pixels drawn for the layout density, at another: a picture's size there.
int ScaledFromLayout(int pixels, int dpi);
TwipRect ToTwips(const PixelRect& r, float twipsPerPixel);

}  // namespace forms
