#include "forms/geometry.h"

#include <cmath>
#include <cstdint>

namespace forms {
namespace {

// floor(v / d) for a whole or fractional v held exactly, d > 0. The quotient in
// floating point is only a first guess; the products that settle it are exact.
double FloorQuotient(double v, int d) {
    double q = std::floor(v / d);
    while (q * d > v) --q;
    while ((q + 1) * d <= v) ++q;
    return q;
}

// v / d to the nearest whole number, halves away from zero.
int NearestQuotient(double v, int d) {
    const double q = FloorQuotient(v, d);
    const double twiceRest = 2 * (v - q * d);  // exact: 0 <= rest < d
    const bool up = twiceRest > d || (twiceRest == d && v > 0);
    return static_cast<int>(up ? q + 1 : q);
}

}  // namespace

int TwipsToPixels(float twips, int dpi) { return NearestQuotient(static_cast<double>(twips) * dpi, kTwipsPerInch); }

int PixelEdge(float twips, int dpi) {
    const double v = static_cast<double>(twips) * dpi;  // exact: 24 bits times fewer than 10
    const double q = FloorQuotient(v, kTwipsPerInch);
    return static_cast<int>(q * kTwipsPerInch == v ? q : q + 1);
}

float PointerTwips(int pixels, int dpi) {
    // Built from whole numbers: the quotient's first 24 bits, the rest cut off
    // towards minus infinity, so no build's rounding of floats takes part.
    const std::int64_t n = static_cast<std::int64_t>(pixels) * kTwipsPerInch;
    if (n == 0 || dpi <= 0) return 0;
    std::uint64_t num = static_cast<std::uint64_t>(n < 0 ? -n : n), den = static_cast<std::uint64_t>(dpi);
    int shift = 0;
    while (num < den << 23) {
        num <<= 1;
        ++shift;
    }
    while (num >= den << 24) {
        den <<= 1;
        --shift;
    }
    std::uint64_t m = num / den;  // 2^23 <= m < 2^24: a float's significand
    if (n < 0 && m * den != num) ++m;  // a negative value cut off downwards grows
    return std::ldexp(n < 0 ? -static_cast<float>(m) : static_cast<float>(m), -shift);
}

PixelRect ToPixels(const TwipRect& r, int dpi) {
    // Convert the edges, not the size, so neighbours keep meeting exactly.
    const int x = PixelEdge(r.left, dpi);
    const int y = PixelEdge(r.top, dpi);
    return {x, y, PixelEdge(r.Right(), dpi) - x, PixelEdge(r.Bottom(), dpi) - y};
}

TwipRect ToTwips(const PixelRect& r, int dpi) {
    const float left = PointerTwips(r.x, dpi), top = PointerTwips(r.y, dpi);
    return {left, top, PointerTwips(r.x + r.w, dpi) - left, PointerTwips(r.y + r.h, dpi) - top};
}

int ScaledFromLayout(int pixels, int dpi) { return NearestQuotient(static_cast<double>(pixels) * dpi, kLayoutDpi); }

int FontPixelHeight(float points, int dpi) { return NearestQuotient(static_cast<double>(points) * dpi, 72); }

}  // namespace forms
