// The pictures drawn for the scales other than the layout's, as the resources
// hold them: PNG, of type "PNG<dpi>", under the picture's own id.
#pragma once

#include <windows.h>

#include "forms/win32/handle.h"

struct IWICImagingFactory;

namespace forms::win32 {

// The pictures of one scale, decoded one at a time as they are first drawn.
// WIC (and with it COM) is reached at the first picture, once for all of them:
// a window at the layout's density, or one whose pictures all come from
// elsewhere, never loads it.
class ScaledPictures : NonCopyable {
public:
    ScaledPictures(HINSTANCE instance, int dpi);
    ~ScaledPictures();

    int Dpi() const { return dpi_; }
    // Picture `id` as drawn for this scale, decoded into a 32-bit DIB section;
    // empty where the resources have none for it, or WIC cannot be had or cannot
    // read it (the caller then scales the layout's picture).
    OwnedBitmap Load(int id);

private:
    IWICImagingFactory* Factory();

    HINSTANCE instance_;
    int dpi_;
    Com<IWICImagingFactory> factory_;
    bool reached_ = false;  // whether WIC was asked for yet: asked once, had or not
};

}  // namespace forms::win32
