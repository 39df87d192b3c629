#include "forms/win32/form_window.h"

#include <algorithm>
#include <utility>

#include "forms/win32/bench_hook.h"
#include "forms/win32/gdi.h"

namespace forms::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VelbrookForm";
constexpr wchar_t kOwnerClass[] = L"VelbrookOwner";
constexpr int kFirstChildId = 100;  // a child's id is this plus its control's place in the layout
constexpr UINT kDefaultActionMessage = WM_APP + 1;  // wParam: the control

}  // namespace

FormWindow::FormWindow(const AppInfo& app, const FormSpec& layout)
    : app_(app), spec_(layout), painter_(app.instance, layout, tpp_) {}

int FormWindow::Run(EventSink& sink) {
    bench::Mark(bench::kEntered);
    sink_ = &sink;
    form_.emplace(spec_, sink);
    Guarded(nullptr, app_.title, [&] { Create(); });
    bench::Mark(bench::kCreated);
    Raise([&] { sink.Load(); });
    if (!wnd_) return 0;  // the load step unloaded the form
    bench::Mark(bench::kLoaded);
    ShowWindow(wnd_, SW_SHOWNORMAL);
    FocusFirstChild();
    UpdateWindow(wnd_);
    bench::Mark(bench::kShown);
    MSG msg;
    for (;;) {
        // Idle: nothing waits in the queue, not even a call that a prompt held up.
        if (form_->PressesHeld() && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) form_->Idle();
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void FormWindow::Create() {
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
    input_.LoadCursors(app_.instance, spec_);

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

void FormWindow::CreateChildren() {
    children_.assign(spec_.controls.size(), nullptr);
    for (ControlId id = 0; id < static_cast<ControlId>(spec_.controls.size()); ++id) {
        const ControlSpec& c = spec_.controls[id];
        if (!IsChildWindow(c.kind)) continue;
        const PixelRect r = ToPixels(c.rect, tpp_);
        const DWORD visible = c.visible ? WS_VISIBLE : 0;
        const auto childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstChildId + id));
        HWND child = nullptr;
        if (c.kind == ControlKind::PictureBox) {
            child = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | visible, r.x, r.y, r.w, r.h, wnd_,
                                    childId, app_.instance, nullptr);
        } else {
            child = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | visible, r.x, r.y,
                                    r.w, r.h, wnd_, childId, app_.instance, nullptr);
            if (child) input_.TakeButton(child);
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

HWND FormWindow::ChildOf(ControlId id) const { return children_.empty() ? nullptr : children_[id]; }

ControlId FormWindow::IdOfChild(HWND child) const {
    if (!child || GetParent(child) != wnd_) return kFormItself;
    const ControlId id = GetDlgCtrlID(child) - kFirstChildId;
    return id >= 0 && id < static_cast<ControlId>(children_.size()) && children_[id] == child ? id : kFormItself;
}

void FormWindow::FocusFirstChild() {
    for (HWND child : children_) {
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
            if (input_.OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp))) return TRUE;
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
            input_.OnButton(msg, wp, lp);
            return 0;
        case WM_MOUSEMOVE:
            input_.OnMouseMove(wp, lp);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != wnd_) form_->CaptureLost();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                const ControlId id = IdOfChild(reinterpret_cast<HWND>(lp));
                if (id != kFormItself) Raise([&] { form_->Click(id); });
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
                if (const LRESULT answer = accessible_.Answer(wp)) return answer;
            }
            break;
        case kDefaultActionMessage:
            OnDefaultAction(static_cast<ControlId>(wp));
            return 0;
        case WM_DESTROY:
            accessible_.Disconnect();
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
    painter_.PaintBackground({buffer.Dc(), area}, [&] { Raise([&] { sink_->Paint(); }); });
    painter_.DrawControls(buffer.Dc(), area, form_->Model());
}

void FormWindow::SetVisible(ControlId id, bool visible) {
    if (form_->Model().SetVisible(id, visible)) ShowChange(id);
}

void FormWindow::SetCaption(ControlId id, std::wstring caption) {
    if (form_->Model().SetCaption(id, std::move(caption))) ShowChange(id);
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

void FormWindow::SetKeyboardChoice(ControlId id) {
    if (id == keyboardChoice_ || !wnd_) return;
    keyboardChoice_ = id;
    // The focused button draws its focus cue only while nothing is chosen.
    if (HWND focus = GetFocus(); IdOfChild(focus) != kFormItself) InvalidateRect(focus, nullptr, FALSE);
    accessible_.AnnounceFocus();
}

void FormWindow::DoDefaultAction(ControlId control) {
    // Not inside the request: the handlers may pump messages and end the program.
    PostMessageW(wnd_, kDefaultActionMessage, static_cast<WPARAM>(control), 0);
}

void FormWindow::OnDefaultAction(ControlId control) {
    if (control < 0 || control >= form_->Model().Count()) return;
    if (ChildOf(control)) {  // a button: as if it were clicked
        Raise([&] { form_->Click(control); });
        return;
    }
    // A drawn picture: what a user does, pointing at its middle and pressing there.
    const TwipRect& r = spec_.controls[control].rect;
    const float x = r.left + r.width / 2, y = r.top + r.height / 2;
    Raise([&] {
        form_->PointerMove(0, 0, x, y);
        if (wnd_) form_->ButtonDown(kLeftButton, kLeftButton, 0, x, y);
        if (wnd_) form_->ButtonUp(kLeftButton, 0, 0, x, y);
    });
}

void FormWindow::Close() {
    if (!wnd_) return;
    if (!DestroyWindow(wnd_)) FailWithLastError(L"Could not unload the window.");
    owner_.Reset();
}

}  // namespace forms::win32
