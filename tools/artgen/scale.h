// The scale a picture is drawn at: its layout (96-dpi) lengths in pixels at a
// density, and the size of the picture there.
#pragma once

#include <cmath>

namespace artgen {

struct Scale {
    int dpi = 96;
    int width = 0, height = 0;  // the picture's size at this scale; 0: its layout size scaled

    double Factor() const { return dpi / 96.0; }
    // A layout length or position at this scale, to the nearest pixel. Shapes
    // are placed by their edges (both scaled) so that neighbours still meet.
    int operator()(double layoutPixels) const { return static_cast<int>(std::lround(layoutPixels * dpi / 96.0)); }
    int Width(int layoutWidth) const { return width ? width : (*this)(layoutWidth); }
    int Height(int layoutHeight) const { return height ? height : (*this)(layoutHeight); }
};

}  // namespace artgen
