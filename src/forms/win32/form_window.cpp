#include "forms/win32/form_window.h"

#include <windowsx.h>

#include <utility>

#include "forms/app_path.h"
#include "forms/win32/bench_hook.h"
#include "forms/win32/system.h"

namespace forms::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"VelbrookForm";
constexpr wchar_t kOwnerClass[] = L"VelbrookOwner";
constexpr int kFirstChildId = 100;
constexpr UINT kDefaultActionMessage = WM_APP + 1;  // wParam: the control

DWORD FormStyle() { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
DWORD FormExStyle() { return WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT; }

RECT ToRect(const PixelRect& r) { return {r.x, r.y, r.x + r.w, r.y + r.h}; }

const wchar_t* StandardCursor(FormPointer p) {
    switch (p) {
        case FormPointer::Crosshair: return IDC_CROSS;
    }
    return IDC_ARROW;
}

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

// The buttons physically down now. GetAsyncKeyState reads the physical
// buttons, so a user's swapped buttons are swapped back.
int ButtonsDownNow() {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    const auto down = [](int key) { return GetAsyncKeyState(key) < 0; };
    return (down(swapped ? VK_RBUTTON : VK_LBUTTON) ? kLeftButton : 0) |
           (down(swapped ? VK_LBUTTON : VK_RBUTTON) ? kRightButton : 0) | (down(VK_MBUTTON) ? kMiddleButton : 0);
}

int ShiftState(WPARAM wp) {
    return ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0) | ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
}

[[noreturn]] void Fail(const wchar_t* what) {
    const DWORD error = GetLastError();
    throw RuntimeError{kInvalidCall, what, {}, SystemMessage(error)};
}

}  // namespace

FormWindow::FormWindow(const AppInfo& app, const FormSpec& layout) : app_(app), spec_(layout) {}

FormWindow::~FormWindow() {
    for (auto& [id, cursor] : cursors_) DestroyCursor(cursor);
}

template <class F>
void FormWindow::Raise(F&& f) {
    Guarded(wnd_, app_.title, std::forward<F>(f));
}

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
    owner_ = CreateWindowExW(0, kOwnerClass, app_.title, WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                             app_.instance, nullptr);

    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = &FormWindow::Procedure;
    form.hInstance = app_.instance;
    form.hIcon = LoadIconW(app_.instance, MAKEINTRESOURCEW(spec_.icon));
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    if (!form.hIcon) Fail(L"Could not load the window's icon.");
    if (!RegisterClassExW(&form)) Fail(L"Could not register the window class.");

    LoadPictures();

    const SIZE outer = OuterSize();
    CreateWindowExW(FormExStyle(), kFormClass, spec_.caption, FormStyle(), CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                    outer.cy, owner_, nullptr, app_.instance, this);
    if (!wnd_) Fail(L"Could not create the window.");
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

