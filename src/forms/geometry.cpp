#include "forms/geometry.h"

#include <cmath>

namespace forms {

int TwipsToPixels(float twips, float twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

PixelRect ToPixels(const TwipRect& r, float tpp) {
    // Convert the edges, not the size, so neighbours keep meeting exactly.
    const int x = TwipsToPixels(r.left, tpp);
    const int y = TwipsToPixels(r.top, tpp);
    return {x, y, TwipsToPixels(r.Right(), tpp) - x, TwipsToPixels(r.Bottom(), tpp) - y};
}

int FontPixelHeight(float points, int dpi) {
    return static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
}

TwipRect ToTwips(const PixelRect& r, float tpp) {
    return {r.x * tpp, r.y * tpp, r.w * tpp, r.h * tpp};
}

}  // namespace forms
