#include "forms/win32/form_window.h"

#include <utility>

#include "forms/win32/bench_hook.h"
#include "forms/win32/system.h"

namespace forms::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VelbrookForm";
constexpr wchar_t kOwnerClass[] = L"VelbrookOwner";
constexpr int kFirstChildId = 100;
constexpr UINT kDefaultActionMessage = WM_APP + 1;  // wParam: the control

const wchar_t* StandardCursor(FormPointer p) {
    switch (p) {
        case FormPointer::Crosshair: return IDC_CROSS;
    }
    return IDC_ARROW;
}

}  // namespace

FormWindow::FormWindow(const AppInfo& app, const FormSpec& layout)
    : app_(app), spec_(layout), painter_(app.instance, layout, tpp_) {}

int FormWindow::Run(EventSink& sink) {
    bench::Mark(bench::kEntered);
    sink_ = &sink;
    form_.emplace(spec_, sink);
    Guarded(nullptr, app_.title, [&] {
        prevInstance_ = ClaimSingleInstance(app_.mutexName);
        Create();
    });
    bench::Mark(bench::kCreated);
    Raise([&] { sink.Load(); });
    if (!wnd_) return 0;  // the load step unloaded the form
    bench::Mark(bench::kLoaded);
    ShowWindow(wnd_, SW_SHOWNORMAL);
    FocusFirstChild();
    UpdateWindow(wnd_);
    bench::Mark(bench::kShown);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void FormWindow::Create() {
    formCursor_ = LoadCursorW(nullptr, StandardCursor(spec_.pointer));

    WNDCLASSEXW owner{};
    owner.cbSize = sizeof owner;
    owner.lpfnWndProc = DefWindowProcW;
    owner.hInstance = app_.instance;
    owner.lpszClassName = kOwnerClass;
    RegisterClassExW(&owner);
    owner_.Reset(CreateWindowExW(0, kOwnerClass, app_.title, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                 app_.instance, nullptr));

    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = &FormWindow::Procedure;
    form.hInstance = app_.instance;
    form.hIcon = LoadIconW(app_.instance, MAKEINTRESOURCEW(spec_.icon));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    if (!form.hIcon) FailWithLastError(L"Could not load the window's icon.");
    if (!RegisterClassExW(&form)) FailWithLastError(L"Could not register the window class.");

    painter_.Load();
    LoadCursors();

    const SIZE outer = OuterSize();
    CreateWindowExW(FormExStyle(), kFormClass, spec_.caption, FormStyle(), CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                    outer.cy, owner_.Get(), nullptr, app_.instance, this);
    if (!wnd_) FailWithLastError(L"Could not create the window.");
    // The size asked for once more: creation asks for the limits before the window
    // reaches its object, so a screen smaller than the window shrank it.
    SetWindowPos(wnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateChildren();
}

SIZE FormWindow::OuterSize() const {
    RECT outer{0, 0, TwipsToPixels(spec_.clientWidth, tpp_), TwipsToPixels(spec_.clientHeight, tpp_)};
    AdjustWindowRectEx(&outer, FormStyle(), FALSE, FormExStyle());
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void FormWindow::LoadCursors() {
    for (const ControlSpec& c : spec_.controls) {
        if (!c.mouseIcon || cursors_.count(c.mouseIcon)) continue;
        OwnedCursor cursor(static_cast<HCURSOR>(
            LoadImageW(app_.instance, MAKEINTRESOURCEW(c.mouseIcon), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
        if (!cursor) FailWithLastError(L"Could not load a cursor.");
        cursors_.emplace(c.mouseIcon, std::move(cursor));
    }
}

void FormWindow::CreateChildren() {
    children_.assign(spec_.controls.size(), nullptr);
    for (ControlId id = 0; id < form_->Model().Count(); ++id) {
        const ControlSpec& c = spec_.controls[id];
        if (!IsChildWindow(c.kind)) continue;
        const PixelRect r = ToPixels(c.rect, tpp_);
        const DWORD visible = c.visible ? WS_VISIBLE : 0;
        HWND child = nullptr;
        if (c.kind == ControlKind::PictureBox) {
            child = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | visible, r.x, r.y, r.w, r.h, wnd_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChildId + id)),
                                    app_.instance, nullptr);
        } else {
            child = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | visible, r.x, r.y,
                                    r.w, r.h, wnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChildId + id)),
                                    app_.instance, nullptr);
            if (child) {
                // Enter clicks the focused button, as it would in a dialog.
                SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
                buttonDefault_ = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::ButtonProcedure)));
            }
        }
        if (!child) FailWithLastError(L"Could not create a control.");
        children_[id] = child;
    }
    // A graphical button shows no text; its text is what a screen reader says of it.
    for (const AccessibleItem& item : spec_.accessible) {
        HWND child = ChildOf(form_->Model().Find(item.control, item.index));
        if (child && item.role == AccessibleRole::Button && item.name) SetWindowTextW(child, item.name);
    }
}

