// The pictures drawn for the scales other than the layout's, as the resources
// hold them: PNG, of type "PNG<dpi>", under the picture's own id.
#pragma once

#include <windows.h>

#include "forms/win32/handle.h"

namespace forms::win32 {

// Picture `id` as drawn for `dpi`, decoded into a 32-bit DIB section; empty
// where the resources have none for that scale, or WIC cannot be had or
// cannot read it (the caller then scales the layout's picture).
OwnedBitmap LoadScaledPicture(HINSTANCE instance, int id, int dpi);

}  // namespace forms::win32