void FormWindow::LoadPictures() {
    fonts_.resize(spec_.controls.size());
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        const ControlSpec& c = spec_.controls[i];
        if (c.picture && !bitmaps_.count(c.picture)) {
            auto* bitmap = static_cast<HBITMAP>(LoadImageW(app_.instance, MAKEINTRESOURCEW(c.picture), IMAGE_BITMAP,
                                                           0, 0, LR_CREATEDIBSECTION));
            if (!bitmap) Fail(L"Could not load a picture.");
            bitmaps_.emplace(c.picture, GdiObject<HBITMAP>(bitmap));
        }
        if (c.mouseIcon && !cursors_.count(c.mouseIcon)) {
            auto* cursor = static_cast<HCURSOR>(
                LoadImageW(app_.instance, MAKEINTRESOURCEW(c.mouseIcon), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
            if (!cursor) Fail(L"Could not load a cursor.");
            cursors_.emplace(c.mouseIcon, cursor);
        }
        if (c.kind == ControlKind::Label) {
            const int height = FontPixelHeight(c.font.points, kLayoutDpi);
            fonts_[i] = GdiObject<HFONT>(CreateFontW(-height, 0, 0, 0, c.font.weight, FALSE, FALSE, FALSE,
                                                     static_cast<BYTE>(c.font.charset), OUT_DEFAULT_PRECIS,
                                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                     DEFAULT_PITCH | FF_SWISS, c.font.face));
        }
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
        if (!child) Fail(L"Could not create a control.");
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
    if (self && msg == WM_KEYDOWN && self->OnKeyDown(wnd, wp)) return 0;
    if (self && msg == WM_KEYUP && wp == VK_SPACE && std::exchange(self->spaceTaken_, false)) return 0;
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        SendMessageW(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(wnd));
        return 0;
    }
    if (msg == WM_SETCURSOR && self) return self->OnSetCursor(wnd, LOWORD(lp)) ? TRUE : FALSE;
    return self ? CallWindowProcW(self->buttonDefault_, wnd, msg, wp, lp) : DefWindowProcW(wnd, msg, wp, lp);
}

bool FormWindow::OnKeyDown(HWND child, WPARAM key) {
    const ControlId id = IdOfChild(child);
    if (id == kFormItself || key > 0x7FFF) return false;
    const std::int16_t shift = static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                                         (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                                         (GetKeyState(VK_MENU) < 0 ? 4 : 0));
    bool taken = false;
    Raise([&] { taken = sink_->KeyDown(&spec_.controls[id], static_cast<std::int16_t>(key), shift); });
    // Space clicks a button when it comes up: a Space the form took must not click it then.
    if (taken && key == VK_SPACE) spaceTaken_ = true;
    return taken;
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
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_SETCURSOR:
            if (OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp))) return TRUE;
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            OnButton(true, ButtonOf(msg), wp, lp, false);
            return 0;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
            OnButton(false, ButtonOf(msg), wp, lp, false);
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
    OffscreenBuffer buffer(backBuffer_, paint.Dc(), area);
    FillRect(buffer.Dc(), &area, GetSysColorBrush(COLOR_BTNFACE));
    paintDc_ = buffer.Dc();
    paintArea_ = area;
    Raise([&] { sink_->Paint(); });
    paintDc_ = nullptr;
    DrawControls(buffer.Dc(), area);
}

void FormWindow::DrawControls(HDC dc, const RECT& area) {
    const TwipRect twips = ToTwips({area.left, area.top, area.right - area.left, area.bottom - area.top}, tpp_);
    for (ControlId id : form_->Model().DrawOrder(twips)) {
        const ControlSpec& c = spec_.controls[id];
        const PixelRect r = ToPixels(c.rect, tpp_);
        if (c.kind == ControlKind::Label) {
            DrawLabel(dc, id, r);
        } else if (c.picture) {
            DrawPicture(dc, bitmaps_.at(c.picture).Get(), r, c.stretch);
        }
    }
}

void FormWindow::DrawPicture(HDC dc, HBITMAP bitmap, const PixelRect& dest, bool stretch) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    // One source DC for every picture: a paint draws a hundred tiles.
    if (!pictureDc_.Get()) pictureDc_ = MemoryDC(nullptr);
    Selection select(pictureDc_.Get(), bitmap);
    if (stretch && (dest.w != info.bmWidth || dest.h != info.bmHeight)) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, dest.x, dest.y, dest.w, dest.h, pictureDc_.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    } else {
        // Natural size from the top-left corner, cut off at the control's edges.
        BitBlt(dc, dest.x, dest.y, std::min<int>(dest.w, info.bmWidth), std::min<int>(dest.h, info.bmHeight),
               pictureDc_.Get(), 0, 0, SRCCOPY);
    }
}

