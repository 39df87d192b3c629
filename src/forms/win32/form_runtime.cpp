#include "forms/win32/form_runtime.h"

#include "forms/app_path.h"
#include "forms/win32/system.h"

namespace forms::win32 {

std::wstring FormRuntime::AppPath() { return FolderOf(ModuleFileName()); }

void FormRuntime::MsgBox(const std::wstring& prompt, int style) {
    HWND wnd = window_.Window();
    MessageBoxW(IsWindowVisible(wnd) ? wnd : nullptr, prompt.c_str(), window_.App().title, static_cast<UINT>(style));
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

StartResult FormRuntime::Shell(const std::wstring& path, int windowStyle) {
    const StartResult result = StartProgram(window_.Window(), path, windowStyle);
    // A click, a key or a screen reader's press made while the prompt was up (a
    // double click, a second Enter) would otherwise press again and raise the prompt
    // once more.
    if (result == StartResult::Declined) window_.TheForm().HoldPressesUntilIdle();
    return result;
}

RECT FormRuntime::WindowRect() {
    RECT r{};
    if (!GetWindowRect(window_.Window(), &r)) FailWithLastError(L"Could not read the window's position.");
    return r;
}

RECT FormRuntime::FormInside() {
    RECT r{};
    if (!GetClientRect(window_.Window(), &r)) FailWithLastError(L"Could not read the window's inner size.");
    return r;
}

RECT FormRuntime::PictureBoxInside(ControlRef pictureBox) {
    RECT r{};
    HWND child = window_.ChildOf(pictureBox.id);
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
    if (!SetWindowPos(window_.Window(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        FailWithLastError(L"Could not move the window.");
}

void FormRuntime::SetLeft(float twips) { MoveTo(Pixels(twips), WindowRect().top); }

void FormRuntime::SetTop(float twips) { MoveTo(WindowRect().left, Pixels(twips)); }

void FormRuntime::SetVisible(ControlRef control, bool visible) { window_.SetVisible(control.id, visible); }

void FormRuntime::SetCaption(ControlRef control, const std::wstring& caption) {
    window_.SetCaption(control.id, caption);
}

void FormRuntime::SetKeyboardChoice(ControlRef control) { window_.SetKeyboardChoice(control.id); }

void FormRuntime::PaintPicture(ControlRef owner, float x, float y, float width, float height) {
    const ControlSpec& c = window_.Layout().controls[owner.id];
    if (!c.picture) throw RuntimeError{kInvalidCall, L"The control holds no picture.", {}, {}};
    const int left = Pixels(x), top = Pixels(y);
    window_.PaintPicture(c.picture, {left, top, Pixels(x + width) - left, Pixels(y + height) - top});
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
    // All 128 bytes, NULs included, so every position of the text exists.
    const int n = MultiByteToWideChar(CP_ACP, 0, record.szCSDVersion, sizeof record.szCSDVersion, v.csd.data(),
                                      static_cast<int>(v.csd.size()));
    v.csd.resize(n > 0 ? n : 0);
    v.csd.resize(128, L'\0');
    return v;
}

}  // namespace forms::win32
