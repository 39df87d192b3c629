// One owner per handle: a move-only holder that releases its handle with the
// function given as a template parameter, in the manner of WIL's unique_any.
// A null handle is "none" and is never released. A handle whose release needs
// one more value (the window a DC belongs to) keeps that value beside it.
// COM references have theirs too (Com), released with their own Release.
#pragma once

#include <windows.h>

#include <type_traits>
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

struct NoContext {};

// ReleaseFn(handle), or ReleaseFn(context, handle) where a Context is given.
template <class H, auto ReleaseFn, class Context = NoContext>
class Unique {
public:
    Unique() = default;
    explicit Unique(H h, Context context = {}) : h_(h), context_(context) {}
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, nullptr)), context_(o.context_) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, nullptr), o.context_);
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { Reset(); }

    H Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Releases the handle held, if any, and holds `h` instead.
    void Reset(H h = nullptr, Context context = {}) {
        if (h_) {
            if constexpr (std::is_same_v<Context, NoContext>) {
                ReleaseFn(h_);
            } else {
                ReleaseFn(context_, h_);
            }
        }
        h_ = h;
        context_ = context;
    }

private:
    H h_ = nullptr;
    [[no_unique_address]] Context context_{};
};

using OwnedBitmap = Unique<HBITMAP, &DeleteObject>;
using OwnedBrush = Unique<HBRUSH, &DeleteObject>;
using OwnedFont = Unique<HFONT, &DeleteObject>;
using OwnedRegion = Unique<HRGN, &DeleteObject>;
using MemoryDC = Unique<HDC, &DeleteDC>;
using WindowDC = Unique<HDC, &ReleaseDC, HWND>;  // GetDC's, given back to its window
using OwnedCursor = Unique<HCURSOR, &DestroyCursor>;  // one loaded from a resource, not shared
using OwnedWindow = Unique<HWND, &DestroyWindow>;
using OwnedHandle = Unique<HANDLE, &CloseHandle>;  // where failure is null, not INVALID_HANDLE_VALUE
template <class T>
using LocalMemory = Unique<T*, &LocalFree>;

// One COM reference, released when it goes: what a call hands out through Out().
template <class T>
class Com : NonCopyable {
public:
    Com() = default;
    ~Com() { Reset(); }
    // The slot for a call's out parameter; the reference held before is released first.
    T** Out() {
        Reset();
        return &p_;
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

private:
    T* p_ = nullptr;
};

}  // namespace forms::win32
