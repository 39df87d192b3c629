// Starting another program: the setup of the chosen language.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "forms/runtime.h"

namespace forms::win32 {

// Starts a program by its exact path, in `folder`, shown normally, owned by
// `owner`, without waiting. Throws a RuntimeError on failure.
StartResult StartProgram(HWND owner, const std::wstring& path, const std::wstring& folder, int windowStyle);

// ShellExecuteExW, in a file of its own so that a test build can stand in a
// prompt the user declines. Returns its result; the error is in GetLastError.
bool ShellStart(SHELLEXECUTEINFOW& info);

// The run-time error number for a system error code of a failed start.
int ErrorNumberFor(DWORD code);

}  // namespace forms::win32
