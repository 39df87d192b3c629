#include "forms/win32/program_start.h"

namespace forms::win32 {

bool ShellStart(SHELLEXECUTEINFOW& info) { return ShellExecuteExW(&info) != FALSE; }

}  // namespace forms::win32
