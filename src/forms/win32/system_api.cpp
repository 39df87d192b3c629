#include "forms/win32/system_api.h"

#include "forms/win32/handle.h"

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
    const WindowDC screen(GetDC(nullptr), nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;  // no screen DC: the density Windows assumes
}

int RasterFontDpi() {
    const WindowDC screen(GetDC(nullptr), nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kLayoutDpi;
}

DensitySources SystemDensitySources() {
    // shcore is loaded only where the newest way is missing.
    if (const auto forWindow = api::GetDpiForWindow.Get()) return {forWindow, nullptr, nullptr, nullptr};
    return {nullptr, api::GetProcessDpiAwareness.Get(), api::MonitorFromWindow.Get(), api::GetDpiForMonitor.Get()};
}

int WindowDpi(HWND window, const DensitySources& from) {
    if (from.dpiForWindow) {
        if (const UINT dpi = from.dpiForWindow(window)) return static_cast<int>(dpi);
    }
    // 8.1 and 10 before 1607: the system's density is the one of the sign-in, stale
    // after a change of scale, and no monitor's but the first's; the monitor knows
    // its own. Only for a process aware of it: to any other Windows shows the system's.
    int awareness = 0;
    if (from.processDpiAwareness && from.monitorFromWindow && from.dpiForMonitor &&
        SUCCEEDED(from.processDpiAwareness(nullptr, &awareness)) && awareness == kPerMonitorDpiAware) {
        UINT x = 0, y = 0;
        HMONITOR monitor = from.monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (monitor && SUCCEEDED(from.dpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0)
            return static_cast<int>(x);
    }
    return ScreenDpi();
}

int WindowDpi(HWND window) { return WindowDpi(window, SystemDensitySources()); }

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
