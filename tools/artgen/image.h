// A plain RGB raster, writers for the stored formats (BMP: 24-bit, or 8-bit
// with a 256-entry palette; a one-image 4-bit cursor; an icon group) and
// readers of the product's own pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Image {
    int width, height;
    std::vector<Rgb> pixels;  // top row first

    Image(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Rgb& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    void Fill(int x, int y, int w, int h, Rgb c);
};

// The picture at w x h by the box filter: each new pixel the average of the
// area of the old picture it covers, partly covered pixels by their share.
// How the product's own pictures reach scales they are not given at.
Image BoxScaled(const Image& img, int w, int h);
// The picture from its corner at w x h: cut off where it is larger, its last
// column and row repeated where it is smaller (by the pixel that rounding to
// a scale may leave between a picture and its control there).
Image Fitted(const Image& img, int w, int h);

std::vector<std::uint8_t> Bmp24(const Image& img);
std::vector<std::uint8_t> Bmp8(const Image& img);  // palette of the colours used, padded to 256

// A 32 x 32 4-bit image: colour indexes into a 16-entry palette, and a mask
// where true is transparent.
struct Icon4 {
    Rgb palette[16];
    std::uint8_t index[32][32];  // top row first
    bool transparent[32][32];
};

std::vector<std::uint8_t> CursorFile(const Icon4& icon, int hotX, int hotY);
// The 744-byte image alone, as it stands at byte 22 of either file.
std::vector<std::uint8_t> IconImage(const Icon4& icon);
// An image of an icon file: its directory entry's first 12 bytes (size, colours,
// planes, bits, bytes), which a group resource repeats, and the image itself.
struct IconFileImage {
    std::vector<std::uint8_t> entry;
    std::vector<std::uint8_t> image;
};
std::vector<IconFileImage> IconFileImages(const std::vector<std::uint8_t>& file);

// An icon group resource naming the one 32 x 32 16-colour image by its resource
// id, and then each of `more` by the ids after it.
std::vector<std::uint8_t> IconGroup(int iconId, const std::vector<IconFileImage>& more = {});

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);

// A stored BMP (24-bit, or 8-bit with a palette; either row order) read back.
Image ReadBmp(const std::string& path);
// The one 32 x 32, 16-colour image of an icon file (header, entry, then the image at byte 22).
Icon4 ReadIcon4(const std::vector<std::uint8_t>& file);

}  // namespace artgen
