// Scoped helpers for drawing: a paint request, a selection, a surface kept off screen.
// What they own is held by the owners of handle.h.
#pragma once

#include <windows.h>

#include <utility>

#include "forms/geometry.h"
#include "forms/win32/handle.h"

namespace forms::win32 {

inline RECT ToRect(const PixelRect& r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }

// BeginPaint and EndPaint of one paint request.
class PaintScope : NonCopyable {
public:
    explicit PaintScope(HWND wnd) {
        if (BeginPaint(wnd, &ps_)) request_.Reset(&ps_, wnd);
    }
    HDC Dc() const { return ps_.hdc; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    PAINTSTRUCT ps_{};
    Unique<const PAINTSTRUCT*, &EndPaint, HWND> request_;  // ended before ps_ goes
};

// Selects an object into a DC and puts the previous one back.
class Selection : NonCopyable {
public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~Selection() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory DC with a bitmap of at least a given size, kept from one paint
// to the next so a paint does not pay for a new bitmap.
class Surface : NonCopyable {
public:
    // nullptr when there is no memory for it.
    HDC Get(HDC like, int width, int height) {
        if (dc_ && width <= width_ && height <= height_) return dc_.Get();
        Release();
        MemoryDC dc(CreateCompatibleDC(like));
        OwnedBitmap bitmap(dc ? CreateCompatibleBitmap(like, width, height) : nullptr);
        if (!bitmap) return nullptr;
        dc_ = std::move(dc);
        bitmap_ = std::move(bitmap);
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        width_ = width;
        height_ = height;
        return dc_.Get();
    }
    ~Surface() { Release(); }

private:
    void Release() {
        // The bitmap leaves the DC before either goes.
        if (dc_ && old_) SelectObject(dc_.Get(), old_);
        dc_.Reset();
        bitmap_.Reset();
        old_ = nullptr;
        width_ = height_ = 0;
    }

    MemoryDC dc_;
    OwnedBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

// A memory DC that pictures are drawn from, keeping the last one selected: a
// paint draws the same tile a hundred times, and under Wine each selection and
// its undoing cost a tenth of a millisecond. A bitmap can be in one DC at a
// time and must be in none when deleted: Release() lets it go first.
class SourceDC : NonCopyable {
public:
    // The DC with `bitmap` in it; nullptr where no DC could be had.
    HDC With(HBITMAP bitmap) {
        if (!dc_) dc_.Reset(CreateCompatibleDC(nullptr));
        if (!dc_ || held_ == bitmap) return dc_.Get();
        HGDIOBJ old = SelectObject(dc_.Get(), bitmap);
        if (!old || old == HGDI_ERROR) return nullptr;
        if (!original_) original_ = old;
        held_ = bitmap;
        return dc_.Get();
    }
    void Release() {
        if (dc_ && original_) SelectObject(dc_.Get(), original_);
        held_ = nullptr;
    }
    ~SourceDC() { Release(); }

private:
    MemoryDC dc_;
    HGDIOBJ original_ = nullptr;  // the DC's own one-pixel bitmap
    HBITMAP held_ = nullptr;
};

// Saves and restores a DC's state (clip region, colours, modes).
class SavedDC : NonCopyable {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDC() {
        if (id_) RestoreDC(dc_, id_);
    }

private:
    HDC dc_;
    int id_;
};

}  // namespace forms::win32
