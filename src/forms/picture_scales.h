// The scales the pictures are drawn for besides the layout's, and the size a
// control's picture is drawn at on a density. Free of Windows on purpose: the
// art generator draws each picture at exactly this size, so that the painter
// puts it on screen pixel for pixel, unstretched.
#pragma once

#include <algorithm>
#include <iterator>

#include "design.h"
#include "forms/control.h"
#include "forms/geometry.h"

namespace forms {

// 125, 150, 175, 200, 250 and 300 %, the scales Windows offers for displays:
// src/resources/design.toml's drawn_dpis, which the build names too.
using design::kDrawnDpis;

// The drawn scale whose pictures stand for a density other than the layout's:
// the nearest at or above it (the pictures are reduced to it, which keeps
// their detail), or the largest drawn one for a density beyond them all.
constexpr int DrawnDpiFor(int dpi) {
    for (int drawn : kDrawnDpis)
        if (drawn >= dpi) return drawn;
    return kDrawnDpis[std::size(kDrawnDpis) - 1];
}

struct PictureSize {
    int w = 0, h = 0;
    bool operator==(const PictureSize&) const = default;
};

// The rectangle in twips an image control's picture covers: all of the control
// when stretched; else the picture at its own layout size from the corner, cut
// off at the control's edges.
inline TwipRect CoveredTwips(const ControlSpec& c, int ownW, int ownH) {
    if (c.stretch) return c.rect;
    const auto twips = [](int pixels) { return static_cast<float>(pixels * kLayoutTwipsPerPixel); };
    return {c.rect.left, c.rect.top, std::min(c.rect.width, twips(ownW)), std::min(c.rect.height, twips(ownH))};
}

// The size of a control's picture (`own` at the layout density) at `dpi`. An
// image's covers its rectangle's pixels there, whose edges fall where the
// layout's do; a button's or a picture box's is its own size scaled, since it
// is centred on the button or tiled.
inline PictureSize PictureSizeAt(const ControlSpec& c, int ownW, int ownH, int dpi) {
    if (c.kind != ControlKind::Image) return {ScaledFromLayout(ownW, dpi), ScaledFromLayout(ownH, dpi)};
    const PixelRect r = ToPixels(CoveredTwips(c, ownW, ownH), dpi);
    return {r.w, r.h};
}

}  // namespace forms
