#include "forms/win32/scaled_picture.h"

#include <wincodec.h>

#include <string>

#include "forms/win32/com_apartment.h"
#include "forms/win32/system_api.h"

namespace forms::win32 {
namespace {

// WIC comes with every Windows that has per-monitor scaling, and with XP SP3.
// It is reached through COM, whose ole32 is loaded from System32 at the first
// use: nothing of it is imported, so a system without it still starts, and a
// window at the layout's density never touches it.
const SystemFunction<decltype(&::CoCreateInstance)> CoCreateInstance{L"ole32.dll", "CoCreateInstance"};

// The first factory's class (not the "2" of Windows 8, which a Windows 7
// without its platform update lacks); its interface; 32-bit BGR pixels.
const CLSID kImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const IID kImagingFactoryInterface = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const GUID kBgr32 = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};

// The resource's bytes; nullptr where there is none.
const BYTE* ResourceBytes(HINSTANCE instance, int id, int dpi, DWORD& size) {
    const std::wstring type = L"PNG" + std::to_wstring(dpi);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type.c_str());
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    size = found ? SizeofResource(instance, found) : 0;
    return loaded && size ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

}  // namespace

ScaledPictures::ScaledPictures(HINSTANCE instance, int dpi) : instance_(instance), dpi_(dpi) {}

ScaledPictures::~ScaledPictures() = default;

IWICImagingFactory* ScaledPictures::Factory() {
    if (!reached_) {
        reached_ = true;
        const auto create = CoCreateInstance.Get();
        if (create && EnterComApartment() &&
            FAILED(create(kImagingFactory, nullptr, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                          reinterpret_cast<void**>(factory_.Out())))) {
            factory_.Reset();
        }
    }
    return factory_.Get();
}

OwnedBitmap ScaledPictures::Load(int id) {
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(instance_, id, dpi_, size);
    IWICImagingFactory* factory = bytes ? Factory() : nullptr;
    if (!factory) return OwnedBitmap();
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> bgr;
    UINT w = 0, h = 0;
    if (FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(factory->CreateFormatConverter(bgr.Out())) ||
        FAILED(bgr->Initialize(frame.Get(), kBgr32, WICBitmapDitherTypeNone, nullptr, 0,
                               WICBitmapPaletteTypeCustom)) ||
        FAILED(bgr->GetSize(&w, &h)) || w == 0 || h == 0 || w > 0x4000 || h > 0x4000) {
        return OwnedBitmap();
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), static_cast<LONG>(w), -static_cast<LONG>(h), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || FAILED(bgr->CopyPixels(nullptr, w * 4, w * 4 * h, static_cast<BYTE*>(bits)))) return OwnedBitmap();
    return bitmap;
}

}  // namespace forms::win32
