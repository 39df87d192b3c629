#include "forms/geometry.h"

#include <cmath>

namespace forms {

int TwipsToPixels(float twips, float twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

int PixelEdge(float twips, float tpp) {
    // A first guess from the quotient, then settled with the same float product
    // the pointer's position is converted with, so rounding cannot split them.
    int p = static_cast<int>(std::ceil(static_cast<double>(twips) / tpp));
    while (static_cast<float>(p) * tpp < twips) ++p;
    while (static_cast<float>(p - 1) * tpp >= twips) --p;
    return p;
}

PixelRect ToPixels(const TwipRect& r, float tpp) {
    // Convert the edges, not the size, so neighbours keep meeting exactly.
    const int x = PixelEdge(r.left, tpp);
    const int y = PixelEdge(r.top, tpp);
    return {x, y, PixelEdge(r.Right(), tpp) - x, PixelEdge(r.Bottom(), tpp) - y};
}

int ScaledFromLayout(int pixels, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / kLayoutDpi));
}

int FontPixelHeight(float points, int dpi) {
    return static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
}

TwipRect ToTwips(const PixelRect& r, float tpp) {
    return {r.x * tpp, r.y * tpp, r.w * tpp, r.h * tpp};
}

}  // namespace forms