LRESULT CALLBACK FormWindow::ButtonProcedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    // Keys go to the button first; what the form's handlers take, the button does not see.
    if (self && (msg == WM_KEYDOWN || msg == WM_KEYUP) && self->OnKey(wnd, msg == WM_KEYDOWN, wp, lp)) return 0;
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        SendMessageW(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(wnd));
        return 0;
    }
    if (msg == WM_SETCURSOR && self) return self->OnSetCursor(wnd, LOWORD(lp)) ? TRUE : FALSE;
    return self ? CallWindowProcW(self->buttonDefault_, wnd, msg, wp, lp) : DefWindowProcW(wnd, msg, wp, lp);
}

HWND FormWindow::ChildOf(ControlId id) const { return children_.empty() ? nullptr : children_[id]; }

ControlId FormWindow::IdOfChild(HWND child) const {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i] && children_[i] == child) return static_cast<ControlId>(i);
    return kFormItself;
}

void FormWindow::FocusFirstChild() {
    for (ControlId id = 0; id < static_cast<ControlId>(children_.size()); ++id) {
        HWND child = children_[id];
        if (child && (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) &&
            IsWindowEnabled(child)) {
            SetFocus(child);
            return;
        }
    }
}

LRESULT FormWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_GETMINMAXINFO: {
            // The system would shrink a window larger than the screen as it is made;
            // this one keeps its size and overhangs the screen's edges instead.
            auto& info = *reinterpret_cast<MINMAXINFO*>(lp);
            const SIZE outer = OuterSize();
            info.ptMaxTrackSize.x = std::max<LONG>(info.ptMaxTrackSize.x, outer.cx);
            info.ptMaxTrackSize.y = std::max<LONG>(info.ptMaxTrackSize.y, outer.cy);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;  // the paint fills the background itself, off screen
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            bench::PaintTimer timer(item.hwndItem);
            if (const ControlId id = IdOfChild(item.hwndItem); id != kFormItself) {
                // While a control is chosen with the keyboard, Enter acts on it: the cue would mislead.
                painter_.DrawButton(item, spec_.controls[id],
                                    (item.itemState & ODS_FOCUS) && keyboardChoice_ == kFormItself);
            }
            return TRUE;
        }
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp))) return TRUE;
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
            OnButtonMessage(msg, wp, lp);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(wp, lp);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != wnd_) form_->CaptureLost();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                const ControlId id = IdOfChild(reinterpret_cast<HWND>(lp));
                if (id != kFormItself) Raise([&] { sink_->Click(&spec_.controls[id]); });
                return 0;
            }
            break;
        case WM_SETFOCUS:
            // The form keeps the focus only while none of its controls can take it.
            FocusFirstChild();
            if (GetFocus() == wnd_) Raise([&] { sink_->GotFocus(); });
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(static_cast<DWORD>(lp)) == OBJID_CLIENT) {
                if (const LRESULT answer = accessibility_.Answer(wp)) return answer;
            }
            break;
        case kDefaultActionMessage:
            OnDefaultAction(static_cast<ControlId>(wp));
            return 0;
        case WM_DESTROY:
            accessibility_.Disconnect();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(wnd_, msg, wp, lp);
}

