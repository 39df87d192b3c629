// The timing hooks outside the benchmark build: nothing is timed or signalled.
#include "forms/win32/bench_hook.h"

namespace forms::win32::bench {

void Mark(Step) {}

PaintTimer::PaintTimer(HWND) {}

PaintTimer::~PaintTimer() = default;

}  // namespace forms::win32::bench
