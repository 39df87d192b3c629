#include "forms/win32/system_api.h"

namespace forms::win32 {

HMODULE SystemModule(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
    lstrcatW(path, L"\\");
    lstrcatW(path, name);
    if (HMODULE loaded = GetModuleHandleW(path)) return loaded;  // loaded already: no second reference
    return LoadLibraryW(path);
}

int ScreenDpi() {
    // 2000 and XP: laid out at 96 dpi under Large Fonts too, as the menu always was there.
    if (!api::IsProcessDPIAware.Get()) return kLayoutDpi;
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;  // no screen DC: the density Windows assumes
}

int WindowDpi(HWND window) {
    if (const auto get = api::GetDpiForWindow.Get()) {
        if (const UINT dpi = get(window)) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

RECT OuterRect(const RECT& client, DWORD style, DWORD exStyle, int dpi) {
    RECT outer = client;
    const auto adjust = api::AdjustWindowRectExForDpi.Get();
    if (!adjust || !adjust(&outer, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        // Before Windows 10 1607 the frame is the screen's, at its one density.
        outer = client;
        AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    }
    return outer;
}

}  // namespace forms::win32
