#include "forms/win32/painter.h"

#include <algorithm>
#include <new>

#include "forms/win32/error_box.h"
#include "forms/win32/form_style.h"
#include "forms/picture_scales.h"
#include "forms/win32/scaled_picture.h"
#include "forms/win32/system_api.h"

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

// The face a label's font asks for at a density. "MS Sans Serif" is a bitmap
// font on Windows, drawn for 96 dpi (sserife.fon): elsewhere GDI enlarges its
// bitmaps into stair-steps. And the set of it Windows holds is the session's
// (sseriff.fon, twice as large, in a session of 120 dpi), so a window at 96 dpi
// in such a session would get letters too large for its labels. Unless both
// are 96 dpi, the TrueType face of the same design, which every Windows from
// 2000 on has, stands in.
const wchar_t* FaceAt(const wchar_t* face, int dpi) {
    const bool bitmapFits = dpi == kLayoutDpi && RasterFontDpi() == kLayoutDpi;
    if (!bitmapFits && face && lstrcmpiW(face, L"MS Sans Serif") == 0) return L"Microsoft Sans Serif";
    return face;
}

// A length of the 96-dpi design (a line, an inset) at a density: at least a pixel.
int DesignPixels(int pixels, int dpi) { return std::max(1, MulDiv(pixels, dpi, kLayoutDpi)); }

void FillWith(HDC dc, const RECT& r, int colour) { FillRect(dc, &r, GetSysColorBrush(colour)); }

// A push button's raised edge (its pushed, sunken one where `pushed`) and face,
// as DrawFrameControl draws it at 96 dpi, with each of its two bands `band`
// pixels wide: DrawFrameControl itself draws them a pixel wide at any density.
void DrawButtonEdge(HDC dc, RECT r, bool pushed, int band) {
    // Outer band, then inner: top and left in the first colour, bottom and right
    // over them in the second, as DrawEdge draws them (BF_SOFT).
    const int raised[2][2] = {{COLOR_3DHILIGHT, COLOR_3DDKSHADOW}, {COLOR_3DLIGHT, COLOR_3DSHADOW}};
    const int sunken[2][2] = {{COLOR_3DDKSHADOW, COLOR_3DHILIGHT}, {COLOR_3DSHADOW, COLOR_3DLIGHT}};
    for (const auto& colours : pushed ? sunken : raised) {
        FillWith(dc, {r.left, r.top, r.right, r.top + band}, colours[0]);
        FillWith(dc, {r.left, r.top, r.left + band, r.bottom}, colours[0]);
        FillWith(dc, {r.left, r.bottom - band, r.right, r.bottom}, colours[1]);
        FillWith(dc, {r.right - band, r.top, r.right, r.bottom}, colours[1]);
        InflateRect(&r, -band, -band);
    }
    FillWith(dc, r, COLOR_BTNFACE);
}

