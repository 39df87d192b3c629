// Starts the menu and the bare window in turn and times them through the
// benchmark build's paint hooks. Writes one JSON line per run to a file.
//
//   bench_runner <out.json> <runs> <menu.exe> <bare.exe>
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "chooser/controls.h"
#include "chooser/layout.h"
#include "forms/form.h"
#include "forms/geometry.h"
#include "forms/win32/bench_hook.h"
#include "product.h"

namespace {

using forms::win32::bench::Block;

constexpr int kRepaintsPerRun = 30;
constexpr int kHoversPerRun = 10;
constexpr DWORD kTimeoutMs = 30000;

Block* g_block = nullptr;
HANDLE g_painted = nullptr;
double g_ticksPerMs = 0;

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(LONGLONG ticks) { return static_cast<double>(ticks) / g_ticksPerMs; }

template <class Condition>
bool WaitUntil(Condition done) {
    const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        WaitForSingleObject(g_painted, 10);
    }
    return true;
}

[[noreturn]] void Die(const char* what) {
    const DWORD error = GetLastError();
    std::fprintf(stderr, "bench_runner: %s (error %lu; %ld paints, last area %ld,%ld-%ld,%ld)\n", what, error,
                 g_block ? g_block->paints : 0L, g_block ? g_block->lastArea.left : 0L,
                 g_block ? g_block->lastArea.top : 0L, g_block ? g_block->lastArea.right : 0L,
                 g_block ? g_block->lastArea.bottom : 0L);
    ExitProcess(2);
}

struct Child {
    PROCESS_INFORMATION pi{};
    ~Child() {
        if (!pi.hProcess) return;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, kTimeoutMs);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
};

// Starts `exe` with its folder as working directory; returns the time to its first
// complete paint, and in `steps` the time to the end of each start-up step.
double Start(const std::wstring& exe, Child& child, std::vector<double>& steps) {
    ZeroMemory(g_block, sizeof(Block));
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    const LONGLONG started = Now();
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &child.pi))
        Die("cannot start a program");
    if (!WaitUntil([] { return g_block->firstComplete != 0; })) Die("no first paint");
    // The last step ends after the first paint it contains.
    if (!WaitUntil([] { return g_block->steps[std::size(g_block->steps) - 1] != 0; })) Die("no start-up steps");
    for (LONGLONG step : g_block->steps) steps.push_back(Ms(step - started));
    return Ms(g_block->firstComplete - started);
}

// Waits for a paint of the top-level window after `count` paints that meets `area`.
bool WaitForPaint(LONG count, const RECT& area) {
    return WaitUntil([&] {
        RECT meet;
        return g_block->paints > count && IntersectRect(&meet, &g_block->lastArea, &area);
    });
}

std::vector<double> Repaints(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    std::vector<double> times;
    for (int i = 0; i < kRepaintsPerRun; ++i) {
        const LONG count = g_block->paints;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        if (!WaitForPaint(count, client)) Die("no repaint");
        if (!EqualRect(&g_block->lastArea, &client)) Die("a repaint did not cover the client area");
        times.push_back(Ms(g_block->lastEnd - g_block->lastStart));
    }
    return times;
}

// A pointer move as the window receives it, queued straight to it: the real
// pointer stays off the window, so no stray or late moves mix in.
void MovePointer(HWND window, int x, int y) {
    if (!PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y))) Die("cannot move the pointer");
}

// The language whose picture the hover is timed on: the cable's English, or the
// first shown language of a product without code 3.
std::int16_t TimedLanguage() {
    for (const product::Language& l : product::kLanguages)
        if (l.shown && l.code == 3) return l.code;
    for (const product::Language& l : product::kLanguages)
        if (l.shown) return l.code;
    return 0;
}

// From a pointer move onto the timed language's picture to the end of the paint that lights it, and back.
void Hovers(HWND window, int dpi, std::vector<double>& on, std::vector<double>& off) {
    const forms::FormModel model(chooser::kFrmAutoSelect);
    const forms::ControlSpec& face = model.Control(model.Find(chooser::kCountryImage, TimedLanguage()));
    const forms::PixelRect r = forms::ToPixels(face.rect, dpi);
    const RECT picture{r.x, r.y, r.x + r.w, r.y + r.h};
    const POINT bare{MulDiv(600, dpi, 96), MulDiv(300, dpi, 96)};  // bare background
    SetCursorPos(0, 0);
    Sleep(200);
    for (int i = 0; i < kHoversPerRun; ++i) {
        LONG count = g_block->paints;
        LONGLONG moved = Now();
        MovePointer(window, r.x + r.w / 2 + i, r.y + r.h / 2);
        if (!WaitForPaint(count, picture)) Die("the picture was not lit");
        on.push_back(Ms(g_block->lastEnd - moved));
        count = g_block->paints;
        moved = Now();
        MovePointer(window, bare.x + i, bare.y);
        if (!WaitForPaint(count, picture)) Die("the light did not go out");
        off.push_back(Ms(g_block->lastEnd - moved));
    }
}

void Write(FILE* out, const char* name, const std::vector<double>& values) {
    std::fprintf(out, ",\"%s\":[", name);
    for (size_t i = 0; i < values.size(); ++i) std::fprintf(out, "%s%.4f", i ? "," : "", values[i]);
    std::fprintf(out, "]");
}

// The session's density: the one both programs are laid out at.
int SessionDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void Run(FILE* out, const char* name, const std::wstring& exe, bool menu) {
    const int dpi = SessionDpi();
    Child child;
    std::vector<double> steps;
    const double start = Start(exe, child, steps);
    const ULONGLONG peakAtFirstPaint = g_block->peakWorkingSet;
    auto window = reinterpret_cast<HWND>(g_block->window);
    std::vector<double> repaints = Repaints(window), on, off;
    if (menu) Hovers(window, dpi, on, off);
    std::fprintf(out, "{\"program\":\"%s\",\"dpi\":%d,\"start_ms\":%.4f,\"peak_working_set\":%llu", name, dpi,
                 start, peakAtFirstPaint);
    Write(out, "steps_ms", steps);
    Write(out, "repaint_ms", repaints);
    Write(out, "hover_on_ms", on);
    Write(out, "hover_off_ms", off);
    std::fprintf(out, "}\n");
    std::fflush(out);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_runner <out.json> <runs> <menu.exe> <bare.exe>\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Block),
                                        forms::win32::bench::kBlockName);
    if (!mapping) Die("cannot create the shared block");
    g_block = static_cast<Block*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Block)));
    g_painted = CreateEventW(nullptr, FALSE, FALSE, forms::win32::bench::kPaintedName);
    if (!g_block || !g_painted) Die("cannot map the shared block");

    FILE* out = _wfopen(argv[1], L"w");
    if (!out) Die("cannot write the results");
    const int runs = _wtoi(argv[2]);
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so neither always meets a warmer system.
        if (i % 2) {
            Run(out, "menu", argv[3], true);
            Run(out, "bare", argv[4], false);
        } else {
            Run(out, "bare", argv[4], false);
            Run(out, "menu", argv[3], true);
        }
    }
    std::fclose(out);
    return 0;
}
