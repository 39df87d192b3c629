// The pictures the build draws for other scales, read without a codec of the
// system's: reaching one (COM and WIC on Windows) costs a window at 200 % as much
// as all its pictures. Only the kind the build writes is read here: 8 bits a
// sample, a palette or true colour, not interlaced, no chunk but IHDR, PLTE, IDAT
// and IEND. Anything else, or anything damaged, is refused, and the caller
// leaves it to the system's codec, which then decides what it shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace forms {

struct PngSize {
    std::uint32_t width = 0, height = 0;
};

// The picture's size where its header is of the kind read here and no side is
// over 16384 pixels; {0, 0} otherwise.
PngSize ReadPngSize(std::span<const std::uint8_t> png);

// Its pixels into `out` (width × height, the top row first), each 0xFFRRGGBB
// as a 32-bit DIB holds them (opaque, as WIC gives them); false, with `out` in
// any state, where the file is not of that kind or is damaged anywhere (a
// chunk's CRC, the compressed data, its checksum, a filter, a palette index).
bool ReadPngPixels(std::span<const std::uint8_t> png, std::uint32_t* out);

}  // namespace forms
