#include "forms/win32/form_runtime.h"

#include "forms/app_path.h"
#include "forms/win32/error_box.h"
#include "forms/win32/form_screen_reader.h"
#include "forms/win32/module_path.h"
#include "forms/win32/program_start.h"

namespace forms::win32 {

std::wstring FormRuntime::AppPath() { return FolderOf(ModuleFileName()); }

void FormRuntime::MsgBox(const std::wstring& prompt, int style) {
    HWND wnd = site_.window;
    MessageBoxW(IsWindowVisible(wnd) ? wnd : nullptr, prompt.c_str(), site_.app.title, static_cast<UINT>(style));
}

void FormRuntime::End() { ExitProcess(0); }

void FormRuntime::DoEvents() {
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

StartResult FormRuntime::Shell(const std::wstring& path, int windowStyle, const std::wstring& folder) {
    // Held before the start, not after it: the prompt's own message loop dispatches
    // a click another program sends, which would close the menu under the prompt; and
    // after a decline, a press made while the prompt was up (a double click, a second
    // Enter) would press again and raise the prompt once more.
    site_.TheForm().HoldPressesUntilIdle();
    return StartProgram(site_.window, path, folder, windowStyle);
}

void FormRuntime::Unload() {
    // The message loop ends with the window.
    if (site_.window && !DestroyWindow(site_.window)) FailWithLastError(L"Could not unload the window.");
}

RECT FormRuntime::WindowRect() {
    RECT r{};
    if (!GetWindowRect(site_.window, &r)) FailWithLastError(L"Could not read the window's position.");
    return r;
}

RECT FormRuntime::FormInside() {
    RECT r{};
    if (!GetClientRect(site_.window, &r)) FailWithLastError(L"Could not read the window's inner size.");
    return r;
}

RECT FormRuntime::PictureBoxInside(ControlRef pictureBox) {
    RECT r{};
    HWND child = site_.ChildOf(pictureBox.id);
    if (!child || !GetClientRect(child, &r)) FailWithLastError(L"Could not read a picture box's inner size.");
    return r;
}

float FormRuntime::Width() {
    const RECT r = WindowRect();
    return Twips(r.right - r.left);
}

float FormRuntime::Height() {
    const RECT r = WindowRect();
    return Twips(r.bottom - r.top);
}

void FormRuntime::MoveTo(int x, int y) {
    if (!SetWindowPos(site_.window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        FailWithLastError(L"Could not move the window.");
}

void FormRuntime::SetLeft(float twips) { MoveTo(Pixels(twips), WindowRect().top); }

void FormRuntime::SetTop(float twips) { MoveTo(WindowRect().left, Pixels(twips)); }

void FormRuntime::SetVisible(ControlRef control, bool visible) {
    if (site_.TheForm().Model().SetVisible(control.id, visible)) site_.ShowVisible(control.id, visible);
}

void FormRuntime::SetCaption(ControlRef control, const std::wstring& caption) {
    if (site_.TheForm().Model().SetCaption(control.id, caption)) site_.ShowCaption(control.id);
}

void FormRuntime::SetKeyboardChoice(ControlRef control) {
    if (!site_.TheForm().SetKeyboardChoice(control.id) || !site_.window) return;
    // The focused button draws its focus cue only while nothing is chosen.
    if (HWND focus = GetFocus(); site_.IdOfChild(focus) != kFormItself) InvalidateRect(focus, nullptr, FALSE);
    AnnounceFocus(site_);
}

void FormRuntime::PaintPicture(ControlRef owner, float x, float y, float width, float height) {
    const ControlSpec& c = site_.layout.controls[owner.id];
    if (!c.picture) throw RuntimeError{kInvalidCall, L"The control holds no picture.", {}, {}};
    // By its edges, like the controls: tiles that meet in twips meet on screen.
    painter_.DrawBackground(c.picture, site_.PixelsOf({x, y, width, height}));
}

NativeHandle FormRuntime::GetSystemMenu(NativeHandle window, int revert) {
    return reinterpret_cast<NativeHandle>(::GetSystemMenu(reinterpret_cast<HWND>(window), revert));
}

int FormRuntime::RemoveMenu(NativeHandle menu, unsigned position, unsigned flags) {
    return ::RemoveMenu(reinterpret_cast<HMENU>(menu), position, flags);
}

OsVersion FormRuntime::GetVersionExA() {
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof record;
    ::GetVersionExA(&record);
    OsVersion v;
    v.major = static_cast<std::int32_t>(record.dwMajorVersion);
    v.minor = static_cast<std::int32_t>(record.dwMinorVersion);
    v.platform = static_cast<std::int32_t>(record.dwPlatformId);
    v.build = record.dwBuildNumber;
    // All 128 bytes, NULs included, so every position of the text exists.
    const int n = MultiByteToWideChar(CP_ACP, 0, record.szCSDVersion, sizeof record.szCSDVersion, v.csd.data(),
                                      static_cast<int>(v.csd.size()));
    v.csd.resize(n > 0 ? n : 0);
    v.csd.resize(128, L'\0');
    return v;
}

}  // namespace forms::win32