void FormWindow::DrawLabel(HDC dc, ControlId id, const PixelRect& dest) {
    const std::wstring& text = form_->Model().Caption(id);
    if (text.empty()) return;
    SavedDC saved(dc);
    Selection font(dc, fonts_[id].Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r = ToRect(dest);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

void FormWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    bench::PaintTimer timer(item.hwndItem);
    const ControlId id = IdOfChild(item.hwndItem);
    if (id == kFormItself) return;
    const ControlSpec& c = spec_.controls[id];
    RECT face = item.rcItem;
    const bool pushed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    InflateRect(&face, -2, -2);
    if (c.picture) {
        HBITMAP bitmap = bitmaps_.at(c.picture).Get();
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        SavedDC saved(item.hDC);
        IntersectClipRect(item.hDC, face.left, face.top, face.right, face.bottom);
        const int shift = pushed ? 1 : 0;
        const int w = item.rcItem.right - item.rcItem.left, h = item.rcItem.bottom - item.rcItem.top;
        DrawPicture(item.hDC, bitmap,
                    {(w - info.bmWidth) / 2 + shift, (h - info.bmHeight) / 2 + shift, info.bmWidth, info.bmHeight},
                    false);
    }
    // While a control is chosen with the keyboard, Enter acts on it: the cue would mislead.
    if ((item.itemState & ODS_FOCUS) && keyboardChoice_ == kFormItself) {
        RECT focus = face;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(item.hDC, &focus);
    }
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
    SetCursor(owner ? cursors_.at(owner->mouseIcon) : formCursor_);
    return true;
}

void FormWindow::OnButton(bool down, int button, WPARAM wp, LPARAM lp, bool synthetic) {
    const float x = Twips(GET_X_LPARAM(lp)), y = Twips(GET_Y_LPARAM(lp));
    Raise([&] {
        const bool captured = down ? form_->ButtonDown(button, HeldButtons(wp), ShiftState(wp), x, y)
                                   : form_->ButtonUp(button, HeldButtons(wp), ShiftState(wp), x, y);
        // The handler may have let the release happen out of sight (an elevation prompt
        // on the secure desktop): capture only while a button is really down, or every
        // click on the screen would come here.
        FollowCapture(captured && (synthetic || ButtonsDownNow() != 0));
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

void FormWindow::Repaint(ControlId id) {
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

void FormWindow::SetKeyboardChoice(ControlRef control) {
    const ControlId id = control.name.empty() ? kFormItself : form_->Model().Find(control.name, control.index);
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

// Runtime services.

std::wstring FormWindow::AppPath() { return FolderOf(ModuleFileName()); }

void FormWindow::MsgBox(const std::wstring& prompt, int style) {
    MessageBoxW(IsWindowVisible(wnd_) ? wnd_ : nullptr, prompt.c_str(), app_.title, static_cast<UINT>(style));
}

void FormWindow::End() { ExitProcess(0); }

void FormWindow::DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

StartResult FormWindow::Shell(const std::wstring& path, int windowStyle) {
    return StartProgram(wnd_, path, windowStyle);
}

void FormWindow::Unload() {
    if (!wnd_) return;
    if (!DestroyWindow(wnd_)) Fail(L"Could not unload the window.");
    if (owner_) DestroyWindow(owner_);
    owner_ = nullptr;
}

RECT FormWindow::WindowRect() {
    RECT r{};
    if (!GetWindowRect(wnd_, &r)) Fail(L"Could not read the window's position.");
    return r;
}

float FormWindow::Width() {
    const RECT r = WindowRect();
    return Twips(r.right - r.left);
}

float FormWindow::Height() {
    const RECT r = WindowRect();
    return Twips(r.bottom - r.top);
}

void FormWindow::MoveTo(int x, int y) {
    if (!SetWindowPos(wnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        Fail(L"Could not move the window.");
}

void FormWindow::SetLeft(float twips) { MoveTo(TwipsToPixels(twips, tpp_), WindowRect().top); }

void FormWindow::SetTop(float twips) { MoveTo(WindowRect().left, TwipsToPixels(twips, tpp_)); }

float FormWindow::ScreenWidth() { return Twips(GetSystemMetrics(SM_CXSCREEN)); }

float FormWindow::ScreenHeight() { return Twips(GetSystemMetrics(SM_CYSCREEN)); }

void FormWindow::SetVisible(ControlRef control, bool visible) {
    const ControlId id = form_->Model().Find(control.name, control.index);
    if (form_->Model().SetVisible(id, visible)) Repaint(id);
}

void FormWindow::SetCaption(ControlRef control, const std::wstring& caption) {
    const ControlId id = form_->Model().Find(control.name, control.index);
    if (form_->Model().SetCaption(id, caption)) Repaint(id);
}

float FormWindow::ScaleWidth() {
    RECT r{};
    if (!GetClientRect(wnd_, &r)) Fail(L"Could not read the window's inner size.");
    return Twips(r.right);
}

float FormWindow::ScaleHeight() {
    RECT r{};
    if (!GetClientRect(wnd_, &r)) Fail(L"Could not read the window's inner size.");
    return Twips(r.bottom);
}

RECT FormWindow::InnerRect(ControlRef pictureBox) {
    const ControlId id = form_->Model().Find(pictureBox.name, pictureBox.index);
    RECT r{};
    HWND child = ChildOf(id);
    if (!child || !GetClientRect(child, &r)) Fail(L"Could not read a picture box's inner size.");
    return r;
}

float FormWindow::ScaleWidth(ControlRef pictureBox) { return Twips(InnerRect(pictureBox).right); }

float FormWindow::ScaleHeight(ControlRef pictureBox) { return Twips(InnerRect(pictureBox).bottom); }

void FormWindow::PaintPicture(ControlRef owner, float x, float y, float width, float height) {
    const ControlSpec& c = spec_.controls[form_->Model().Find(owner.name, owner.index)];
    if (!c.picture) throw RuntimeError{kInvalidCall, L"The control holds no picture.", {}, {}};
    const int left = TwipsToPixels(x, tpp_), top = TwipsToPixels(y, tpp_);
    const PixelRect dest{left, top, TwipsToPixels(x + width, tpp_) - left, TwipsToPixels(y + height, tpp_) - top};
    if (paintDc_) {
        RECT meet, target = ToRect(dest);
        if (!IntersectRect(&meet, &target, &paintArea_)) return;  // nothing of it would show
        DrawPicture(paintDc_, bitmaps_.at(c.picture).Get(), dest, true);
    } else {
        WindowDC dc(wnd_);
        DrawPicture(dc.Get(), bitmaps_.at(c.picture).Get(), dest, true);
    }
}

NativeHandle FormWindow::GetSystemMenu(NativeHandle window, int revert) {
    return reinterpret_cast<NativeHandle>(::GetSystemMenu(reinterpret_cast<HWND>(window), revert));
}

int FormWindow::RemoveMenu(NativeHandle menu, unsigned position, unsigned flags) {
    return ::RemoveMenu(reinterpret_cast<HMENU>(menu), position, flags);
}

OsVersion FormWindow::GetVersionExA() {
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof record;
    ::GetVersionExA(&record);
    OsVersion v;
    v.major = static_cast<std::int32_t>(record.dwMajorVersion);
    v.minor = static_cast<std::int32_t>(record.dwMinorVersion);
    v.platform = static_cast<std::int32_t>(record.dwPlatformId);
    // All 128 bytes, NULs included, so every position of the text exists.
    const int n = MultiByteToWideChar(CP_ACP, 0, record.szCSDVersion, sizeof record.szCSDVersion, v.csd.data(),
                                      static_cast<int>(v.csd.size()));
    v.csd.resize(n > 0 ? n : 0);
    v.csd.resize(128, L'\0');
    return v;
}

}  // namespace forms::win32
