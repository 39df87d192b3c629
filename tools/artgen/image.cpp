#include "image.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace artgen {
namespace {

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void InfoHeader(std::vector<std::uint8_t>& b, int w, int h, int bits, std::uint32_t imageSize, int colours) {
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(w));
    Put32(b, static_cast<std::uint32_t>(h));
    Put16(b, 1);
    Put16(b, bits);
    Put32(b, 0);  // no compression
    Put32(b, imageSize);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, colours);
    Put32(b, 0);
}

std::vector<std::uint8_t> BmpFile(const Image& img, int bits, const std::vector<Rgb>& palette,
                                  const std::vector<std::uint8_t>& indexes) {
    const int stride = ((img.width * bits / 8) + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(stride * img.height);
    const std::uint32_t offset = 54 + static_cast<std::uint32_t>(palette.size() * 4);
    std::vector<std::uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + dataSize);
    Put32(b, 0);
    Put32(b, offset);
    InfoHeader(b, img.width, img.height, bits, dataSize, static_cast<int>(palette.size()));
    for (const Rgb& c : palette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {  // bottom row first
        const size_t start = b.size();
        for (int x = 0; x < img.width; ++x) {
            const size_t i = static_cast<size_t>(y) * img.width + x;
            if (bits == 24) {
                b.push_back(img.pixels[i].b);
                b.push_back(img.pixels[i].g);
                b.push_back(img.pixels[i].r);
            } else {
                b.push_back(indexes[i]);
            }
        }
        while ((b.size() - start) % 4) b.push_back(0);
    }
    return b;
}

}  // namespace

void Image::Fill(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (i >= 0 && j >= 0 && i < width && j < height) At(i, j) = c;
}

namespace {

// For each of `to` pixels along one axis, the old pixels it covers and the share of each.
struct Span {
    int first;
    std::vector<double> weights;
};
std::vector<Span> BoxSpans(int from, int to) {
    std::vector<Span> spans(static_cast<size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double a = i * step, b = (i + 1) * step;
        Span& span = spans[static_cast<size_t>(i)];
        span.first = static_cast<int>(a);
        for (int k = span.first; k < from && k < b; ++k)
            span.weights.push_back((std::min<double>(k + 1, b) - std::max<double>(k, a)) / step);
    }
    return spans;
}

}  // namespace

Image BoxScaled(const Image& img, int w, int h) {
    const std::vector<Span> xs = BoxSpans(img.width, w), ys = BoxSpans(img.height, h);
    Image out(w, h, Rgb{0, 0, 0});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double r = 0, g = 0, b = 0;
            const Span &sy = ys[static_cast<size_t>(y)], &sx = xs[static_cast<size_t>(x)];
            for (size_t j = 0; j < sy.weights.size(); ++j)
                for (size_t i = 0; i < sx.weights.size(); ++i) {
                    const double wgt = sy.weights[j] * sx.weights[i];
                    const Rgb& p = img.pixels[static_cast<size_t>(sy.first + static_cast<int>(j)) * img.width +
                                              static_cast<size_t>(sx.first) + i];
                    r += wgt * p.r, g += wgt * p.g, b += wgt * p.b;
                }
            auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
            out.At(x, y) = {channel(r), channel(g), channel(b)};
        }
    return out;
}

Image Fitted(const Image& img, int w, int h) {
    Image out(w, h, Rgb{0, 0, 0});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.At(x, y) = img.pixels[static_cast<size_t>(std::min(y, img.height - 1)) * img.width +
                                      static_cast<size_t>(std::min(x, img.width - 1))];
    return out;
}

std::vector<std::uint8_t> Bmp24(const Image& img) { return BmpFile(img, 24, {}, {}); }

std::vector<std::uint8_t> Bmp8(const Image& img) {
    std::vector<Rgb> palette;
    std::vector<std::uint8_t> indexes;
    for (const Rgb& c : img.pixels) {
        size_t i = 0;
        while (i < palette.size() && !(palette[i] == c)) ++i;
        if (i == palette.size()) {
            if (palette.size() == 256) throw std::runtime_error("more than 256 colours");
            palette.push_back(c);
        }
        indexes.push_back(static_cast<std::uint8_t>(i));
    }
    palette.resize(256, Rgb{0, 0, 0});
    return BmpFile(img, 8, palette, indexes);
}

std::vector<std::uint8_t> IconImage(const Icon4& icon) {
    std::vector<std::uint8_t> b;
    InfoHeader(b, 32, 64, 4, 0, 0);
    for (const Rgb& c : icon.palette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 2) b.push_back(static_cast<std::uint8_t>(icon.index[y][x] << 4 | icon.index[y][x + 1]));
    for (int y = 31; y >= 0; --y) {
        for (int x = 0; x < 32; x += 8) {
            std::uint8_t byte = 0;
            for (int k = 0; k < 8; ++k)
                if (icon.transparent[y][x + k]) byte |= static_cast<std::uint8_t>(0x80 >> k);
            b.push_back(byte);
        }
    }
    return b;  // 40 + 64 + 512 + 128 = 744 bytes
}

