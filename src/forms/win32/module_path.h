// The program's own file.
#pragma once

#include <string>

namespace forms::win32 {

// The full path of this program file, however long; a run-time error where it cannot be read.
std::wstring ModuleFileName();

}  // namespace forms::win32
