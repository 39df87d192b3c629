// The pictures the build wrote for the product, read back for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <zlib.h>

#include "artgen/image.h"

namespace art {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Read(const std::string& name) {
    std::ifstream in(std::string(VELBROOK_ART_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline std::uint32_t U32(const Bytes& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}
inline std::uint16_t U16(const Bytes& b, size_t at) { return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8); }

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
    bool operator<(const Rgb& o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
};
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << "(" << c.r << "," << c.g << "," << c.b << ")"; }

// A stored BMP read back, top row first.
struct Bmp {
    explicit Bmp(const std::string& file) : bytes(Read(file)) {
        width = static_cast<int>(U32(bytes, 18)), height = static_cast<int>(U32(bytes, 22));
        bits = U16(bytes, 28), offset = U32(bytes, 10);
        stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
    }
    Rgb At(int x, int y) const {
        const size_t row = offset + stride * static_cast<size_t>(height - 1 - y);
        if (bits == 24) return {bytes.at(row + 3 * x + 2), bytes.at(row + 3 * x + 1), bytes.at(row + 3 * x)};
        const size_t entry = 54 + 4 * static_cast<size_t>(bytes.at(row + x));
        return {bytes.at(entry + 2), bytes.at(entry + 1), bytes.at(entry)};
    }
    // The bounding box of every pixel that differs from `ground` within a region.
    std::tuple<int, int, int, int> Ink(Rgb ground, int x0, int y0, int x1, int y1) const {
        int l = 9999, t = 9999, r = -1, b = -1;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (!(At(x, y) == ground)) l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
        return {l, t, r, b};
    }
    Bytes bytes;
    int width, height, bits;
    std::uint32_t offset;
    size_t stride;
};

// A PNG's chunks in order, as stored. Throws where one runs past the end.
struct Chunk {
    std::string type;
    Bytes data;
};
inline std::vector<Chunk> Chunks(const Bytes& file) {
    std::vector<Chunk> out;
    for (size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t n = static_cast<std::uint32_t>(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
        if (at + 12 + n > file.size()) throw std::runtime_error("a chunk runs past the end");
        out.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                       Bytes(file.begin() + at + 8, file.begin() + at + 8 + n)});
        at += 12 + n;
    }
    return out;
}

// A PNG the build wrote (8 bits a sample, true colour or a palette, not interlaced),
// decoded as the PNG standard says rather than as the writer encodes: a fault in the
// writer's filters gives other pixels here. Throws on a broken file.
struct Png {
    explicit Png(const Bytes& file) {
        const auto be32 = [](const Bytes& b, size_t at) {
            return static_cast<std::uint32_t>(b.at(at)) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 | b.at(at + 3);
        };
        Bytes packed, palette;
        int depth = 0, interlace = 0;
        for (const Chunk& c : Chunks(file)) {
            if (c.type == "IHDR")
                width = static_cast<int>(be32(c.data, 0)), height = static_cast<int>(be32(c.data, 4)),
                depth = c.data.at(8), colourType = c.data.at(9), interlace = c.data.at(12);
            if (c.type == "PLTE") palette = c.data;
            if (c.type == "IDAT") packed.insert(packed.end(), c.data.begin(), c.data.end());
        }
        if (depth != 8 || (colourType != 2 && colourType != 3) || interlace)
            throw std::runtime_error("not an 8-bit RGB or indexed PNG without interlacing");
        const size_t step = colourType == 2 ? 3 : 1, stride = step * width;
        uLongf size = static_cast<uLongf>(height * (1 + stride));
        Bytes raw(size + 1);  // a byte more, to tell surplus data from the exact size
        uLongf inflated = static_cast<uLongf>(raw.size());
        if (uncompress(raw.data(), &inflated, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || inflated != size)
            throw std::runtime_error("the image data does not inflate to its rows");
        Bytes above(stride, 0), row(stride);
        pixels.reserve(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* line = raw.data() + y * (1 + stride);
            const int filter = line[0];
            filters.insert(filter);
            for (size_t i = 0; i < stride; ++i) {
                const int a = i >= step ? row[i - step] : 0, b = above[i], c = i >= step ? above[i - step] : 0;
                int predicted = 0;
                if (filter == 1) predicted = a;
                if (filter == 2) predicted = b;
                if (filter == 3) predicted = (a + b) / 2;
                if (filter == 4) {
                    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                }
                if (filter > 4) throw std::runtime_error("no filter type " + std::to_string(filter));
                row[i] = static_cast<std::uint8_t>(line[1 + i] + predicted);
            }
            for (int x = 0; x < width; ++x) {
                const size_t at = colourType == 2 ? 3 * static_cast<size_t>(x) : 3 * static_cast<size_t>(row[x]);
                const Bytes& from = colourType == 2 ? row : palette;
                pixels.push_back({from.at(at), from.at(at + 1), from.at(at + 2)});
            }
            above = row;
        }
    }
    Rgb At(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
    bool Has(Rgb colour) const { return std::find(pixels.begin(), pixels.end(), colour) != pixels.end(); }

    int width = 0, height = 0, colourType = 0;  // 2: true colour, 3: a palette
    std::vector<Rgb> pixels;                    // top row first
    std::set<int> filters;                      // the filter types its rows are stored under
};

// Two pictures for the PNG writer and its readers: one of more colours than a
// palette holds, in bands of rows that favour each filter (flat, shaded along
// the row, alike down the column, and shaded both ways with a little noise, for
// Average's and Paeth's ties); and one of few colours, written with a palette.
inline std::vector<artgen::Image> FilterPictures() {
    artgen::Image shades(96, 64, {0, 0, 0});
    std::uint32_t noise = 12345;
    for (int y = 0; y < shades.height; ++y)
        for (int x = 0; x < shades.width; ++x) {
            noise = noise * 1103515245 + 12345;
            const int n = static_cast<int>(noise >> 16) % 5, band = y / 16;
            const int v = band == 0 ? 90 : band == 1 ? x * 2 + y : band == 2 ? (x * 37) % 251 : x * 3 + y * 2 + n;
            shades.At(x, y) = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v * 3 + n),
                               static_cast<std::uint8_t>(255 - v)};
        }
    artgen::Image few(40, 30, {0, 38, 101});
    few.Fill(5, 5, 20, 10, {255, 255, 255});
    return {shades, few};
}

}  // namespace art
