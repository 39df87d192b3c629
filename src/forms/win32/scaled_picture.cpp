#include "forms/win32/scaled_picture.h"

#include <wincodec.h>

#include <string>

#include "forms/png_reader.h"
#include "forms/win32/com_apartment.h"
#include "forms/win32/system_api.h"

namespace forms::win32 {
namespace {

// WIC comes with every Windows that has per-monitor scaling, and with XP SP3.
// It is reached through COM, whose ole32 is loaded from System32 at the first
// use: nothing of it is imported, so a system without it still starts, and a
// window at the layout's density never touches it.
const SystemFunction<decltype(&::CoCreateInstance)> CoCreateInstance{L"ole32.dll", "CoCreateInstance"};
const SystemFunction<decltype(&::CoGetClassObject)> CoGetClassObject{L"ole32.dll", "CoGetClassObject"};

// The first factory's class (not the "2" of Windows 8, which a Windows 7
// without its platform update lacks); its interface; 32-bit BGR pixels.
const CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID kImagingFactoryInterface = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID kBgr32 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};
// WIC's PNG decoder, made from its class rather than found by CreateDecoderFromStream,
// which asks every registered decoder whether it reads the stream (under Wine, a walk
// through the registry for every picture). The pictures here are PNG, always.
const CLSID kPngDecoder = {0x389ea17b, 0x5078, 0x4cde, {0xb6, 0xef, 0x25, 0xc1, 0x51, 0x75, 0xc7, 0x51}};
const IID kDecoderInterface = {0x9edde9e7, 0x8dee, 0x47ea, {0x99, 0xdf, 0xe6, 0xfa, 0xf2, 0xed, 0x44, 0xbf}};
const IID kClassFactoryInterface = {0x00000001, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// A top-down 32-bit DIB section of w x h; its pixels in `bits`.
OwnedBitmap Dib(UINT w, UINT h, void*& bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), static_cast<LONG>(w), -static_cast<LONG>(h), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return OwnedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

// A picture as the build writes them, read by the menu itself; empty for any
// other, which only WIC then reads.
OwnedBitmap ReadOwn(const BYTE* bytes, DWORD size) {
    const std::span<const std::uint8_t> png(bytes, size);
    const PngSize at = ReadPngSize(png);
    void* bits = nullptr;
    OwnedBitmap bitmap = at.width ? Dib(at.width, at.height, bits) : OwnedBitmap();
    return bitmap && ReadPngPixels(png, static_cast<std::uint32_t*>(bits)) ? std::move(bitmap) : OwnedBitmap();
}

// The resource's bytes; nullptr where there is none.
const BYTE* ResourceBytes(HINSTANCE instance, int id, int dpi, DWORD& size) {
    const std::wstring type = L"PNG" + std::to_wstring(dpi);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type.c_str());
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    size = found ? SizeofResource(instance, found) : 0;
    return loaded && size ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

}  // namespace

bool WicDecoders::Reach() {
    const auto create = CoCreateInstance.Get();
    if (!create || FAILED(create(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                                 reinterpret_cast<void**>(factory.Out())))) {
        factory.Reset();
        return false;
    }
    const auto classOf = CoGetClassObject.Get();
    if (classOf && FAILED(classOf(kPngDecoder, CLSCTX_INPROC_SERVER, nullptr, kClassFactoryInterface,
                                  reinterpret_cast<void**>(png.Out())))) {
        png.Reset();
    }
    return true;
}

OwnedBitmap WicDecoders::Decode(const BYTE* bytes, DWORD size) {
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> bgr;
    UINT w = 0, h = 0;
    if (!factory || FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), size))) {
        return OwnedBitmap();
    }
    const bool direct =
        png && SUCCEEDED(png->CreateInstance(nullptr, kDecoderInterface, reinterpret_cast<void**>(decoder.Out()))) &&
        SUCCEEDED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand));
    // The search reads the stream from where it stands; a decoder that refused it
    // may have read some of it.
    if ((!direct && (FAILED(stream->Seek({}, STREAM_SEEK_SET, nullptr)) ||
                     FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                             decoder.Out())))) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(factory->CreateFormatConverter(bgr.Out())) ||
        FAILED(bgr->Initialize(frame.Get(), kBgr32, WICBitmapDitherTypeNone, nullptr, 0,
                               WICBitmapPaletteTypeCustom)) ||
        FAILED(bgr->GetSize(&w, &h)) || w == 0 || h == 0 || w > 0x4000 || h > 0x4000) {
        return OwnedBitmap();
    }
    void* bits = nullptr;
    OwnedBitmap bitmap = Dib(w, h, bits);
    if (!bitmap || FAILED(bgr->CopyPixels(nullptr, w * 4, w * 4 * h, static_cast<BYTE*>(bits)))) return OwnedBitmap();
    return bitmap;
}

