#include "png.h"

#include <zlib.h>

#include <cstdlib>
#include <map>
#include <stdexcept>

namespace artgen {
namespace {

void Be32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    Be32(out, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Be32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Rows of true colour, each under the filter that leaves the smallest sum of
// differences (the usual guess at what deflates best).
void FilteredRows(const Image& img, std::vector<std::uint8_t>& raw) {
    const size_t stride = static_cast<size_t>(img.width) * 3;
    std::vector<std::uint8_t> previous(stride, 0), row(stride), best, trial(stride);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgb& p = img.pixels[static_cast<size_t>(y) * img.width + x];
            row[3 * x] = p.r, row[3 * x + 1] = p.g, row[3 * x + 2] = p.b;
        }
        long bestCost = -1;
        std::uint8_t bestType = 0;
        for (std::uint8_t type = 0; type < 5; ++type) {
            long cost = 0;
            for (size_t i = 0; i < stride; ++i) {
                const int a = i >= 3 ? row[i - 3] : 0, b = previous[i], c = i >= 3 ? previous[i - 3] : 0;
                const int predicted = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2 : type == 4 ? Paeth(a, b, c) : 0;
                trial[i] = static_cast<std::uint8_t>(row[i] - predicted);
                cost += trial[i] < 128 ? trial[i] : 256 - trial[i];
            }
            if (bestCost < 0 || cost < bestCost) bestCost = cost, bestType = type, best = trial;
        }
        raw.push_back(bestType);
        raw.insert(raw.end(), best.begin(), best.end());
        previous = row;
    }
}

}  // namespace

std::vector<std::uint8_t> Png(const Image& img) {
    // Few colours (the menu's pictures have a few dozen): a palette, one byte a pixel.
    std::map<std::uint32_t, std::uint8_t> index;
    std::vector<Rgb> palette;
    bool indexed = true;
    for (const Rgb& p : img.pixels) {
        const std::uint32_t key = p.r << 16 | p.g << 8 | p.b;
        if (index.count(key)) continue;
        if (palette.size() == 256) {
            indexed = false;
            break;
        }
        index.emplace(key, static_cast<std::uint8_t>(palette.size()));
        palette.push_back(p);
    }
    std::vector<std::uint8_t> raw;
    if (indexed) {
        for (int y = 0; y < img.height; ++y) {
            raw.push_back(0);  // no filter: indexes are not magnitudes
            for (int x = 0; x < img.width; ++x) {
                const Rgb& p = img.pixels[static_cast<size_t>(y) * img.width + x];
                raw.push_back(index.at(p.r << 16 | p.g << 8 | p.b));
            }
        }
    } else {
        FilteredRows(img, raw);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> z(size);
    if (compress2(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("cannot compress a PNG");
    z.resize(size);

    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    Be32(header, static_cast<std::uint32_t>(img.width));
    Be32(header, static_cast<std::uint32_t>(img.height));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(indexed ? 3 : 2), 0, 0, 0});  // 8-bit indexed or RGB
    Chunk(out, "IHDR", header);
    if (indexed) {
        std::vector<std::uint8_t> plte;
        for (const Rgb& c : palette) plte.insert(plte.end(), {c.r, c.g, c.b});
        Chunk(out, "PLTE", plte);
    }
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

}  // namespace artgen
