#include "forms/png_reader.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace forms {
namespace {

constexpr std::uint32_t kMaxSide = 16384;
constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kHeaderEnd = 8 + 12 + 13;  // the signature, then IHDR's length, type, 13 bytes and CRC
constexpr size_t kFields = 8 + 8;           // IHDR's fields: width, height, depth, colour type, ...
constexpr std::uint8_t kIndexed = 3, kTrueColour = 2;

constexpr std::uint32_t Type(const char (&name)[5]) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(name[0])) << 24 |
           static_cast<std::uint8_t>(name[1]) << 16 | static_cast<std::uint8_t>(name[2]) << 8 |
           static_cast<std::uint8_t>(name[3]);
}

std::uint32_t Be32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

constexpr auto kCrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}();

std::uint32_t Crc(const std::uint8_t* p, size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) c = kCrcTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::uint8_t* p, size_t n) {
    std::uint32_t a = 1, b = 0;
    while (n) {
        const size_t run = n < 5552 ? n : 5552;  // the most bytes before b can pass 2^32
        for (size_t i = 0; i < run; ++i) a += p[i], b += a;
        a %= 65521, b %= 65521, p += run, n -= run;
    }
    return b << 16 | a;
}

// Deflate's data (RFC 1951) inside zlib's wrapper (RFC 1950), into a buffer of
// the exact size the rows take: a stream that gives more or less is damaged.
// Codes are read a bit at a time: the pictures deflate to a few kilobytes,
// most of their bytes come from copies.
class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::uint8_t* out, size_t size) : in_(in), out_(out), size_(size) {}

    bool Run() {
        if (in_.size() < 2) return false;
        const unsigned cmf = in_[0], flg = in_[1];
        if ((cmf & 15) != 8 || (cmf >> 4) > 7 || (cmf * 256 + flg) % 31 != 0 || (flg & 0x20)) return false;
        at_ = 2;
        std::uint32_t last = 0, type = 0;
        do {
            if (!Bits(1, last) || !Bits(2, type)) return false;
            const bool ok = type == 0 ? Stored() : type == 1 ? Fixed() : type == 2 ? Dynamic() : false;
            if (!ok) return false;
        } while (!last);
        Align();
        return written_ == size_ && in_.size() - at_ >= 4 && Be32(&in_[at_]) == Adler32(out_, size_);
    }

