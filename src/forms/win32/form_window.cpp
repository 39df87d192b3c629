#include "forms/win32/form_window.h"

#include <algorithm>

#include "forms/win32/bench_hook.h"
#include "forms/win32/error_box.h"
#include "forms/win32/form_style.h"
#include "forms/win32/gdi.h"
#include "forms/win32/system_api.h"

namespace forms::win32 {
namespace {

// Windows 10 1703's, which the headers declare only for builds that need 10.
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

}  // namespace

FormWindow::FormWindow(const AppInfo& app, const FormSpec& layout)
    : site_(app, layout), painter_(site_) {}

int FormWindow::Run(EventSink& handlers) {
    bench::Mark(bench::kEntered);
    site_.Attach(handlers);
    Form& form = site_.TheForm();
    Guarded(nullptr, site_.app.title, [&] { Create(); });
    bench::Mark(bench::kCreated);
    site_.Raise([&] { form.Load(); });
    if (!wnd_) return 0;  // the load step unloaded the form
    bench::Mark(bench::kLoaded);
    ShowWindow(wnd_, SW_SHOWNORMAL);
    FocusFirstChild();
    UpdateWindow(wnd_);
    bench::Mark(bench::kShown);
    MSG msg;
    for (;;) {
        // Idle: nothing waits in the queue, not even a call that a prompt held up.
        if (form.PressesHeld() && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) form.Idle();
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    owner_.Reset();
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void FormWindow::Create() {
    const AppInfo& app = site_.app;
    WNDCLASSEXW owner{};
    owner.cbSize = sizeof owner;
    owner.lpfnWndProc = DefWindowProcW;
    owner.hInstance = app.instance;
    owner.lpszClassName = app.ownerClass;
    RegisterClassExW(&owner);
    owner_.Reset(CreateWindowExW(0, app.ownerClass, app.title, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                 app.instance, nullptr));

    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = &FormWindow::Procedure;
    form.hInstance = app.instance;
    form.hIcon = LoadIconW(app.instance, MAKEINTRESOURCEW(site_.layout.icon));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = app.formClass;
    if (!form.hIcon) FailWithLastError(L"Could not load the window's icon.");
    if (!RegisterClassExW(&form) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)  // a window made before
        FailWithLastError(L"Could not register the window class.");

    painter_.Load();
    input_.LoadCursors();

    // Made at the screen's density, where a window without a position opens;
    // laid out again below if its monitor has another.
    TakeDensity(ScreenDpi());
    SIZE outer = OuterSize(site_.dpi);
    CreateWindowExW(FormExStyle(), app.formClass, site_.layout.caption, FormStyle(), CW_USEDEFAULT, CW_USEDEFAULT,
                    outer.cx, outer.cy, owner_.Get(), nullptr, app.instance, this);
    if (!wnd_) FailWithLastError(L"Could not create the window.");
    if (const int dpi = WindowDpi(wnd_); dpi != site_.dpi) TakeDensity(dpi);
    outer = OuterSize(site_.dpi);
    // The size asked for once more: creation asks for the limits before the window
    // reaches its object, so a screen smaller than the window shrank it.
    SetWindowPos(wnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    CreateChildren();
}

void FormWindow::TakeDensity(int dpi) {
    painter_.MakeFor(dpi);  // first: a font that cannot be had leaves the site's density as it was
    site_.dpi = dpi;
}

SIZE FormWindow::ClientSize(int dpi) const {
    const PixelRect r = ToPixels({0, 0, site_.layout.clientWidth, site_.layout.clientHeight}, dpi);
    return {r.w, r.h};
}

SIZE FormWindow::OuterSize(int dpi) const {
    const SIZE client = ClientSize(dpi);
    const RECT outer = OuterRect({0, 0, client.cx, client.cy}, FormStyle(), FormExStyle(), dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void FormWindow::FitClientArea() {
    // The frame can differ from what the system computed for the density: Windows
    // 8.1 scales the whole window when it moves, and Wine draws the frame of the
    // session's one density whatever the window's.
    RECT client, outer;
    if (!GetClientRect(wnd_, &client) || !GetWindowRect(wnd_, &outer)) return;
    const SIZE want = ClientSize(site_.dpi);
    const int dx = want.cx - client.right, dy = want.cy - client.bottom;
    if (dx == 0 && dy == 0) return;
    SetWindowPos(wnd_, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::CreateChildren() {
    const auto& controls = site_.layout.controls;
    site_.children.assign(controls.size(), nullptr);
    for (ControlId id = 0; id < static_cast<ControlId>(controls.size()); ++id) {
        const ControlSpec& c = controls[id];
        if (!IsChildWindow(c.kind)) continue;
        const PixelRect r = site_.PixelsOf(c.rect);
        const DWORD visible = c.visible ? WS_VISIBLE : 0;
        const auto childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(FormSite::kFirstChildId + id));
        HWND child = nullptr;
        if (c.kind == ControlKind::PictureBox) {
            child = CreateWindowExW(PictureBoxExStyle(), L"STATIC", L"", PictureBoxStyle() | visible, r.x, r.y, r.w, r.h, wnd_,
                                    childId, site_.app.instance, nullptr);
        } else {
            child = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | visible, r.x, r.y,
                                    r.w, r.h, wnd_, childId, site_.app.instance, nullptr);
            if (child) input_.TakeButton(child);
        }
        if (!child) FailWithLastError(L"Could not create a control.");
        site_.children[id] = child;
    }
    // A graphical button shows no text; its text is what a screen reader says of it.
    for (const AccessibleItem& item : site_.layout.accessible) {
        HWND child = site_.ChildOf(site_.TheForm().Model().Find(item.control, item.index));
        if (child && item.role == AccessibleRole::Button && item.name) SetWindowTextW(child, item.name);
    }
}

void FormWindow::PlaceChildren() {
    for (ControlId id = 0; id < static_cast<ControlId>(site_.children.size()); ++id) {
        if (HWND child = site_.children[id]) {
            const PixelRect r = site_.PixelsOf(site_.layout.controls[id].rect);
            SetWindowPos(child, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0) return;
    // The new set first: the size limits asked for while the window moves are the new density's.
    if (dpi != site_.dpi) site_.Raise([&] { TakeDensity(dpi); });
    SetWindowPos(wnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
    PlaceChildren();
    // Nothing of the old density stays on screen: the drawn layer is new, and the
    // button (its face, its focus cue) draws itself again.
    RECT client;
    GetClientRect(wnd_, &client);
    site_.Redraw(client);
    RedrawWindow(wnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    // A screen reader reads the items' places afresh.
    NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, wnd_, OBJID_CLIENT, CHILDID_SELF);
}

void FormWindow::FocusFirstChild() {
    for (HWND child : site_.children) {
        if (child && (GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) &&
            IsWindowEnabled(child)) {
            SetFocus(child);
            return;
        }
    }
}

LRESULT FormWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    Form& form = site_.TheForm();
    switch (msg) {
        case WM_NCCREATE:
            site_.window = wnd_;
            break;
        case WM_NCDESTROY:
            site_.window = nullptr;
            break;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_GETMINMAXINFO: {
            // The system would shrink a window larger than the screen as it is made;
            // this one keeps its size and overhangs the screen's edges instead.
            auto& info = *reinterpret_cast<MINMAXINFO*>(lp);
            const SIZE outer = OuterSize(site_.dpi);
            info.ptMaxTrackSize.x = std::max<LONG>(info.ptMaxTrackSize.x, outer.cx);
            info.ptMaxTrackSize.y = std::max<LONG>(info.ptMaxTrackSize.y, outer.cy);
            return 0;
        }
        case kGetDpiScaledSize: {
            // Asked before a move to another density: the layout's size there, not the
            // old window scaled, whose rounding would miss the layout by a pixel.
            auto& size = *reinterpret_cast<SIZE*>(lp);
            size = OuterSize(static_cast<int>(wp));
            return TRUE;
        }
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // the paint fills the background itself, off screen
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            bench::PaintTimer timer(item.hwndItem);
            if (const ControlId id = site_.IdOfChild(item.hwndItem); id != kFormItself) {
                // While a control is chosen with the keyboard, Enter acts on it: the cue would mislead.
                const bool cue = (item.itemState & ODS_FOCUS) && form.KeyboardChoice() == kFormItself;
                // Its picture is made at its first draw, which may fail for want of memory.
                site_.Raise([&] { painter_.DrawButton(item, site_.layout.controls[id], cue); });
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
            if (reinterpret_cast<HWND>(lp) != wnd_) form.CaptureLost();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) {
                const ControlId id = site_.IdOfChild(reinterpret_cast<HWND>(lp));
                if (id != kFormItself) site_.Raise([&] { form.Click(id); });
                return 0;
            }
            break;
        case WM_SETFOCUS:
            // The form keeps the focus only while none of its controls can take it.
            FocusFirstChild();
            if (GetFocus() == wnd_) site_.Raise([&] { form.GotFocus(); });
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(static_cast<DWORD>(lp)) == OBJID_CLIENT) {
                if (const LRESULT answer = reader_.Answer(wp)) return answer;
            }
            break;
        case kDefaultActionMessage:
            OnDefaultAction(static_cast<ControlId>(wp));
            return 0;
        case WM_CLOSE:
            // The close box is gone, but another program can still ask: not while a
            // start is under way, when the window would go from under the prompt.
            if (form.PressesHeld()) return 0;
            break;
        case WM_DESTROY:
            reader_.Disconnect();
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
    RECT client;
    GetClientRect(wnd_, &client);
    // The window is composed off screen, once per density and again only where
    // something changed; a paint shows it in one blit, so there is no flash of the
    // background between the erase, the tiles and the pictures, and uncovering
    // the window costs no drawing.
    RECT changed = site_.TakeChanged();
    HDC scene = painter_.Scene(paint.Dc(), client, changed);
    if (scene && !IsRectEmpty(&changed)) Compose(scene, changed);
    if (scene) {
        BitBlt(paint.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, scene, area.left,
               area.top, SRCCOPY);
    } else {
        Compose(paint.Dc(), area);  // no memory for the composition: straight onto the window
    }
}

void FormWindow::Compose(HDC dc, const RECT& area) {
    SavedDC saved(dc);
    // Its own area alone: a paint run inside another's handler draws into the same
    // drawn layer, whose clip is the enclosing paint's area until it is restored.
    SelectClipRgn(dc, nullptr);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    {
        // The paint handler's pictures land here.
        const FormPainter::Background background(painter_, {dc, area});
        site_.Raise([&] { site_.TheForm().Paint(); });
    }
    site_.Raise([&] { painter_.DrawControls(dc, area); });
}

void FormWindow::OnDefaultAction(ControlId control) {
    Form& form = site_.TheForm();
    // A held press does nothing, not even the pointing at the picture that goes before it.
    if (control < 0 || control >= form.Model().Count() || form.PressesHeld()) return;
    if (site_.ChildOf(control)) {  // a button: as if it were clicked
        site_.Raise([&] { form.Click(control); });
        return;
    }
    // A drawn picture: what a user does, pointing at its middle and pressing there.
    const TwipRect& r = site_.layout.controls[control].rect;
    const float x = r.left + r.width / 2, y = r.top + r.height / 2;
    site_.Raise([&] {
        form.PointerMove(0, 0, x, y);
        if (wnd_) form.ButtonDown(kLeftButton, kLeftButton, 0, x, y);
        if (wnd_) form.ButtonUp(kLeftButton, 0, 0, x, y);
    });
}

}  // namespace forms::win32
