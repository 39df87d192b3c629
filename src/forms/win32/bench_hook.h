// Timing hooks of the benchmark build. The shipped menu is built without them;
// the benchmark runner creates the shared block they write to.
#pragma once

#include <windows.h>

namespace forms::win32::bench {

inline constexpr wchar_t kBlockName[] = L"Local\\Velbrook.Benchmark.Block";
inline constexpr wchar_t kPaintedName[] = L"Local\\Velbrook.Benchmark.Painted";

inline constexpr int kSteps = 4;

// Times are QueryPerformanceCounter ticks, which every process of a session shares.
struct Block {
    volatile LONG paints;          // completed paints of the top-level window
    volatile LONGLONG lastStart;   // the newest of them: when it began and ended,
    volatile LONGLONG lastEnd;     // and the area it painted (client pixels)
    RECT lastArea;
    volatile LONGLONG firstComplete;  // when the window and its children were first all painted
    ULONGLONG peakWorkingSet;         // bytes, at firstComplete
    ULONGLONG window;                 // the top-level window's handle
    volatile LONGLONG steps[kSteps];  // when each start-up step ended (see Step)
};

// Start-up steps of a form, to tell where the time before the first paint goes.
enum Step { kEntered, kCreated, kLoaded, kShown };

// Two implementations: bench_hook.cpp times and signals, in the benchmark
// build only; bench_none.cpp, in every other build, does nothing and carries
// none of the names above.
void Mark(Step step);

// Scoped around one paint request of `window` (a top-level window or one of
// its children); signals the runner when the paint has ended.
class PaintTimer {
public:
    explicit PaintTimer(HWND window);
    ~PaintTimer();
    PaintTimer(const PaintTimer&) = delete;
    PaintTimer& operator=(const PaintTimer&) = delete;

private:
    HWND window_ = nullptr;
    HWND top_ = nullptr;
    RECT area_{};
    LONGLONG start_ = 0;
};

}  // namespace forms::win32::bench
