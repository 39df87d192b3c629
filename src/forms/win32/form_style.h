// The frame of a form's window: a fixed dialog frame with a caption and a
// window menu. The benchmark's bare window uses it too, so both look the same.
#pragma once

#include <windows.h>

namespace forms::win32 {

inline DWORD FormStyle() { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
inline DWORD FormExStyle() { return WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT; }

}  // namespace forms::win32
