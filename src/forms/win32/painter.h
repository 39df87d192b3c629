// The drawing of one form: it owns the form's pictures, label fonts and back
// buffer, and draws the form's controls into any DC and rectangle (a paint
// request, the back buffer, a print).
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "forms/form.h"
#include "forms/win32/gdi.h"
#include "forms/win32/handle.h"

namespace forms::win32 {

// Where a paint request draws: a DC and the area to repaint, in client pixels.
struct PaintTarget {
    HDC dc;
    RECT area;
};

class FormPainter : NonCopyable {
public:
    FormPainter(HINSTANCE instance, const FormSpec& layout, float twipsPerPixel);

    // Every picture and font of the layout; a run-time error if one cannot be had.
    void Load();

    // The background layer of a paint: `paint` runs the form's paint handler, whose
    // background pictures land in `target`, clipped to its area.
    template <class F>
    void PaintBackground(const PaintTarget& target, F&& paint) {
        target_ = &target;
        struct Done {
            const PaintTarget*& current;
            ~Done() { current = nullptr; }
        } done{target_};
        paint();
    }
    // One of the layout's pictures on the background layer, scaled to `dest`: into
    // the paint being drawn, or outside one straight onto `window`.
    void DrawBackground(HWND window, int picture, const PixelRect& dest);
    // The visible drawn controls (pictures, labels) that meet `area`, back to front.
    void DrawControls(HDC dc, const RECT& area, const FormModel& model);
    // One of the layout's pictures: scaled to `dest` when `stretch`, else at
    // its own size from the corner, cut off at dest's edges.
    void DrawPicture(HDC dc, int picture, const PixelRect& dest, bool stretch);
    // A graphical push button: its frame, its picture centred and cut to the
    // face, and the focus cue where asked for.
    void DrawButton(const DRAWITEMSTRUCT& item, const ControlSpec& button, bool focusCue);

    // Where a paint is drawn before it is shown; kept from one paint to the next.
    Surface& BackBuffer() { return backBuffer_; }

private:
    void DrawLabel(HDC dc, const ControlSpec& label, const std::wstring& text, const PixelRect& dest);
    SIZE PictureSize(HBITMAP bitmap) const;

    HINSTANCE instance_;
    const FormSpec& spec_;
    float tpp_;
    std::map<int, OwnedBitmap> bitmaps_;  // by resource id
    std::vector<OwnedFont> fonts_;        // per control; drawn labels only
    MemoryDC pictureDc_;             // pictures are selected into it to be drawn; made at the first draw
    Surface backBuffer_;
    const PaintTarget* target_ = nullptr;  // the paint being drawn, during PaintBackground
};

}  // namespace forms::win32
