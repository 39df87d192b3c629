// Every function the program looks up at run time instead of importing it:
// those that older systems lack (the loader would refuse the program for an
// import), and those of DLLs loaded only when needed. Each module is taken
// from System32 by its full path, never from the program's folder, and each
// function is looked up once, at its first use.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include "forms/geometry.h"

namespace forms::win32 {

// The module, from System32 (the one loaded already, if it is); nullptr where it cannot be had.
HMODULE SystemModule(const wchar_t* name);

template <class F>
class SystemFunction {
public:
    constexpr SystemFunction(const wchar_t* module, const char* name) : module_(module), name_(name) {}

    // nullptr where the system lacks it.
    F Get() const {
        if (!looked_) {
            HMODULE m = SystemModule(module_);
            found_ = m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name_))) : nullptr;
            looked_ = true;
        }
        return found_;
    }

private:
    const wchar_t* module_;
    const char* name_;
    // One thread looks them up: the window's.
    mutable F found_ = nullptr;
    mutable bool looked_ = false;
};

namespace api {
// SetDefaultDllDirectories: Windows 7 with KB2533623 on; SetDllDirectoryW: XP SP1 on.
inline const SystemFunction<BOOL(WINAPI*)(DWORD)> SetDefaultDllDirectories{L"kernel32.dll",
                                                                            "SetDefaultDllDirectories"};
inline const SystemFunction<BOOL(WINAPI*)(LPCWSTR)> SetDllDirectoryW{L"kernel32.dll", "SetDllDirectoryW"};
// COM and the screen reader's object: loaded at the first start of a program or request.
inline const SystemFunction<decltype(&::CoInitializeEx)> CoInitializeEx{L"ole32.dll", "CoInitializeEx"};
inline const SystemFunction<decltype(&::CoDisconnectObject)> CoDisconnectObject{L"ole32.dll", "CoDisconnectObject"};
inline const SystemFunction<decltype(&::SysAllocString)> SysAllocString{L"oleaut32.dll", "SysAllocString"};
inline const SystemFunction<decltype(&::LresultFromObject)> LresultFromObject{L"oleacc.dll", "LresultFromObject"};
inline const SystemFunction<decltype(&::CreateStdAccessibleObject)> CreateStdAccessibleObject{
    L"oleacc.dll", "CreateStdAccessibleObject"};
// Display density: Windows 10 1607 on. 8.1 knows a monitor's (below); older
// systems have one density for every window, the screen's (ScreenDpi).
inline const SystemFunction<UINT(WINAPI*)(HWND)> GetDpiForWindow{L"user32.dll", "GetDpiForWindow"};
// A monitor's density and the process's awareness of it: 8.1 on, in shcore
// (declared here: the headers do only for builds that need 8.1).
inline const SystemFunction<HRESULT(WINAPI*)(HANDLE, int*)> GetProcessDpiAwareness{L"shcore.dll",
                                                                                  "GetProcessDpiAwareness"};
inline const SystemFunction<HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*)> GetDpiForMonitor{L"shcore.dll",
                                                                                            "GetDpiForMonitor"};
inline const SystemFunction<decltype(&::MonitorFromWindow)> MonitorFromWindow{L"user32.dll", "MonitorFromWindow"};
// Vista on: where it is missing (2000, XP) no manifest's awareness is read.
inline const SystemFunction<BOOL(WINAPI*)()> IsProcessDPIAware{L"user32.dll", "IsProcessDPIAware"};
inline const SystemFunction<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)> AdjustWindowRectExForDpi{
    L"user32.dll", "AdjustWindowRectExForDpi"};
// Wine's own, which tells it apart from Windows where a failure is its alone.
inline const SystemFunction<const char*(CDECL*)()> WineGetVersion{L"ntdll.dll", "wine_get_version"};
}  // namespace api

// The screen's density as GDI reports it: what a window is made at, and on
// systems without a density per window, every window's. 96 where the system
// reads no awareness from the manifest.
int ScreenDpi();
// The density the session's bitmap fonts are made for: the screen's, read even
// where the menu lays out at 96 dpi whatever it is (2000 and XP under Large Fonts).
int RasterFontDpi();
// A window's density: the window's (10 1607 on), else its monitor's for a
// process aware of each monitor's (8.1 on), else the screen's.
int WindowDpi(HWND window);

// What WindowDpi reads a density with, the newest way first; nullptr where the
// system lacks a function. Given by a test to stand for an older Windows.
struct DensitySources {
    UINT(WINAPI* dpiForWindow)(HWND);                                  // 10 1607 on
    HRESULT(WINAPI* processDpiAwareness)(HANDLE, int*);                // 8.1 on
    HMONITOR(WINAPI* monitorFromWindow)(HWND, DWORD);
    HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*);       // 8.1 on
};
DensitySources SystemDensitySources();
int WindowDpi(HWND window, const DensitySources& sources);
constexpr int kPerMonitorDpiAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kEffectiveDpi = 0;        // MDT_EFFECTIVE_DPI: the density the monitor is scaled to

// A window's outer rectangle around `client`, with the frame of that style at `dpi`.
RECT OuterRect(const RECT& client, DWORD style, DWORD exStyle, int dpi);

}  // namespace forms::win32
