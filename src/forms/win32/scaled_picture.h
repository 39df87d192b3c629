// The pictures drawn for the scales other than the layout's, as the resources
// hold them: PNG, of type "PNG<dpi>", under the picture's own id.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <tuple>
#include <vector>

#include "forms/win32/handle.h"

struct IClassFactory;
struct IWICImagingFactory;

namespace forms::win32 {

// WIC's factory and its PNG decoder's class, as one thread reaches them.
struct WicDecoders : NonCopyable {
    Com<IWICImagingFactory> factory;
    Com<IClassFactory> png;  // where COM has it
    bool Reach();            // false where WIC cannot be had
    // With `search`, by WIC's search of its decoders where the PNG decoder's class
    // cannot be had or refuses the picture; without, by that class alone.
    OwnedBitmap Decode(const BYTE* bytes, DWORD size, bool search);
};

// The pictures of one scale, decoded as they are first drawn, or ahead of
// that on a thread of their own. Each thread reaches WIC (and with it COM) at
// its first picture, once for all of them: a window at the layout's density,
// or one whose pictures all come from elsewhere, never loads it.
class ScaledPictures : NonCopyable {
public:
    ScaledPictures(HINSTANCE instance, int dpi);
    ~ScaledPictures();  // waits for the pictures decoded ahead

    int Dpi() const { return dpi_; }
    // Starts decoding the pictures `ids` on a thread of its own (in COM's
    // multithreaded apartment, with its own WIC), while the window is being made:
    // under Wine, COM, WIC and a dozen faces cost as much as the window's own start.
    // With them, the copies `stretches` of those pictures, each at a size its
    // draws will ask for (a tile the paint handler draws at its box's size); made
    // with `stretch`, which may fail by throwing.
    struct Stretch {
        int id;
        SIZE size;
    };
    using StretchFunction = OwnedBitmap (*)(HBITMAP from, SIZE size, int dpi);
    void DecodeAhead(std::vector<int> ids, std::vector<Stretch> stretches = {}, StretchFunction stretch = nullptr);
    // Picture `id` as drawn for this scale, decoded into a 32-bit DIB section;
    // empty where the resources have none for it, or WIC cannot be had or cannot
    // read it (the caller then scales the layout's picture).
    OwnedBitmap Load(int id);
    // The copy of picture `id` at `size` made ahead; empty where none was.
    OwnedBitmap Stretched(int id, SIZE size);
    // How many pictures Load decoded itself rather than took ready from the
    // thread: those not asked for ahead, or that it could not decode.
    int DecodedWhenDrawn() const { return decodedWhenDrawn_; }

private:
    static DWORD WINAPI Ahead(void* self);
    void Join();

    HINSTANCE instance_;
    int dpi_;
    WicDecoders wic_;       // the calling thread's
    bool reached_ = false;  // whether WIC was asked for yet: asked once, had or not
    OwnedHandle thread_;
    std::vector<int> aheadIds_;
    std::vector<Stretch> aheadStretches_;
    StretchFunction stretch_ = nullptr;
    std::map<std::tuple<int, LONG, LONG>, OwnedBitmap> stretched_;  // the thread's, as ahead_
    std::map<int, OwnedBitmap> ahead_;  // the thread's; read only once it has ended
    std::atomic<bool> stop_{false};  // the thread's scale is left: it stops at its next picture
    int decodedWhenDrawn_ = 0;
};

}  // namespace forms::win32
