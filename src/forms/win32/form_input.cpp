// Pointer and key input of a form's window: the messages decoded and handed
// to the form, which routes them to the handlers; the capture and the cursor.
#include <windowsx.h>

#include <utility>

#include "forms/win32/form_window.h"

namespace forms::win32 {
namespace {

int ButtonOf(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: return kLeftButton;
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: return kRightButton;
        default: return kMiddleButton;
    }
}

int HeldButtons(WPARAM wp) {
    return ((wp & MK_LBUTTON) ? kLeftButton : 0) | ((wp & MK_RBUTTON) ? kRightButton : 0) |
           ((wp & MK_MBUTTON) ? kMiddleButton : 0);
}

// Whether any mouse button is down now, whatever a message said before.
bool AnyButtonDown() {
    return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0 || GetAsyncKeyState(VK_MBUTTON) < 0;
}

// The Shift argument of handlers: 1 Shift, 2 Ctrl, 4 Alt. A pointer message
// carries the first two in its wParam; Alt, and all three for a key, are read.
int ShiftState(bool shift, bool control) {
    return (shift ? 1 : 0) | (control ? 2 : 0) | ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

int ShiftState(WPARAM wp) { return ShiftState(wp & MK_SHIFT, wp & MK_CONTROL); }

}  // namespace

bool FormWindow::OnKey(HWND child, bool down, WPARAM key, LPARAM lp) {
    if (!down) {
        // Space clicks a button when it comes up, and only after its own key-down went
        // to the button: the key-up of a Space the form took, or whose key-down a prompt
        // read, must not click it (nor release a press it never began).
        return key == VK_SPACE && std::exchange(spaceDown_, SpaceDown::None) != SpaceDown::Button;
    }
    // A held key repeats its key-down (bit 30: it was down already): Enter and Space press once.
    const bool repeat = (lp & (1 << 30)) != 0;
    if (repeat && (key == VK_RETURN || key == VK_SPACE)) return true;
    const ControlId id = IdOfChild(child);
    if (id == kFormItself || key > 0x7FFF) return false;
    const auto shift = static_cast<std::int16_t>(ShiftState(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0));
    bool taken = false;
    Raise([&] { taken = sink_->KeyDown(&spec_.controls[id], static_cast<std::int16_t>(key), shift); });
    if (key == VK_SPACE) spaceDown_ = taken ? SpaceDown::Form : SpaceDown::Button;
    return taken;
}


bool FormWindow::OnSetCursor(HWND over, UINT hitTest) {
    if (hitTest != HTCLIENT) return false;
    const ControlSpec* owner = nullptr;
    if (over == wnd_) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(wnd_, &p);
        owner = form_->PointerOwner(Twips(p.x), Twips(p.y));
    } else if (ControlId id = IdOfChild(over); id != kFormItself) {
        const ControlSpec& c = spec_.controls[id];
        owner = c.pointer == MousePointer::Custom ? &c : nullptr;
    } else {
        return false;
    }
    SetCursor(owner ? cursors_.at(owner->mouseIcon).Get() : formCursor_);
    return true;
}

void FormWindow::OnButtonMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
    OnButton(down, ButtonOf(msg), wp, lp, false);
}

void FormWindow::OnButton(bool down, int button, WPARAM wp, LPARAM lp, bool synthetic) {
    const float x = Twips(GET_X_LPARAM(lp)), y = Twips(GET_Y_LPARAM(lp));
    Raise([&] {
        const bool captured = down ? form_->ButtonDown(button, HeldButtons(wp), ShiftState(wp), x, y)
                                   : form_->ButtonUp(button, HeldButtons(wp), ShiftState(wp), x, y);
        // The handler may have let the release happen out of sight (an elevation prompt
        // on the secure desktop): capture only while a button is really down, or every
        // click on the screen would come here.
        FollowCapture(captured && (synthetic || AnyButtonDown()));
    });
}

void FormWindow::OnMouseMove(WPARAM wp, LPARAM lp) {
    const float x = Twips(GET_X_LPARAM(lp)), y = Twips(GET_Y_LPARAM(lp));
    // While captured no WM_SETCURSOR arrives: the receiver of the press keeps its pointer.
    if (GetCapture() == wnd_) OnSetCursor(wnd_, HTCLIENT);
    Raise([&] { FollowCapture(form_->PointerMove(HeldButtons(wp), ShiftState(wp), x, y)); });
}

void FormWindow::FollowCapture(bool captured) {
    if (!wnd_) return;  // a handler unloaded the form
    if (captured && GetCapture() != wnd_) SetCapture(wnd_);
    if (!captured && GetCapture() == wnd_) ReleaseCapture();
}


}  // namespace forms::win32
