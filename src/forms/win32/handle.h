// One owner per handle: a move-only holder that releases its handle with the
// function given as a template parameter, in the manner of WIL's unique_any.
// A null handle is "none" and is never released.
#pragma once

#include <windows.h>

#include <utility>

namespace forms::win32 {

template <class H, auto ReleaseFn>
class Unique {
public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Releases the handle held, if any, and holds `h` instead.
    void Reset(H h = nullptr) {
        if (h_) ReleaseFn(h_);
        h_ = h;
    }

private:
    H h_ = nullptr;
};

using OwnedBitmap = Unique<HBITMAP, &DeleteObject>;
using OwnedFont = Unique<HFONT, &DeleteObject>;
using OwnedRegion = Unique<HRGN, &DeleteObject>;
using MemoryDC = Unique<HDC, &DeleteDC>;
using OwnedCursor = Unique<HCURSOR, &DestroyCursor>;  // one loaded from a resource, not shared
using OwnedWindow = Unique<HWND, &DestroyWindow>;
using OwnedHandle = Unique<HANDLE, &CloseHandle>;  // where failure is null, not INVALID_HANDLE_VALUE
template <class T>
using LocalMemory = Unique<T*, &LocalFree>;

}  // namespace forms::win32
