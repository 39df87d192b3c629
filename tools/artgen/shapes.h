// Anti-aliased shapes drawn onto an image, and the mix of two colours.
#pragma once

#include <cmath>
#include <functional>

#include "image.h"

namespace artgen {

// Whether a point (in pixels, fractions and all) is inside a shape.
using Inside = std::function<bool(double, double)>;

// `a` moved towards `b` by t (0 to 1), each channel rounded.
Rgb Mix(Rgb a, Rgb b, double t);

// Fills a shape in colour `c` within the box (x0, y0, w, h), its edge pixels
// mixed by how much of them it covers.
void Shape(Image& img, int x0, int y0, int w, int h, const Inside& inside, Rgb c);

Inside Disc(double cx, double cy, double r);

// A star with `points` points, the first at angle `turn` (straight up by default).
Inside Star(double cx, double cy, double outer, double inner, int points, double turn = -M_PI / 2);

}  // namespace artgen
