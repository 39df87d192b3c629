#include "shapes.h"

#include <cstdint>

namespace artgen {
namespace {

// Coverage of a shape over one pixel, sampled 4 x 4, snapped to quarters so shades stay few.
double Coverage(const Inside& inside, int x, int y) {
    int hits = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) hits += inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4);
    return std::round(hits / 4.0) / 4.0;
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
    auto m = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void Shape(Image& img, int x0, int y0, int w, int h, const Inside& inside, Rgb c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (double a = Coverage(inside, x, y); a > 0) img.At(x, y) = Mix(img.At(x, y), c, a);
}

Inside Disc(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

// Inside when the radius at that angle is short enough.
Inside Star(double cx, double cy, double outer, double inner, int points, double turn) {
    return [=](double x, double y) {
        const double dx = x - cx, dy = y - cy, r = std::hypot(dx, dy);
        if (r > outer) return false;
        double a = std::atan2(dy, dx) - turn;
        const double sector = 2 * M_PI / points;
        a = std::fmod(std::fmod(a, sector) + sector, sector);
        const double t = std::fabs(a - sector / 2) / (sector / 2);  // 1 at a point, 0 between
        return r <= inner + (outer - inner) * t;
    };
}

}  // namespace artgen
