#include "forms/win32/bench_hook.h"

#include <psapi.h>

#include "forms/win32/handle.h"

namespace forms::win32::bench {
namespace {

struct Shared {
    OwnedHandle mapping{OpenFileMappingW(FILE_MAP_WRITE, FALSE, kBlockName)};
    Unique<Block*, &UnmapViewOfFile> view;
    OwnedHandle paintedEvent;
    Block* block = nullptr;
    HANDLE painted = nullptr;
    Shared() {
        // Absent unless the runner started this process: then every timer is inert.
        if (!mapping) return;
        view.Reset(static_cast<Block*>(MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(Block))));
        paintedEvent.Reset(OpenEventW(EVENT_MODIFY_STATE, FALSE, kPaintedName));
        block = view.Get();
        painted = paintedEvent.Get();
    }
};

Shared& Get() {
    static Shared shared;
    return shared;
}

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

BOOL CALLBACK AnyChildUnpainted(HWND child, LPARAM found) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool AllPainted(HWND top) {
    if (!IsWindowVisible(top) || GetUpdateRect(top, nullptr, FALSE)) return false;
    bool unpainted = false;
    EnumChildWindows(top, AnyChildUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

}  // namespace

void Mark(Step step) {
    if (Block* block = Get().block) block->steps[step] = Now();
}

PaintTimer::PaintTimer(HWND window) : window_(window), top_(GetAncestor(window, GA_ROOT)) {
    if (!Get().block) return;
    const OwnedRegion update(CreateRectRgn(0, 0, 0, 0));
    if (update && GetUpdateRgn(window_, update.Get(), FALSE) != ERROR) GetRgnBox(update.Get(), &area_);
    start_ = Now();
}

PaintTimer::~PaintTimer() {
    Block* block = Get().block;
    if (!block) return;
    GdiFlush();
    const LONGLONG end = Now();
    if (window_ == top_) {
        block->window = reinterpret_cast<ULONGLONG>(top_);
        block->lastStart = start_;
        block->lastEnd = end;
        block->lastArea = area_;
        InterlockedIncrement(&block->paints);
    }
    if (!block->firstComplete && AllPainted(top_)) {
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
            block->peakWorkingSet = memory.PeakWorkingSetSize;
        block->firstComplete = end;
    }
    if (Get().painted) SetEvent(Get().painted);
}

}  // namespace forms::win32::bench
