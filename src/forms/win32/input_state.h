// What input messages say, decoded as the handlers receive it: the button, the
// buttons held, the shift keys, a key's repeat, and who took a held Space.
#pragma once

#include <windows.h>

#include <utility>

#include "forms/form.h"

namespace forms::win32 {

// The button a WM_xBUTTONDOWN or WM_xBUTTONUP is about.
inline int ButtonOf(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: return kLeftButton;
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: return kRightButton;
        default: return kMiddleButton;
    }
}

// The buttons a pointer message's wParam says are down.
inline int HeldButtons(WPARAM wp) {
    return ((wp & MK_LBUTTON) ? kLeftButton : 0) | ((wp & MK_RBUTTON) ? kRightButton : 0) |
           ((wp & MK_MBUTTON) ? kMiddleButton : 0);
}

// The Shift argument of handlers: 1 Shift, 2 Ctrl, 4 Alt. A pointer message
// carries the first two in its wParam; Alt, and all three for a key, are read.
inline int ShiftState(bool shift, bool control, bool alt) {
    return (shift ? 1 : 0) | (control ? 2 : 0) | (alt ? 4 : 0);
}
inline int ShiftState(WPARAM wp) { return ShiftState(wp & MK_SHIFT, wp & MK_CONTROL, GetKeyState(VK_MENU) < 0); }

// A held key repeats its key-down with bit 30 set: it was down already.
inline bool IsRepeat(LPARAM keyData) { return (keyData & (1 << 30)) != 0; }

// Space clicks a push button when it comes up, and only after its own key-down
// went to the button: the key-up of a Space the form took, or whose key-down a
// prompt read, must not click it.
class SpaceKey {
public:
    void Down(bool takenByForm) { down_ = takenByForm ? Taker::Form : Taker::Button; }
    // On the key-up: whether the button may act on it. The key is up again after.
    bool UpReachesButton() { return std::exchange(down_, Taker::None) == Taker::Button; }

private:
    enum class Taker { None, Form, Button };
    Taker down_ = Taker::None;
};

}  // namespace forms::win32