private:
    struct Huffman {
        std::array<std::uint16_t, 16> count;    // codes of each length
        std::array<std::uint16_t, 288> symbol;  // in canonical order
    };

    bool Bits(int n, std::uint32_t& value) {
        while (held_ < n) {
            if (at_ == in_.size()) return false;
            bits_ |= static_cast<std::uint32_t>(in_[at_++]) << held_;
            held_ += 8;
        }
        value = bits_ & ((1u << n) - 1);
        bits_ >>= n;
        held_ -= n;
        return true;
    }
    // What is held is the rest of the last byte read.
    void Align() { bits_ = 0, held_ = 0; }

    // 0 for a complete code, more for an incomplete one, less for too many codes.
    static int Build(Huffman& h, const std::uint8_t* lengths, int n) {
        h.count.fill(0);
        for (int s = 0; s < n; ++s) ++h.count[lengths[s]];
        if (h.count[0] == n) return 0;  // no codes: any symbol read is refused
        int left = 1;
        for (int len = 1; len < 16; ++len) {
            left = 2 * left - h.count[len];
            if (left < 0) return left;
        }
        std::array<std::uint16_t, 16> next{};
        for (int len = 1; len < 15; ++len) next[len + 1] = static_cast<std::uint16_t>(next[len] + h.count[len]);
        for (int s = 0; s < n; ++s)
            if (lengths[s]) h.symbol[next[lengths[s]]++] = static_cast<std::uint16_t>(s);
        return left;
    }

    int Decode(const Huffman& h) {
        int code = 0, first = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            std::uint32_t bit = 0;
            if (!Bits(1, bit)) return -1;
            code |= static_cast<int>(bit);
            const int count = h.count[len];
            if (code - first < count) return h.symbol[index + code - first];
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return -1;
    }

    bool Stored() {
        Align();
        if (in_.size() - at_ < 4) return false;
        const size_t len = in_[at_] | in_[at_ + 1] << 8, complement = in_[at_ + 2] | in_[at_ + 3] << 8;
        at_ += 4;
        if (len != (~complement & 0xFFFF) || len > in_.size() - at_ || len > size_ - written_) return false;
        std::memcpy(out_ + written_, in_.data() + at_, len);  // not in_[at_]: an empty block may end the input
        at_ += len, written_ += len;
        return true;
    }

    bool Codes(const Huffman& lengths, const Huffman& distances) {
        static constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        static constexpr std::uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                                            33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                                            1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
        static constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
        for (;;) {
            int symbol = Decode(lengths);
            if (symbol < 0) return false;
            if (symbol < 256) {
                if (written_ == size_) return false;
                out_[written_++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            if (symbol == 256) return true;
            symbol -= 257;
            std::uint32_t extra = 0;
            if (symbol >= 29 || !Bits(kLengthExtra[symbol], extra)) return false;
            const size_t length = kLengthBase[symbol] + extra;
            const int d = Decode(distances);
            if (d < 0 || d >= 30 || !Bits(kDistanceExtra[d], extra)) return false;
            const size_t distance = kDistanceBase[d] + extra;
            if (distance > written_ || length > size_ - written_) return false;
            // Byte by byte: a copy may overlap what it writes.
            for (size_t i = 0; i < length; ++i, ++written_) out_[written_] = out_[written_ - distance];
        }
    }

    bool Fixed() {
        std::uint8_t lengths[288 + 30];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        std::memset(lengths + 288, 5, 30);
        Build(literals_, lengths, 288);
        Build(distances_, lengths + 288, 30);
        return Codes(literals_, distances_);
    }

    bool Dynamic() {
        static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        std::uint32_t nlen = 0, ndist = 0, ncode = 0;
        if (!Bits(5, nlen) || !Bits(5, ndist) || !Bits(4, ncode)) return false;
        nlen += 257, ndist += 1, ncode += 4;
        if (nlen > 286 || ndist > 30) return false;
        std::uint8_t lengths[286 + 30] = {};
        for (std::uint32_t i = 0; i < ncode; ++i) {
            std::uint32_t len = 0;
            if (!Bits(3, len)) return false;
            lengths[kOrder[i]] = static_cast<std::uint8_t>(len);
        }
        if (Build(literals_, lengths, 19) != 0) return false;  // the code lengths' own code is complete
        for (std::uint32_t index = 0; index < nlen + ndist;) {
            const int symbol = Decode(literals_);
            if (symbol < 0) return false;
            if (symbol < 16) {
                lengths[index++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint32_t repeat = 0;
            std::uint8_t len = 0;
            if (symbol == 16) {
                if (index == 0 || !Bits(2, repeat)) return false;
                len = lengths[index - 1], repeat += 3;
            } else if (!Bits(symbol == 17 ? 3 : 7, repeat)) {
                return false;
            } else {
                repeat += symbol == 17 ? 3 : 11;
            }
            if (repeat > nlen + ndist - index) return false;
            std::memset(lengths + index, len, repeat);
            index += repeat;
        }
        // An incomplete code only where it has one symbol, of one bit.
        const int literalsLeft = Build(literals_, lengths, static_cast<int>(nlen));
        if (literalsLeft < 0 || (literalsLeft > 0 && nlen - literals_.count[0] != 1)) return false;
        const int distancesLeft = Build(distances_, lengths + nlen, static_cast<int>(ndist));
        if (distancesLeft < 0 || (distancesLeft > 0 && ndist - distances_.count[0] != 1)) return false;
        return Codes(literals_, distances_);
    }

    std::span<const std::uint8_t> in_;
    size_t at_ = 0;
    std::uint32_t bits_ = 0;
    int held_ = 0;
    std::uint8_t* out_;
    size_t size_, written_ = 0;
    Huffman literals_{}, distances_{};
};

int Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes each row's filter in place; `step` bytes a pixel.
bool Unfilter(std::uint8_t* raw, size_t rows, size_t rowBytes, size_t step) {
    for (size_t y = 0; y < rows; ++y) {
        std::uint8_t* line = raw + y * (rowBytes + 1);
        std::uint8_t* row = line + 1;
        const std::uint8_t* up = y ? row - (rowBytes + 1) : nullptr;
        const auto a = [&](size_t i) { return i >= step ? row[i - step] : 0; };
        const auto b = [&](size_t i) { return up ? up[i] : 0; };
        const auto c = [&](size_t i) { return up && i >= step ? up[i - step] : 0; };
        switch (line[0]) {
            case 0: break;
            case 1: for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>(row[i] + a(i)); break;
            case 2: for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>(row[i] + b(i)); break;
            case 3: for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>(row[i] + (a(i) + b(i)) / 2); break;
            case 4:
                for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<std::uint8_t>(row[i] + Paeth(a(i), b(i), c(i)));
                break;
            default: return false;
        }
    }
    return true;
}

}  // namespace

PngSize ReadPngSize(std::span<const std::uint8_t> png) {
    if (png.size() < kHeaderEnd || std::memcmp(png.data(), kSignature, 8) != 0) return {};
    const std::uint8_t* h = png.data() + 8;
    const std::uint8_t* f = png.data() + kFields;
    if (Be32(h) != 13 || Be32(h + 4) != Type("IHDR") || Crc(h + 4, 17) != Be32(h + 21)) return {};
    const std::uint32_t width = Be32(f), height = Be32(f + 4);
    const bool kind = f[8] == 8 && (f[9] == kTrueColour || f[9] == kIndexed) && f[10] == 0 && f[11] == 0 && f[12] == 0;
    if (!kind || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return {};
    return {width, height};
}

bool ReadPngPixels(std::span<const std::uint8_t> png, std::uint32_t* out) {
    const PngSize size = ReadPngSize(png);
    if (!size.width) return false;
    const bool indexed = png[kFields + 9] == kIndexed;
    std::span<const std::uint8_t> palette;
    std::vector<std::uint8_t> packed;
    bool ended = false;
    for (size_t at = kHeaderEnd; !ended;) {
        if (png.size() - at < 12) return false;
        const std::uint32_t length = Be32(&png[at]), type = Be32(&png[at + 4]);
        if (length > png.size() - at - 12 || Crc(&png[at + 4], length + 4) != Be32(&png[at + 8 + length])) return false;
        const std::span<const std::uint8_t> data = png.subspan(at + 8, length);
        if (type == Type("PLTE")) {
            if (!indexed || !palette.empty() || !packed.empty() || length == 0 || length % 3 || length > 768)
                return false;
            palette = data;
        } else if (type == Type("IDAT")) {
            // After the palette a palette picture needs (and as no other chunk is
            // taken, the IDAT chunks are one run).
            if (indexed && palette.empty()) return false;
            packed.insert(packed.end(), data.begin(), data.end());
        } else if (type == Type("IEND")) {
            ended = true;
        } else {
            return false;
        }
        at += 12 + length;
    }
    if (packed.empty()) return false;
    const size_t step = indexed ? 1 : 3, rowBytes = step * size.width, rawSize = size.height * (rowBytes + 1);
    const std::unique_ptr<std::uint8_t[]> raw(new (std::nothrow) std::uint8_t[rawSize]);
    if (!raw || !Inflater(packed, raw.get(), rawSize).Run() || !Unfilter(raw.get(), size.height, rowBytes, step))
        return false;
    for (size_t y = 0; y < size.height; ++y) {
        const std::uint8_t* row = raw.get() + y * (rowBytes + 1) + 1;
        std::uint32_t* to = out + y * size.width;
        for (size_t x = 0; x < size.width; ++x) {
            const std::uint8_t* rgb = row + 3 * x;
            if (indexed) {
                if (3u * row[x] >= palette.size()) return false;
                rgb = &palette[3u * row[x]];
            }
            to[x] = 0xFF000000u | rgb[0] << 16 | rgb[1] << 8 | rgb[2];
        }
    }
    return true;
}

}  // namespace forms
