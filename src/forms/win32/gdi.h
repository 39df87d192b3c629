// Scoped owners of GDI handles. None can be copied: each handle has one owner.
#pragma once

#include <windows.h>

#include <utility>

namespace forms::win32 {

class NonCopyable {
protected:
    NonCopyable() = default;
    ~NonCopyable() = default;
public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;
};

// A pen, brush, font, bitmap or region, deleted with its owner.
template <class H>
class GdiObject : NonCopyable {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : h_(h) {}
    GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            Reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    ~GdiObject() { Reset(); }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void Reset() {
        if (h_) DeleteObject(h_);
        h_ = nullptr;
    }

private:
    H h_ = nullptr;
};

// The device context of a window outside a paint request.
class WindowDC : NonCopyable {
public:
    explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// BeginPaint and EndPaint of one paint request.
class PaintScope : NonCopyable {
public:
    explicit PaintScope(HWND wnd) : wnd_(wnd) { BeginPaint(wnd_, &ps_); }
    ~PaintScope() { EndPaint(wnd_, &ps_); }
    HDC Dc() const { return ps_.hdc; }
    const RECT& Area() const { return ps_.rcPaint; }

private:
    HWND wnd_;
    PAINTSTRUCT ps_{};
};

class MemoryDC : NonCopyable {
public:
    explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    HDC Get() const { return dc_; }

private:
    HDC dc_;
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