namespace {
std::vector<std::uint8_t> Directory(int type, int colours, int planesOrHotX, int bitsOrHotY, size_t size) {
    std::vector<std::uint8_t> b;
    Put16(b, 0);
    Put16(b, type);
    Put16(b, 1);
    b.push_back(32);
    b.push_back(32);
    b.push_back(static_cast<std::uint8_t>(colours));
    b.push_back(0);
    Put16(b, planesOrHotX);
    Put16(b, bitsOrHotY);
    Put32(b, static_cast<std::uint32_t>(size));
    Put32(b, 22);
    return b;
}
}  // namespace

std::vector<std::uint8_t> CursorFile(const Icon4& icon, int hotX, int hotY) {
    const auto image = IconImage(icon);
    auto b = Directory(2, 0, hotX, hotY, image.size());
    b.insert(b.end(), image.begin(), image.end());
    return b;
}

namespace {
std::uint32_t Get32(const std::vector<std::uint8_t>& b, size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("a picture file ends early");
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
}  // namespace

std::vector<std::uint8_t> IconGroup(int iconId, const std::vector<IconFileImage>& more) {
    std::vector<std::uint8_t> b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, static_cast<unsigned>(1 + more.size()));
    b.insert(b.end(), {32, 32, 16, 0});
    Put16(b, 1);   // planes
    Put16(b, 4);   // bits per pixel
    Put32(b, 744);
    Put16(b, iconId);
    for (const IconFileImage& image : more) {
        b.insert(b.end(), image.entry.begin(), image.entry.end());
        Put16(b, static_cast<unsigned>(++iconId));
    }
    return b;
}

std::vector<IconFileImage> IconFileImages(const std::vector<std::uint8_t>& file) {
    const auto at16 = [&](size_t at) { return at + 2 <= file.size() ? file[at] | file[at + 1] << 8 : -1; };
    const int count = at16(4);
    if (at16(0) != 0 || at16(2) != 1 || count < 1 || file.size() < 6 + 16 * static_cast<size_t>(count))
        throw std::runtime_error("not an icon file");
    std::vector<IconFileImage> images;
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        const std::uint32_t size = Get32(file, entry + 8), offset = Get32(file, entry + 12);
        if (offset > file.size() || size > file.size() - offset) throw std::runtime_error("an icon's image lies outside its file");
        IconFileImage image{{file.begin() + static_cast<long>(entry), file.begin() + static_cast<long>(entry + 12)},
                            {file.begin() + offset, file.begin() + offset + size}};
        // Windows picks an image of a group by the planes and bits its entry names: those of
        // the image itself (a PNG's are 32), whatever the file's entry says.
        const bool png = size >= 4 && image.image[0] == 0x89 && image.image[1] == 'P';
        const int bits = png ? 32 : size >= 16 ? image.image[14] | image.image[15] << 8 : 0;
        image.entry[4] = 1, image.entry[5] = 0;
        image.entry[6] = static_cast<std::uint8_t>(bits), image.entry[7] = static_cast<std::uint8_t>(bits >> 8);
        images.push_back(std::move(image));
    }
    return images;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), {}};
}


Image ReadBmp(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadFile(path);
    const int width = static_cast<int>(Get32(b, 18)), stored = static_cast<int>(Get32(b, 22));
    const bool topDown = stored < 0;  // a negative height: the top row comes first
    const int height = topDown ? (stored == INT32_MIN ? 0 : -stored) : stored;
    const int bits = b.size() > 29 ? b[28] : 0;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || width <= 0 || height <= 0 || (bits != 24 && bits != 8))
        throw std::runtime_error(path + " is not a 24-bit or 8-bit BMP");
    const size_t offset = Get32(b, 10), stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
    const size_t palette = 14 + Get32(b, 14);  // after the information header, whichever its size
    if (offset + stride * height > b.size()) throw std::runtime_error(path + " ends early");
    Image img(width, height, Rgb{0, 0, 0});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t row = offset + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
            const size_t at = bits == 24 ? row + 3 * x : palette + 4 * static_cast<size_t>(b[row + x]);
            img.At(x, y) = {b.at(at + 2), b.at(at + 1), b.at(at)};
        }
    return img;
}

Icon4 ReadIcon4(const std::vector<std::uint8_t>& file) {
    if (file.size() != 22 + 744) throw std::runtime_error("an icon is not one 32 x 32, 16-colour image");
    Icon4 icon{};
    const size_t image = 22, palette = image + 40, colours = palette + 64, mask = colours + 512;
    for (int i = 0; i < 16; ++i) icon.palette[i] = {file[palette + 4 * i + 2], file[palette + 4 * i + 1], file[palette + 4 * i]};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const std::uint8_t packed = file[colours + (31 - y) * 16 + x / 2];
            icon.index[y][x] = static_cast<std::uint8_t>(x % 2 ? packed & 15 : packed >> 4);
            icon.transparent[y][x] = file[mask + (31 - y) * 4 + x / 8] & (0x80 >> (x % 8));
        }
    return icon;
}

}  // namespace artgen
