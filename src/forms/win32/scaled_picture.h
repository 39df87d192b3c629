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

// WIC's factory and its PNG decoder's class, as the window's thread reaches them:
// for a picture the menu's own reader refuses (one the build did not write so).
struct WicDecoders : NonCopyable {
    Com<IWICImagingFactory> factory;
    Com<IClassFactory> png;  // where COM has it
    bool Reach();            // false where WIC cannot be had
    // By the PNG decoder's class, or WIC's search of its decoders where that
    // class cannot be had or refuses the picture.
    OwnedBitmap Decode(const BYTE* bytes, DWORD size);
};

// The pictures of one scale, decoded as they are first drawn, or ahead of
// that on a thread of their own, by the menu's own reader. WIC (and with it
// COM) is reached once, at the first picture that reader refuses: the
// pictures the build writes never load it.
class ScaledPictures : NonCopyable {
public:
    ScaledPictures(HINSTANCE instance, int dpi);
    ~ScaledPictures();  // waits for the pictures decoded ahead

    int Dpi() const { return dpi_; }
    // Starts decoding the pictures `ids` on a thread of its own while the window
    // is being made.
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
    // empty where the resources have none for it, or neither the menu's reader
    // nor WIC can read it (the caller then scales the layout's picture).
    OwnedBitmap Load(int id);
    // The copy of picture `id` at `size` made ahead; empty where none was.
    OwnedBitmap Stretched(int id, SIZE size);
    // How many pictures Load decoded itself rather than took ready from the
    // thread: those not asked for ahead, or that it could not decode.
    int DecodedWhenDrawn() const { return decodedWhenDrawn_; }
    // Whether a picture needed WIC (none the build writes does).
    bool WicReached() const { return reached_; }

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
