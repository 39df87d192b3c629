// The frame of a form's window: a fixed dialog frame with a caption and a
// window menu; and a picture box's. The benchmark's bare window uses it too, so both look the same.
#pragma once

#include <windows.h>

namespace forms::win32 {

inline DWORD FormStyle() { return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN; }
inline DWORD FormExStyle() { return WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT; }
// A picture box: a child with a sunken edge, which its inside (ScaleWidth) is within.
inline DWORD PictureBoxStyle() { return WS_CHILD; }
inline DWORD PictureBoxExStyle() { return WS_EX_CLIENTEDGE; }

}  // namespace forms::win32
