// The pictures the build wrote for the product, read back for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

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

}  // namespace art