// The focus cue, as DrawFocusRect draws it at 96 dpi (every other pixel of a
// line inverted), with its dots `width` pixels and its lines as many times the
// user's focus border (Ease of Access may set it thicker than a pixel):
// DrawFocusRect itself draws the 96-dpi cue at any density.
void DrawFocusCue(HDC dc, const RECT& r, int width) {
    UINT borderX = 1, borderY = 1;
    if (!SystemParametersInfoW(SPI_GETFOCUSBORDERWIDTH, 0, &borderX, 0) || borderX < 1) borderX = 1;
    if (!SystemParametersInfoW(SPI_GETFOCUSBORDERHEIGHT, 0, &borderY, 0) || borderY < 1) borderY = 1;
    const int lineX = width * static_cast<int>(borderX), lineY = width * static_cast<int>(borderY);
    // A checkerboard of width x width squares, its grid at the DC's origin and its
    // first square set, as DrawFocusRect's one-pixel pattern is.
    const int side = 2 * width;
    const int stride = (side + 15) / 16 * 2;  // a monochrome bitmap's rows are whole words
    std::vector<BYTE> bits(static_cast<size_t>(stride) * side, 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if ((x / width + y / width) % 2 == 0) bits[static_cast<size_t>(y) * stride + x / 8] |= 0x80 >> (x % 8);
    const OwnedBitmap pattern(CreateBitmap(side, side, 1, 1, bits.data()));
    const OwnedBrush brush(pattern ? CreatePatternBrush(pattern.Get()) : nullptr);
    if (!brush) return;  // no cue rather than a wrong one
    SavedDC saved(dc);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    // Black and white, so that the pattern's set bits invert and its clear ones leave the pixel.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    Selection select(dc, brush.Get());
    const int w = r.right - r.left, h = r.bottom - r.top;
    PatBlt(dc, r.left, r.top, w, lineY, PATINVERT);
    PatBlt(dc, r.left, r.bottom - lineY, w, lineY, PATINVERT);
    PatBlt(dc, r.left, r.top + lineY, lineX, h - 2 * lineY, PATINVERT);
    PatBlt(dc, r.right - lineX, r.top + lineY, lineX, h - 2 * lineY, PATINVERT);
}

// A copy of `from` stretched to `size` with the density's filter; a run-time
// error if there is no memory for it.
OwnedBitmap StretchedCopy(HBITMAP from, SIZE size, int dpi) {
    const SIZE fromSize = BitmapSize(from);
    const WindowDC screen(GetDC(nullptr), nullptr);
    const MemoryDC source(screen ? CreateCompatibleDC(screen.Get()) : nullptr);
    const MemoryDC to(screen ? CreateCompatibleDC(screen.Get()) : nullptr);
    OwnedBitmap copy(screen ? CreateCompatibleBitmap(screen.Get(), size.cx, size.cy) : nullptr);
    if (!source || !to || !copy) throw RuntimeError{kOutOfMemory, L"Could not scale a picture.", {}, {}};
    Selection in(source.Get(), from);
    Selection target(to.Get(), copy.Get());
    SetStretchFilter(to.Get(), dpi);
    StretchBlt(to.Get(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, fromSize.cx, fromSize.cy, SRCCOPY);
    return copy;
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

void PictureSource::DecodeAhead(int dpi) {
    if (dpi == kLayoutDpi) return;
    const int drawnDpi = DrawnDpiFor(dpi);
    std::vector<int> ids;
    std::vector<ScaledPictures::Stretch> stretches;
    for (const ControlSpec& c : spec_.controls) {
        if (!c.picture || !(c.visible || c.kind == ControlKind::PictureBox)) continue;
        if (std::find(ids.begin(), ids.end(), c.picture) == ids.end()) ids.push_back(c.picture);
        // At a drawn scale a picture box's picture is drawn as decoded, and the paint
        // handler tiles it at the box's size: that copy is made ahead too.
        if (c.kind == ControlKind::PictureBox && drawnDpi == dpi) {
            // Tiled at the box's inside (ScaleWidth), within its edge.
            const PixelRect box = ToPixels({0, 0, c.rect.width, c.rect.height}, dpi);
            const RECT edge = OuterRect({0, 0, 0, 0}, PictureBoxStyle(), PictureBoxExStyle(), dpi);
            stretches.push_back({c.picture, {box.w - (edge.right - edge.left), box.h - (edge.bottom - edge.top)}});
        }
    }
    if (!drawn_ || drawn_->Dpi() != drawnDpi) drawn_.emplace(instance_, drawnDpi);
    drawn_->DecodeAhead(std::move(ids), std::move(stretches), &StretchedCopy);
}

OwnedBitmap PictureSource::Stretched(int picture, SIZE size, int dpi) {
    if (!drawn_ || drawn_->Dpi() != dpi) return OwnedBitmap();
    return drawn_->Stretched(picture, size);
}

SIZE PictureSource::LayoutSize(int picture) const { return BitmapSize(bitmaps_.at(picture).Get()); }

DensityPicture PictureSource::At(const ControlSpec& control, int dpi) {
    const int picture = control.picture;
    HBITMAP own = bitmaps_.at(picture).Get();
    const SIZE size = BitmapSize(own);
    if (dpi == kLayoutDpi) return {own, size, {}};
    // At a drawn scale its picture is the size the control has there, and is
    // drawn as it is. Between them the next drawn scale above stands in,
    // reduced; where the resources lack it, the layout's picture, scaled.
    const int drawnDpi = DrawnDpiFor(dpi);
    if (!drawn_ || drawn_->Dpi() != drawnDpi) drawn_.emplace(instance_, drawnDpi);
    OwnedBitmap drawn = drawn_->Load(picture);
    if (drawn && drawnDpi == dpi) {
        HBITMAP bitmap = drawn.Get();
        return {bitmap, BitmapSize(bitmap), std::move(drawn)};
    }
    // Made at the size its control shows it at there, as the drawn sets are, so
    // that it is resampled once, not reduced and then stretched by a pixel.
    const PictureSize at = PictureSizeAt(control, size.cx, size.cy, dpi);
    OwnedBitmap copy = StretchedCopy(drawn ? drawn.Get() : own, {at.w, at.h}, dpi);
    HBITMAP bitmap = copy.Get();
    return {bitmap, {at.w, at.h}, std::move(copy)};
}

void FormPainter::MakeFor(int dpi) {
    const auto& controls = site_.layout.controls;
    std::vector<OwnedFont> fonts(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec& c = controls[i];
        if (c.kind == ControlKind::Label) {
            const int height = FontPixelHeight(c.font.points, dpi);
            fonts[i].Reset(CreateFontW(-height, 0, 0, 0, c.font.weight, FALSE, FALSE, FALSE,
                                       static_cast<BYTE>(c.font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, FaceAt(c.font.face, dpi)));
            if (!fonts[i]) throw RuntimeError{kOutOfMemory, L"Could not create a label's font.", {}, {}};
        }
    }
    // The pictures leave the shared source DC before the old set goes.
    source_.Release();
    composition_.reset();
    composition_.emplace();
    composition_->fonts = std::move(fonts);
    // Only time is saved by it: without memory for it, the density is still taken
    // and the pictures are decoded when drawn.
    try {
        pictures_.DecodeAhead(dpi);
    } catch (const std::bad_alloc&) {
    }
}

const DensityPicture& FormPainter::Picture(int picture) {
    auto& pictures = composition_->pictures;
    auto found = pictures.find(picture);
    if (found == pictures.end()) {
        // Made for the first control that shows it, as the art generator made it.
        const auto& controls = site_.layout.controls;
        const auto owner = std::find_if(controls.begin(), controls.end(),
                                        [&](const ControlSpec& c) { return c.picture == picture; });
        source_.Release();  // the layout's picture, which may be in it, is read to make this one
        found = pictures.emplace(picture, pictures_.At(*owner, site_.dpi)).first;
    }
    return found->second;
}

HDC FormPainter::Scene(HDC like, const RECT& client, RECT& changed) {
    Composition& d = *composition_;
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

void FormPainter::DrawBackground(int picture, const PixelRect& dest) {
    if (target_) {
        // Only what meets the area: a paint draws a hundred tiles, most of them elsewhere.
        RECT meet, rect = ToRect(dest);
        if (IntersectRect(&meet, &rect, &target_->area)) DrawPicture(target_->dc, picture, dest, true);
        return;
    }
    // Outside a paint it draws on the window itself; with no window, nowhere (GetDC
    // of no window is the whole screen's).
    if (!site_.window) return;
    const WindowDC dc(GetDC(site_.window), site_.window);
    if (dc) DrawPicture(dc.Get(), picture, dest, true);
}

void FormPainter::DrawControls(HDC dc, const RECT& area) {
    const int dpi = site_.dpi;
    const FormModel& model = site_.TheForm().Model();
    const TwipRect twips = ToTwips({area.left, area.top, area.right - area.left, area.bottom - area.top}, dpi);
    struct Item {
        const ControlSpec* control;
        ControlId id;
        PixelRect dest;
    };
    std::vector<Item> items;
    for (ControlId id : model.DrawOrder(twips)) {
        const ControlSpec& c = site_.layout.controls[id];
        if (c.kind == ControlKind::Label || !c.picture || c.stretch) {
            items.push_back({&c, id, ToPixels(c.rect, dpi)});
        } else {
            // At its own size from the corner, cut off at the control's edges: the
            // part it covers at the layout density, taken in twips, so that at any
            // density its edges fall where the layout's edges fall. A picture drawn
            // for this scale is that size already and goes on unstretched.
            const SIZE own = pictures_.LayoutSize(c.picture);
            items.push_back({&c, id, ToPixels(CoveredTwips(c, own.cx, own.cy), dpi)});
        }
    }
    // A picture whose part in the area a picture in front of it covers whole is
    // not drawn, nor decoded: every picture is opaque, and a language's lit face
    // waits behind its normal one until the first hover.
    const auto covered = [&](size_t i) {
        const PixelRect& d = items[i].dest;
        const RECT shown{std::max<LONG>(d.x, area.left), std::max<LONG>(d.y, area.top),
                         std::min<LONG>(d.x + d.w, area.right), std::min<LONG>(d.y + d.h, area.bottom)};
        for (size_t j = i + 1; j < items.size(); ++j) {
            const PixelRect& f = items[j].dest;
            if (items[j].control->kind != ControlKind::Label && items[j].control->picture && f.x <= shown.left &&
                f.y <= shown.top && f.x + f.w >= shown.right && f.y + f.h >= shown.bottom) {
                return true;
            }
        }
        return false;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (item.control->kind == ControlKind::Label) {
            DrawLabel(dc, *item.control, model.Caption(item.id), item.dest);
        } else if (item.control->picture && !covered(i)) {
            DrawPicture(dc, item.control->picture, item.dest, true);
        }
    }
}

void FormPainter::DrawPicture(HDC dc, int picture, const PixelRect& dest, bool stretch) {
    const DensityPicture& p = Picture(picture);
    HBITMAP bitmap = p.bitmap;
    SIZE size = p.size;
    if (stretch && (dest.w != size.cx || dest.h != size.cy)) {
        // Stretched once to that size and kept: the background draws the same tile
        // a hundred times, and each stretch with HALFTONE costs as much as a paint.
        OwnedBitmap& copy = composition_->stretched[{picture, dest.w, dest.h}];
        if (!copy) copy = pictures_.Stretched(picture, {dest.w, dest.h}, site_.dpi);
        if (!copy) {
            source_.Release();  // the picture is selected into a DC of its own to be stretched
            copy = StretchedCopy(p.bitmap, {dest.w, dest.h}, site_.dpi);
        }
        bitmap = copy.Get();
        size = {dest.w, dest.h};
    }
    HDC source = source_.With(bitmap);
    if (source) BitBlt(dc, dest.x, dest.y, std::min<int>(dest.w, size.cx), std::min<int>(dest.h, size.cy), source, 0, 0, SRCCOPY);
}

void FormPainter::DrawLabel(HDC dc, const ControlSpec& label, const std::wstring& text, const PixelRect& dest) {
    if (text.empty()) return;
    SavedDC saved(dc);
    Selection font(dc, composition_->fonts[&label - site_.layout.controls.data()].Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r = ToRect(dest);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

void FormPainter::DrawButton(const DRAWITEMSTRUCT& item, const ControlSpec& button, bool focusCue) {
    RECT face = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    // The edge's bands, the face's inset and the cue's line are a pixel each at 96
    // dpi; wherever they stay a pixel (below 150 %) the system draws them, pixel
    // for pixel as always.
    const int band = DesignPixels(1, site_.dpi);
    if (band == 1) {
        DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    } else {
        DrawButtonEdge(item.hDC, face, pushed, band);
    }
    InflateRect(&face, -2 * band, -2 * band);
    if (button.picture) {
        const SIZE size = Picture(button.picture).size;
        SavedDC saved(item.hDC);
        IntersectClipRect(item.hDC, face.left, face.top, face.right, face.bottom);
        const int shift = pushed ? band : 0;
        const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
        DrawPicture(item.hDC, button.picture,
                    {(w - size.cx) / 2 + shift, (h - size.cy) / 2 + shift, size.cx, size.cy}, false);
    }
    if (focusCue) {
        RECT focus = face;
        InflateRect(&focus, -2 * band, -2 * band);
        if (band == 1) {
            DrawFocusRect(item.hDC, &focus);
        } else {
            DrawFocusCue(item.hDC, focus, band);
        }
    }
}

}  // namespace forms::win32
