// A plain RGB raster and writers for the stored formats: BMP (24-bit, or
// 8-bit with a 256-entry palette), and one-image 4-bit ICO and CUR files.
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

std::vector<std::uint8_t> Bmp24(const Image& img);
std::vector<std::uint8_t> Bmp8(const Image& img);  // palette of the colours used, padded to 256

// A 32 x 32 4-bit image: colour indexes into a 16-entry palette, and a mask
// where true is transparent.
struct Icon4 {
    Rgb palette[16];
    std::uint8_t index[32][32];  // top row first
    bool transparent[32][32];
};

std::vector<std::uint8_t> IconFile(const Icon4& icon);
std::vector<std::uint8_t> CursorFile(const Icon4& icon, int hotX, int hotY);
// The 744-byte image alone, as it stands at byte 22 of either file.
std::vector<std::uint8_t> IconImage(const Icon4& icon);
// An icon group resource naming that one image by its resource id.
std::vector<std::uint8_t> IconGroup(int iconId);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace artgen
