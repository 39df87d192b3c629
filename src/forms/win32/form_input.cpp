#include "forms/win32/form_input.h"

#include <windowsx.h>

#include <utility>

#include "forms/win32/error_box.h"
#include "forms/win32/input_state.h"

namespace forms::win32 {
namespace {

// Whether any mouse button is down now, whatever a message said before.
bool AnyButtonDown() {
    return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0 || GetAsyncKeyState(VK_MBUTTON) < 0;
}

const wchar_t* StandardCursor(FormPointer p) {
    switch (p) {
        case FormPointer::Crosshair: return IDC_CROSS;
    }
    return IDC_ARROW;
}

}  // namespace

void FormInput::LoadCursors() {
    const HINSTANCE instance = site_.app.instance;
    formCursor_ = LoadCursorW(nullptr, StandardCursor(site_.layout.pointer));
    for (const ControlSpec& c : site_.layout.controls) {
        if (!c.mouseIcon || cursors_.count(c.mouseIcon)) continue;
        OwnedCursor cursor(static_cast<HCURSOR>(
            LoadImageW(instance, MAKEINTRESOURCEW(c.mouseIcon), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
        if (!cursor) FailWithLastError(L"Could not load a cursor.");
        cursors_.emplace(c.mouseIcon, std::move(cursor));
    }
}

void FormInput::TakeButton(HWND button) {
    SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    buttonDefault_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormInput::ButtonProcedure)));
}

LRESULT CALLBACK FormInput::ButtonProcedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<FormInput*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(wnd, msg, wp, lp);
    // Keys go to the button first; what the form's handlers take, the button does not see.
    if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && self->OnKey(wnd, msg == WM_KEYDOWN, wp, lp)) return 0;
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        // Enter clicks the focused button, as it would in a dialog.
        SendMessageW(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(wnd));
        return 0;
    }
    if (msg == WM_SETCURSOR) return self->OnSetCursor(wnd, LOWORD(lp)) ? TRUE : FALSE;
    return CallWindowProcW(self->buttonDefault_, wnd, msg, wp, lp);
}

bool FormInput::OnKey(HWND button, bool down, WPARAM key, LPARAM lp) {
    if (!down) return key == VK_SPACE && !space_.UpReachesButton();  // nor releases a press it never began
    // A held Enter or Space presses once.
    if (IsRepeat(lp) && (key == VK_RETURN || key == VK_SPACE)) return true;
    const ControlId id = site_.IdOfChild(button);
    if (id == kFormItself || key > 0x7FFF) return false;
    const auto shift = static_cast<std::int16_t>(
        ShiftState(GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0));
    bool taken = false;
    site_.Raise([&] { taken = site_.TheForm().KeyDown(id, static_cast<std::int16_t>(key), shift); });
    if (key == VK_SPACE) space_.Down(taken);
    return taken;
}

bool FormInput::OnSetCursor(HWND over, UINT hitTest) {
    if (hitTest != HTCLIENT) return false;
    const ControlSpec* owner = nullptr;
    if (over == site_.window) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(over, &p);
        owner = site_.TheForm().PointerOwner(site_.Twips(p.x), site_.Twips(p.y));
    } else if (ControlId id = site_.IdOfChild(over); id != kFormItself) {
        const ControlSpec& c = site_.layout.controls[id];
        owner = c.pointer == MousePointer::Custom ? &c : nullptr;
    } else {
        return false;
    }
    SetCursor(owner ? cursors_.at(owner->mouseIcon).Get() : formCursor_);
    return true;
}

void FormInput::OnButton(UINT msg, WPARAM wp, LPARAM lp) {
    const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
    const int button = ButtonOf(msg);
    const float x = site_.Twips(GET_X_LPARAM(lp)), y = site_.Twips(GET_Y_LPARAM(lp));
    site_.Raise([&] {
        Form& form = site_.TheForm();
        const bool captured = down ? form.ButtonDown(button, HeldButtons(wp), ShiftState(wp), x, y)
                                   : form.ButtonUp(button, HeldButtons(wp), ShiftState(wp), x, y);
        // The handler may have let the release happen out of sight (an elevation prompt
        // on the secure desktop): capture only while a button is really down, or every
        // click on the screen would come here.
        FollowCapture(captured && AnyButtonDown());
    });
}

void FormInput::OnMouseMove(WPARAM wp, LPARAM lp) {
    const float x = site_.Twips(GET_X_LPARAM(lp)), y = site_.Twips(GET_Y_LPARAM(lp));
    // While captured no WM_SETCURSOR arrives: the receiver of the press keeps its pointer.
    if (GetCapture() == site_.window) OnSetCursor(site_.window, HTCLIENT);
    site_.Raise([&] { FollowCapture(site_.TheForm().PointerMove(HeldButtons(wp), ShiftState(wp), x, y)); });
}

void FormInput::FollowCapture(bool captured) {
    HWND wnd = site_.window;
    if (!wnd) return;  // a handler unloaded the form
    if (captured && GetCapture() != wnd) SetCapture(wnd);
    if (!captured && GetCapture() == wnd) ReleaseCapture();
}

}  // namespace forms::win32
