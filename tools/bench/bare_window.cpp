// The yardstick of the benchmarks: the least a Win32 program can do to show a
// window of the menu's size and frame over a navy client area, at the
// screen's density as the menu is. Its paint is one plain blit of the client
// area from a picture of it made once, which is what a repaint of the menu is
// measured against.
#include <windows.h>

#include "forms/win32/bench_hook.h"
#include "forms/win32/form_style.h"

namespace {

constexpr int kClientTwipsWidth = 11880, kClientTwipsHeight = 8595;  // the menu's client area

// Its pixels at the screen's density, rounded up as the menu rounds an edge.
int Pixels(int twips, int dpi) { return (twips * dpi + 1439) / 1440; }

HDC g_scene = nullptr;  // the client area's picture, navy, made at the first paint

LRESULT CALLBACK Procedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            forms::win32::bench::PaintTimer timer(wnd);
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(wnd, &ps);
            RECT client;
            GetClientRect(wnd, &client);
            if (!g_scene) {
                g_scene = CreateCompatibleDC(dc);
                SelectObject(g_scene, CreateCompatibleBitmap(dc, client.right, client.bottom));
                HBRUSH navy = CreateSolidBrush(RGB(0, 38, 101));
                FillRect(g_scene, &client, navy);
                DeleteObject(navy);
            }
            BitBlt(dc, 0, 0, client.right, client.bottom, g_scene, 0, 0, SRCCOPY);
            EndPaint(wnd, &ps);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    forms::win32::bench::Mark(forms::win32::bench::kEntered);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hbrBackground = nullptr;  // the blit covers it all
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"BareWindow";
    RegisterClassExW(&wc);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT outer{0, 0, Pixels(kClientTwipsWidth, dpi), Pixels(kClientTwipsHeight, dpi)};
    AdjustWindowRectEx(&outer, forms::win32::FormStyle(), FALSE, forms::win32::FormExStyle());
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    HWND wnd = CreateWindowExW(forms::win32::FormExStyle(), wc.lpszClassName, L"Bare window", forms::win32::FormStyle(),
                               (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                               h, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    forms::win32::bench::Mark(forms::win32::bench::kCreated);
    forms::win32::bench::Mark(forms::win32::bench::kLoaded);
    ShowWindow(wnd, show);
    UpdateWindow(wnd);
    forms::win32::bench::Mark(forms::win32::bench::kShown);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