void FormWindow::OnPaint() {
    bench::PaintTimer timer(wnd_);
    PaintScope paint(wnd_);
    const RECT& area = paint.Area();
    // Drawn off screen and shown in one blit: no flash of the background
    // between the erase, the tiles and the pictures.
    OffscreenBuffer buffer(painter_.BackBuffer(), paint.Dc(), area);
    FillRect(buffer.Dc(), &area, GetSysColorBrush(COLOR_BTNFACE));
    paintDc_ = buffer.Dc();
    paintArea_ = area;
    Raise([&] { sink_->Paint(); });
    paintDc_ = nullptr;
    painter_.DrawControls(buffer.Dc(), area, form_->Model());
}

void FormWindow::PaintPicture(int picture, const PixelRect& dest) {
    if (paintDc_) {
        RECT meet, target = ToRect(dest);
        if (!IntersectRect(&meet, &target, &paintArea_)) return;  // nothing of it would show
        painter_.DrawPicture(paintDc_, picture, dest, true);
    } else {
        WindowDC dc(wnd_);
        painter_.DrawPicture(dc.Get(), picture, dest, true);
    }
}

void FormWindow::ShowChange(ControlId id) {
    if (!wnd_) return;
    if (HWND child = ChildOf(id)) {
        ShowWindow(child, form_->Model().Visible(id) ? SW_SHOWNA : SW_HIDE);
        return;
    }
    const RECT r = ToRect(ToPixels(spec_.controls[id].rect, tpp_));
    InvalidateRect(wnd_, &r, TRUE);
}

// What a screen reader sees and does.

std::vector<AccessibleNode> FormWindow::AccessibleItems() { return AccessibleChildren(form_->Model()); }

RECT FormWindow::ClientRectOf(const TwipRect& rect) { return ToRect(ToPixels(rect, tpp_)); }

bool FormWindow::HasFocus(ControlId control) {
    if (keyboardChoice_ != kFormItself) return control == keyboardChoice_;
    HWND child = ChildOf(control);
    return child && GetFocus() == child;
}

void FormWindow::SetKeyboardChoice(ControlId id) {
    if (id == keyboardChoice_ || !wnd_) return;
    keyboardChoice_ = id;
    if (HWND focus = GetFocus(); focus && IdOfChild(focus) != kFormItself) InvalidateRect(focus, nullptr, FALSE);
    // A screen reader hears where the focus now is: the chosen item, or back on the focused control.
    const auto items = AccessibleItems();
    for (size_t i = 0; i < items.size(); ++i) {
        if (HasFocus(items[i].control)) NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd_, OBJID_CLIENT, static_cast<LONG>(i + 1));
    }
}

void FormWindow::DoDefaultAction(ControlId control) {
    // Not inside the request: the handlers may pump messages and end the program.
    PostMessageW(wnd_, kDefaultActionMessage, static_cast<WPARAM>(control), 0);
}

void FormWindow::OnDefaultAction(ControlId control) {
    if (control < 0 || control >= form_->Model().Count()) return;
    if (ChildOf(control)) {  // a button: as if it were clicked
        Raise([&] { sink_->Click(&spec_.controls[control]); });
        return;
    }
    // A drawn picture: what a user does, pointing at its middle and clicking there.
    const PixelRect r = ToPixels(spec_.controls[control].rect, tpp_);
    const LPARAM at = MAKELPARAM(r.x + r.w / 2, r.y + r.h / 2);
    OnMouseMove(0, at);
    if (wnd_) OnButton(true, kLeftButton, MK_LBUTTON, at, /*synthetic=*/true);
    if (wnd_) OnButton(false, kLeftButton, 0, at, /*synthetic=*/true);
}

void FormWindow::Close() {
    if (!wnd_) return;
    if (!DestroyWindow(wnd_)) FailWithLastError(L"Could not unload the window.");
    owner_.Reset();
}

}  // namespace forms::win32
