#include "forms/win32/painter.h"

#include <algorithm>

#include "forms/win32/error_box.h"

namespace forms::win32 {

FormPainter::FormPainter(HINSTANCE instance, const FormSpec& layout, float twipsPerPixel)
    : instance_(instance), spec_(layout), tpp_(twipsPerPixel) {}

void FormPainter::Load() {
    fonts_.resize(spec_.controls.size());
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        const ControlSpec& c = spec_.controls[i];
        if (c.picture && !bitmaps_.count(c.picture)) {
            OwnedBitmap bitmap(static_cast<HBITMAP>(
                LoadImageW(instance_, MAKEINTRESOURCEW(c.picture), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
            if (!bitmap) FailWithLastError(L"Could not load a picture.");
            bitmaps_.emplace(c.picture, std::move(bitmap));
        }
        if (c.kind == ControlKind::Label) {
            const int height = FontPixelHeight(c.font.points, kLayoutDpi);
            fonts_[i].Reset(CreateFontW(-height, 0, 0, 0, c.font.weight, FALSE, FALSE, FALSE,
                                        static_cast<BYTE>(c.font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, c.font.face));
            if (!fonts_[i]) throw RuntimeError{kOutOfMemory, L"Could not create a label's font.", {}, {}};
        }
    }
}

void FormPainter::DrawBackground(HWND window, int picture, const PixelRect& dest) {
    if (target_) {
        // Only what meets the area: a paint draws a hundred tiles, most of them elsewhere.
        RECT meet, rect = ToRect(dest);
        if (IntersectRect(&meet, &rect, &target_->area)) DrawPicture(target_->dc, picture, dest, true);
        return;
    }
    const WindowDC dc(GetDC(window), window);
    if (dc) DrawPicture(dc.Get(), picture, dest, true);
}

void FormPainter::DrawControls(HDC dc, const RECT& area, const FormModel& model) {
    const TwipRect twips = ToTwips({area.left, area.top, area.right - area.left, area.bottom - area.top}, tpp_);
    for (ControlId id : model.DrawOrder(twips)) {
        const ControlSpec& c = spec_.controls[id];
        const PixelRect r = ToPixels(c.rect, tpp_);
        if (c.kind == ControlKind::Label) {
            DrawLabel(dc, c, model.Caption(id), r);
        } else if (c.picture) {
            DrawPicture(dc, c.picture, r, c.stretch);
        }
    }
}

SIZE FormPainter::PictureSize(HBITMAP bitmap) const {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

void FormPainter::DrawPicture(HDC dc, int picture, const PixelRect& dest, bool stretch) {
    HBITMAP bitmap = bitmaps_.at(picture).Get();
    const SIZE size = PictureSize(bitmap);
    // One source DC for every picture: a paint draws a hundred tiles.
    if (!pictureDc_) pictureDc_.Reset(CreateCompatibleDC(nullptr));
    Selection select(pictureDc_.Get(), bitmap);
    if (stretch && (dest.w != size.cx || dest.h != size.cy)) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, dest.x, dest.y, dest.w, dest.h, pictureDc_.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
    } else {
        // Natural size from the top-left corner, cut off at the control's edges.
        BitBlt(dc, dest.x, dest.y, std::min<int>(dest.w, size.cx), std::min<int>(dest.h, size.cy), pictureDc_.Get(),
               0, 0, SRCCOPY);
    }
}

void FormPainter::DrawLabel(HDC dc, const ControlSpec& label, const std::wstring& text, const PixelRect& dest) {
    if (text.empty()) return;
    SavedDC saved(dc);
    Selection font(dc, fonts_[&label - spec_.controls.data()].Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r = ToRect(dest);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

void FormPainter::DrawButton(const DRAWITEMSTRUCT& item, const ControlSpec& button, bool focusCue) {
    RECT face = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    InflateRect(&face, -2, -2);
    if (button.picture) {
        const SIZE size = PictureSize(bitmaps_.at(button.picture).Get());
        SavedDC saved(item.hDC);
        IntersectClipRect(item.hDC, face.left, face.top, face.right, face.bottom);
        const int shift = pushed ? 1 : 0;
        const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
        DrawPicture(item.hDC, button.picture,
                    {(w - size.cx) / 2 + shift, (h - size.cy) / 2 + shift, size.cx, size.cy}, false);
    }
    if (focusCue) {
        RECT focus = face;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(item.hDC, &focus);
    }
}

}  // namespace forms::win32
