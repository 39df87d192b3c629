// Process-wide services of the Win32 run-time.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "forms/errors.h"
#include "forms/runtime.h"

namespace forms::win32 {

// Loads of DLLs by name search System32 only. Called first thing in the
// program, before anything could load a DLL planted beside it.
void HardenDllSearch();

// Enters a single-threaded COM apartment for the thread, once; whether the
// thread is in one. The start of a program and the screen reader's object need it.
bool EnterComApartment();

// True when another copy holds the program's mutex, or holds it out of this
// process's reach (a copy running elevated). The mutex is held for the life
// of the process. If an object of another type holds the name, the program
// runs rather than refuse to start.
bool ClaimSingleInstance(const wchar_t* mutexName);

// The full path of this program file, however long.
std::wstring ModuleFileName();

// Starts a program by its exact path in its own folder, shown normally, owned
// by `owner`, without waiting. Throws a RuntimeError on failure.
StartResult StartProgram(HWND owner, const std::wstring& path, int windowStyle);

// ShellExecuteExW, in a file of its own so that a test build can stand in a
// prompt the user declines. Returns its result; the error is in GetLastError.
bool ShellStart(SHELLEXECUTEINFOW& info);

// The system's wording for an error code.
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
