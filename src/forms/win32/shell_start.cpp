#include "forms/win32/system.h"

namespace forms::win32 {

bool ShellStart(SHELLEXECUTEINFOW& info) { return ShellExecuteExW(&info) != FALSE; }

}  // namespace forms::win32
