// The mark of a running copy: a named mutex held for the life of the process.
#pragma once

namespace forms::win32 {

// True when another copy holds the program's mutex, or holds it out of this
// process's reach (a copy running elevated). If an object of another type
// holds the name, the program runs rather than refuse to start.
bool ClaimSingleInstance(const wchar_t* mutexName);

}  // namespace forms::win32
