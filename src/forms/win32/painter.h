// The drawing of one form: its pictures, the composition of the window at its
// site's density (pictures and label fonts made for it, and the drawn layer of
// the whole client area kept between paints), and the drawing of the form's
// controls into it.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "forms/form.h"
#include "forms/win32/form_site.h"
#include "forms/win32/gdi.h"
#include "forms/win32/handle.h"
#include "forms/win32/scaled_picture.h"

namespace forms::win32 {

// Where a paint request draws: a DC and the area to repaint, in client pixels.
struct PaintTarget {
    HDC dc;
    RECT area;
};

// A picture as drawn for one density, and what keeps it.
struct DensityPicture {
    HBITMAP bitmap = nullptr;
    SIZE size{};
    OwnedBitmap owned;  // a copy made for the density; empty where `bitmap` is the layout's own
};

// The layout's pictures, asked for one at a density. At the layout density
// they are the resources' bitmaps. At each scale the art generator draws for
// (kDrawnDpis) they are its pictures for that scale, each the size its control
// has there; at a density between, the next drawn scale's, reduced with the
// HALFTONE filter (averaged, not pixels dropped). A picture the resources lack
// for a scale, or that cannot be decoded, is the layout's, scaled the same way.
// Each is made when first asked for; the caller keeps it. This is the one
// place that decides what a picture looks like at a density.
class PictureSource : NonCopyable {
public:
    PictureSource(HINSTANCE instance, const FormSpec& layout) : instance_(instance), spec_(layout) {}

    // Every picture of the layout; a run-time error if one cannot be had.
    void Load();
    // The picture's size in pixels at the layout density.
    SIZE LayoutSize(int picture) const;
    // The picture of `control` for `dpi`, at the size the control shows it at
    // there; a run-time error if there is no memory for it.
    DensityPicture At(const ControlSpec& control, int dpi);
    // Starts decoding, on a thread of their own, the pictures of the visible
    // controls at `dpi` (the lit faces behind the normal ones too, ready for the
    // first hover) and of the picture boxes, whose pictures the paint handler
    // draws: At() then takes them ready.
    void DecodeAhead(int dpi);
    // The copy of `picture` stretched to `size` that DecodeAhead made at `dpi`, a
    // drawn scale; empty where it made none.
    OwnedBitmap Stretched(int picture, SIZE size, int dpi);
    // How many pictures of the drawn scale last asked for At() decoded when asked
    // instead of taking them ready from DecodeAhead.
    int DecodedWhenDrawn() const { return drawn_ ? drawn_->DecodedWhenDrawn() : 0; }

private:
    HINSTANCE instance_;
    const FormSpec& spec_;
    std::map<int, OwnedBitmap> bitmaps_;   // by resource id, as the resources hold them
    std::optional<ScaledPictures> drawn_;  // the decoder of the last drawn scale asked for
};

// Draws at the site's density, the window's one: the composition it keeps (label
// fonts, pictures, the drawn layer) is the one the window made for it.
class FormPainter : NonCopyable {
public:
    explicit FormPainter(const FormSite& site) : site_(site), pictures_(site.app.instance, site.layout) {}

    // Every picture of the layout; a run-time error if one cannot be had.
    void Load() { pictures_.Load(); }

    // Makes the composition for `dpi`, the density the window gives the site
    // next: its label fonts (its pictures are made as they are first drawn). A
    // run-time error if a font cannot be had, which leaves the one held as it
    // was. The drawn layer starts empty: the next paint draws all of it.
    void MakeFor(int dpi);

    // The drawn layer of the client area, `client` in size, for a paint; `changed`
    // becomes what of it must be drawn first (all of it when it is new). nullptr
    // when there is no memory for it: the paint then draws straight onto the window.
    HDC Scene(HDC like, const RECT& client, RECT& changed);

    // While one lasts, the background pictures land in the paint being drawn,
    // clipped to its area: the form's paint handler runs inside it. A handler that
    // lets events run may have a paint run inside its own: as that one ends, the
    // pictures land in the enclosing paint again.
    class Background : NonCopyable {
    public:
        Background(FormPainter& painter, const PaintTarget& target) : painter_(painter), enclosing_(painter.target_) {
            painter_.target_ = target;
        }
        ~Background() { painter_.target_ = enclosing_; }

    private:
        FormPainter& painter_;
        std::optional<PaintTarget> enclosing_;
    };
    // One of the layout's pictures on the background layer, scaled to `dest`: into
    // the paint being drawn, or outside one straight onto the window. These and the
    // drawing below make a picture at its first draw: a run-time error if there
    // is no memory for it.
    void DrawBackground(int picture, const PixelRect& dest);
    // The form's visible drawn controls (pictures, labels) that meet `area`, back to front.
    void DrawControls(HDC dc, const RECT& area);
    // A graphical push button: its frame, its picture centred and cut to the
    // face, and the focus cue where asked for; the frame's bands, the insets and
    // the cue's line as wide as a 96-dpi pixel is at the density.
    void DrawButton(const DRAWITEMSTRUCT& item, const ControlSpec& button, bool focusCue);

private:
    struct Composition {
        std::map<int, DensityPicture> pictures;  // by resource id, each made at its first draw
        // Copies of pictures at a size they are stretched to (a tile a hundred times): by id, width, height.
        std::map<std::tuple<int, int, int>, OwnedBitmap> stretched;
        std::vector<OwnedFont> fonts;            // per control; drawn labels only
        Surface scene;                           // the drawn layer of the client area
        SIZE sceneSize{};                        // what of it is drawn; zero: nothing yet
    };

    // A picture at this density, made the first time it is drawn: a hidden one never is.
    const DensityPicture& Picture(int picture);
    // A picture scaled to `dest` when `stretch`, else at its own size from the
    // corner, cut off at dest's edges.
    void DrawPicture(HDC dc, int picture, const PixelRect& dest, bool stretch);
    void DrawLabel(HDC dc, const ControlSpec& label, const std::wstring& text, const PixelRect& dest);

    const FormSite& site_;
    PictureSource pictures_;
    std::optional<Composition> composition_;
    SourceDC source_;  // pictures are drawn from it; made at the first draw, let go before composition_
    std::optional<PaintTarget> target_;  // the paint being drawn, while a Background lasts
};

}  // namespace forms::win32
