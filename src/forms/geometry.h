// Twips and pixels. Layout is kept in twips (1/1440 inch) as single-precision
// numbers, the way the designer stored it; pixels appear only at the device,
// at its density (dots per inch).
//
// Every conversion is worked out exactly, from the density rather than a
// rounded ratio: a float times a density below 2^10 is exact in double. So the
// 32-bit build (x87, which keeps intermediate results in 80 bits), the 64-bit
// build and the art generator on the build machine find the same pixels.
#pragma once

namespace forms {

constexpr int kTwipsPerInch = 1440;

// A sum of two twips values rounded to single precision the same way in every
// build: stored, since x87 code may otherwise carry it unrounded. The hit test
// and the pixels an edge falls on must see the very same edge.
inline float SingleSum(float a, float b) {
    volatile float sum = a + b;
    return sum;
}

struct TwipRect {
    float left = 0, top = 0, width = 0, height = 0;

    float Right() const { return SingleSum(left, width); }
    float Bottom() const { return SingleSum(top, height); }
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

// The density the layout and its pictures are drawn for: 15 twips to the
// pixel. A window is laid out at its monitor's density, and at this one it
// is pixel for pixel the layout the designer saw.
constexpr int kLayoutDpi = 96;
constexpr int kLayoutTwipsPerPixel = kTwipsPerInch / kLayoutDpi;

// The character height in pixels of a font of `points` at a density, to the
// nearest pixel, halves up.
int FontPixelHeight(float points, int dpi);

// A position or length to the nearest pixel, halves away from zero: where the
// window goes, not where a control's edge lies.
int TwipsToPixels(float twips, int dpi);

// Where the pointer at a pixel is, in twips: the largest float not past the
// pixel's corner (pixels * 1440 / dpi). Rounded down, so that comparing it with
// an edge in twips says what comparing the pixel with PixelEdge says.
float PointerTwips(int pixels, int dpi);

// The pixel column (or row) an edge falls on: the first pixel whose corner is
// not before the edge, ceil(twips * dpi / 1440). The pixels a rectangle covers
// are exactly those where the pointer finds it, and two rectangles that share
// an edge in twips share it in pixels.
int PixelEdge(float twips, int dpi);

// A rectangle by its edges (PixelEdge), so neighbours meet with no gap and no overlap.
PixelRect ToPixels(const TwipRect& r, int dpi);

// The twips a rectangle of pixels covers, its edges where the pointer reports them.
TwipRect ToTwips(const PixelRect& r, int dpi);

// A size in pixels drawn for the layout density, at another, to the nearest
// pixel, halves up: a picture's size there.
int ScaledFromLayout(int pixels, int dpi);

// A twips-per-pixel ratio where a density is meant would convert silently.
int TwipsToPixels(float, float) = delete;
int PixelEdge(float, float) = delete;
PixelRect ToPixels(const TwipRect&, float) = delete;
TwipRect ToTwips(const PixelRect&, float) = delete;

}  // namespace forms
