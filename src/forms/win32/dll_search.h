// Where the program's loads of DLLs by name look.
#pragma once

namespace forms::win32 {

// Loads of DLLs by name search System32 only. Called first thing in the
// program, before anything could load a DLL planted beside it.
void HardenDllSearch();

}  // namespace forms::win32
