// One static window procedure that finds its object through lpCreateParams.
#pragma once

#include <windows.h>

namespace forms::win32 {

template <class T>
class BaseWindow {
public:
    HWND Window() const { return wnd_; }

protected:
    static LRESULT CALLBACK Procedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        T* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->wnd_ = wnd;
        } else {
            self = reinterpret_cast<T*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcW(wnd, msg, wp, lp);
        const LRESULT result = self->HandleMessage(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
            self->wnd_ = nullptr;
        }
        return result;
    }

    HWND wnd_ = nullptr;
};

}  // namespace forms::win32
