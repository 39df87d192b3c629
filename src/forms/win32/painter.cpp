#include "forms/win32/painter.h"

#include <algorithm>

#include "forms/win32/error_box.h"
#include "forms/picture_scales.h"
#include "forms/win32/scaled_picture.h"

namespace forms::win32 {
namespace {

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// How a picture is stretched to a size that is not its own. At the layout
// density only the layout's own stretched pictures are, and they keep the plain
// pixel-dropping filter they were designed with; at another density HALFTONE,
// which averages, so scaled art keeps its lines and lettering even.
void SetStretchFilter(HDC dc, int dpi) {
    if (dpi == kLayoutDpi) {
        SetStretchBltMode(dc, COLORONCOLOR);
        return;
    }
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs the brush origin set after it
}

}  // namespace

void PictureSource::Load() {
    for (const ControlSpec& c : spec_.controls) {
        if (!c.picture || bitmaps_.count(c.picture)) continue;
        OwnedBitmap bitmap(static_cast<HBITMAP>(
            LoadImageW(instance_, MAKEINTRESOURCEW(c.picture), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (!bitmap) FailWithLastError(L"Could not load a picture.");
        bitmaps_.emplace(c.picture, std::move(bitmap));
    }
}

SIZE PictureSource::LayoutSize(int picture) const { return BitmapSize(bitmaps_.at(picture).Get()); }

DensityPicture PictureSource::At(const ControlSpec& control, int dpi) const {
    const int picture = control.picture;
    HBITMAP own = bitmaps_.at(picture).Get();
    const SIZE size = BitmapSize(own);
    if (dpi == kLayoutDpi) return {own, size, {}};
    // At a drawn scale its picture is the size the control has there, and is
    // drawn as it is. Between them the next drawn scale above stands in,
    // reduced; where the resources lack it, the layout's picture, scaled.
    const int drawnDpi = DrawnDpiFor(dpi);
    OwnedBitmap drawn = LoadScaledPicture(instance_, picture, drawnDpi);
    if (drawn && drawnDpi == dpi) {
        HBITMAP bitmap = drawn.Get();
        return {bitmap, BitmapSize(bitmap), std::move(drawn)};
    }
    HBITMAP from = drawn ? drawn.Get() : own;
    const SIZE fromSize = BitmapSize(from);
    // Made at the size its control shows it at there, as the drawn sets are, so
    // that it is resampled once, not reduced and then stretched by a pixel.
    const PictureSize at = PictureSizeAt(control, size.cx, size.cy, dpi);
    const SIZE scaled{at.w, at.h};
    const WindowDC screen(GetDC(nullptr), nullptr);
    const MemoryDC source(screen ? CreateCompatibleDC(screen.Get()) : nullptr);
    const MemoryDC to(screen ? CreateCompatibleDC(screen.Get()) : nullptr);
    OwnedBitmap copy(screen ? CreateCompatibleBitmap(screen.Get(), scaled.cx, scaled.cy) : nullptr);
    if (!source || !to || !copy) throw RuntimeError{kOutOfMemory, L"Could not scale a picture.", {}, {}};
    {
        Selection in(source.Get(), from);
        Selection target(to.Get(), copy.Get());
        SetStretchFilter(to.Get(), dpi);
        StretchBlt(to.Get(), 0, 0, scaled.cx, scaled.cy, source.Get(), 0, 0, fromSize.cx, fromSize.cy, SRCCOPY);
    }
    HBITMAP bitmap = copy.Get();
    return {bitmap, scaled, std::move(copy)};
}

void FormPainter::SetDensity(int dpi) {
    if (density_ && density_->dpi == dpi) return;
    std::map<int, DensityPicture> pictures;
    std::vector<OwnedFont> fonts(spec_.controls.size());
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        const ControlSpec& c = spec_.controls[i];
        if (c.picture && !pictures.count(c.picture)) pictures.emplace(c.picture, pictures_.At(c, dpi));
        if (c.kind == ControlKind::Label) {
            const int height = FontPixelHeight(c.font.points, dpi);
            fonts[i].Reset(CreateFontW(-height, 0, 0, 0, c.font.weight, FALSE, FALSE, FALSE,
                                       static_cast<BYTE>(c.font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, c.font.face));
            if (!fonts[i]) throw RuntimeError{kOutOfMemory, L"Could not create a label's font.", {}, {}};
        }
    }
    // The pictures leave the shared source DC before the old set goes.
    pictureDc_.Reset();
    density_.reset();
    density_.emplace();
    density_->dpi = dpi;
    density_->pictures = std::move(pictures);
    density_->fonts = std::move(fonts);
}

HDC FormPainter::Scene(HDC like, const RECT& client, RECT& changed) {
    Density& d = *density_;
    const SIZE size{client.right - client.left, client.bottom - client.top};
    if (d.sceneSize.cx == size.cx && d.sceneSize.cy == size.cy) {
        RECT inside;
        IntersectRect(&inside, &changed, &client);
        changed = inside;
        return d.scene.Get(like, size.cx, size.cy);
    }
    // New, or the client area changed size: all of it is drawn again.
    HDC scene = size.cx > 0 && size.cy > 0 ? d.scene.Get(like, size.cx, size.cy) : nullptr;
    d.sceneSize = scene ? size : SIZE{};
    changed = client;
    return scene;
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
    const int dpi = density_->dpi;
    const TwipRect twips = ToTwips({area.left, area.top, area.right - area.left, area.bottom - area.top}, dpi);
    for (ControlId id : model.DrawOrder(twips)) {
        const ControlSpec& c = spec_.controls[id];
        if (c.kind == ControlKind::Label) {
            DrawLabel(dc, c, model.Caption(id), ToPixels(c.rect, dpi));
        } else if (c.picture && c.stretch) {
            DrawPicture(dc, c.picture, ToPixels(c.rect, dpi), true);
        } else if (c.picture) {
            // At its own size from the corner, cut off at the control's edges: the
            // part it covers at the layout density, taken in twips, so that at any
            // density its edges fall where the layout's edges fall. A picture drawn
            // for this scale is that size already and goes on unstretched.
            const SIZE own = pictures_.LayoutSize(c.picture);
            DrawPicture(dc, c.picture, ToPixels(CoveredTwips(c, own.cx, own.cy), dpi), true);
        }
    }
}

void FormPainter::DrawPicture(HDC dc, int picture, const PixelRect& dest, bool stretch) {
    const DensityPicture& p = density_->pictures.at(picture);
    // One source DC for every picture: a paint draws a hundred tiles.
    if (!pictureDc_) pictureDc_.Reset(CreateCompatibleDC(nullptr));
    Selection select(pictureDc_.Get(), p.bitmap);
    if (stretch && (dest.w != p.size.cx || dest.h != p.size.cy)) {
        SetStretchFilter(dc, density_->dpi);
        StretchBlt(dc, dest.x, dest.y, dest.w, dest.h, pictureDc_.Get(), 0, 0, p.size.cx, p.size.cy, SRCCOPY);
    } else {
        BitBlt(dc, dest.x, dest.y, std::min<int>(dest.w, p.size.cx), std::min<int>(dest.h, p.size.cy),
               pictureDc_.Get(), 0, 0, SRCCOPY);
    }
}

void FormPainter::DrawLabel(HDC dc, const ControlSpec& label, const std::wstring& text, const PixelRect& dest) {
    if (text.empty()) return;
    SavedDC saved(dc);
    Selection font(dc, density_->fonts[&label - spec_.controls.data()].Get());
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
        const SIZE size = density_->pictures.at(button.picture).size;
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
