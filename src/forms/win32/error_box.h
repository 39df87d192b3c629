// Run-time errors on Windows: a failed system call becomes one, and one that
// escapes a handler is shown in the error box before the process ends.
#pragma once

#include <windows.h>

#include <new>
#include <string>

#include "forms/errors.h"

namespace forms::win32 {

// The system's wording for an error code, without its line end, and the code.
std::wstring SystemMessage(DWORD code);

// A run-time error for a failed system call, with the system's reason.
[[noreturn]] void FailWithLastError(const wchar_t* what);

// Shows the error box over `owner` (if it is still a window), then ends.
[[noreturn]] void ReportAndEnd(HWND owner, const wchar_t* appTitle, const RuntimeError& e);

// Runs `f`; a run-time error that escapes it is reported and ends the process.
template <class F>
void Guarded(HWND owner, const wchar_t* appTitle, F&& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        ReportAndEnd(owner, appTitle, e);
    } catch (const std::bad_alloc&) {
        ReportAndEnd(owner, appTitle, RuntimeError{kOutOfMemory, {}, {}, {}});
    }
}

}  // namespace forms::win32
