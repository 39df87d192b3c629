// The thread's COM apartment.
#pragma once

namespace forms::win32 {

// Enters a single-threaded COM apartment for the program's one thread, once;
// whether it is in one. The start of a program, the screen reader's object and
// the pictures decoded by WIC need it. Call it from the window's thread only.
bool EnterComApartment();

}  // namespace forms::win32
