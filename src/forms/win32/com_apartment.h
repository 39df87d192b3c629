// The thread's COM apartment.
#pragma once

namespace forms::win32 {

// Enters a single-threaded COM apartment for the thread, once; whether the
// thread is in one. The start of a program and the screen reader's object need it.
bool EnterComApartment();

}  // namespace forms::win32