ScaledPictures::ScaledPictures(HINSTANCE instance, int dpi) : instance_(instance), dpi_(dpi) {}

ScaledPictures::~ScaledPictures() {
    // A scale left behind (the window moved on) need not be decoded to its end.
    stop_ = true;
    Join();
}

void ScaledPictures::DecodeAhead(std::vector<int> ids, std::vector<Stretch> stretches, StretchFunction stretch) {
    Join();
    // Asked again for the same scale (another density it stands in for): what is
    // ready stays and is not decoded twice.
    std::erase_if(ids, [this](int id) { return ahead_.count(id) != 0; });
    std::erase_if(stretches, [this](const Stretch& s) { return stretched_.count({s.id, s.size.cx, s.size.cy}) != 0; });
    if (ids.empty() && stretches.empty()) return;
    aheadIds_ = std::move(ids);
    aheadStretches_ = std::move(stretches);
    stretch_ = stretch;
    thread_.Reset(CreateThread(nullptr, 0, &ScaledPictures::Ahead, this, 0, nullptr));
}

DWORD WINAPI ScaledPictures::Ahead(void* p) {
    auto* self = static_cast<ScaledPictures*>(p);
    try {
        // The menu's own reader only: what it refuses is left to WIC, which is
        // reached from the window's thread when the picture is drawn.
        for (int id : self->aheadIds_) {
            if (self->stop_) break;
            DWORD size = 0;
            const BYTE* bytes = ResourceBytes(self->instance_, id, self->dpi_, size);
            if (OwnedBitmap bitmap = bytes ? ReadOwn(bytes, size) : OwnedBitmap()) {
                self->ahead_.emplace(id, std::move(bitmap));
            }
        }
        // GDI's HALFTONE stretch is slow under Wine: the tile's, ten milliseconds.
        for (const Stretch& st : self->aheadStretches_) {
            const auto from = self->ahead_.find(st.id);
            if (self->stop_ || !self->stretch_ || from == self->ahead_.end()) continue;
            if (OwnedBitmap copy = self->stretch_(from->second.Get(), st.size, self->dpi_)) {
                self->stretched_.emplace(std::make_tuple(st.id, st.size.cx, st.size.cy), std::move(copy));
            }
        }
    } catch (...) {  // no memory: what is left is decoded when drawn
    }
    return 0;
}

void ScaledPictures::Join() {
    if (!thread_) return;
    WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
}

OwnedBitmap ScaledPictures::Stretched(int id, SIZE size) {
    Join();
    const auto found = stretched_.find({id, size.cx, size.cy});
    if (found == stretched_.end()) return OwnedBitmap();
    OwnedBitmap copy = std::move(found->second);
    stretched_.erase(found);
    return copy;
}

OwnedBitmap ScaledPictures::Load(int id) {
    Join();
    if (const auto found = ahead_.find(id); found != ahead_.end()) {
        OwnedBitmap bitmap = std::move(found->second);
        ahead_.erase(found);
        return bitmap;
    }
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(instance_, id, dpi_, size);
    if (!bytes) return OwnedBitmap();
    ++decodedWhenDrawn_;
    if (OwnedBitmap own = ReadOwn(bytes, size)) return own;
    if (!reached_) {
        reached_ = true;
        if (!EnterComApartment() || !wic_.Reach()) wic_.factory.Reset();
    }
    return wic_.Decode(bytes, size);
}

}  // namespace forms::win32
