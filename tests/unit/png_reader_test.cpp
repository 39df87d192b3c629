// The menu's own PNG reader: every picture the build drew reads as zlib and the
// PNG standard's predictors read it (art_files.h), so do the writer's other
// choices of deflate's blocks, and anything else or damaged is refused so that
// the system's codec decides.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "art_files.h"
#include "artgen/png.h"
#include "forms/png_reader.h"

namespace {

using art::Bytes, art::Chunk, art::Chunks;

void Be32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}

// The chunks as a file, each with its right CRC.
Bytes File(const std::vector<Chunk>& chunks) {
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Chunk& c : chunks) {
        Be32(out, static_cast<std::uint32_t>(c.data.size()));
        Bytes body(c.type.begin(), c.type.end());
        body.insert(body.end(), c.data.begin(), c.data.end());
        out.insert(out.end(), body.begin(), body.end());
        Be32(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    }
    return out;
}

// The rows (filter bytes included) under the image data of a file.
Bytes Rows(const std::vector<Chunk>& chunks) {
    Bytes packed, raw(1 << 20);
    for (const Chunk& c : chunks)
        if (c.type == "IDAT") packed.insert(packed.end(), c.data.begin(), c.data.end());
    uLongf size = static_cast<uLongf>(raw.size());
    EXPECT_EQ(uncompress(raw.data(), &size, packed.data(), static_cast<uLong>(packed.size())), Z_OK);
    raw.resize(size);
    return raw;
}

// `rows` deflated at `level` with `strategy`, in IDAT chunks of at most `piece` bytes,
// in place of the file's image data.
std::vector<Chunk> Repacked(std::vector<Chunk> chunks, const Bytes& rows, int level, int strategy, size_t piece) {
    z_stream z{};
    Bytes packed(compressBound(static_cast<uLong>(rows.size())) + 64);
    deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
    z.next_in = const_cast<Bytes::value_type*>(rows.data()), z.avail_in = static_cast<uInt>(rows.size());
    z.next_out = packed.data(), z.avail_out = static_cast<uInt>(packed.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    packed.resize(z.total_out);
    deflateEnd(&z);
    std::erase_if(chunks, [](const Chunk& c) { return c.type == "IDAT"; });
    for (size_t at = 0; at < packed.size(); at += piece)
        chunks.insert(chunks.end() - 1,
                      {"IDAT", Bytes(packed.begin() + at, packed.begin() + std::min(packed.size(), at + piece))});
    return chunks;
}

std::vector<std::uint32_t> Pixels(const art::Png& png) {
    std::vector<std::uint32_t> out;
    for (const art::Rgb& p : png.pixels) out.push_back(0xFF000000u | p.r << 16 | p.g << 8 | p.b);
    return out;
}

// What the menu's reader makes of a file; empty where it refuses it.
std::vector<std::uint32_t> Read(const Bytes& file) {
    const forms::PngSize size = forms::ReadPngSize(file);
    std::vector<std::uint32_t> out(static_cast<size_t>(size.width) * size.height);
    return size.width && forms::ReadPngPixels(file, out.data()) ? out : std::vector<std::uint32_t>{};
}

// The shared pictures as the writer stores them: true colour under each filter (ArtPng sees to it), and a palette.
std::vector<Bytes> Written() {
    std::vector<Bytes> out;
    for (const artgen::Image& img : art::FilterPictures()) out.push_back(artgen::Png(img));
    return out;
}

TEST(PngReader, ReadsEveryPictureTheBuildDrewAndEveryWayDeflateMayStoreItAsZlibDoes) {
    std::vector<Bytes> files = Written();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VELBROOK_ART_DIR))
        if (entry.path().extension() == ".png")
            files.push_back(art::Read(std::filesystem::relative(entry.path(), VELBROOK_ART_DIR).string()));
    ASSERT_GT(files.size(), 10u);
    for (size_t i = 0; i < files.size(); ++i) {
        const art::Png reference(files[i]);
        EXPECT_EQ(Read(files[i]), Pixels(reference)) << "file " << i;
        if (i >= 2) continue;  // the written ones, stored every other way too
        const std::vector<Chunk> chunks = Chunks(files[i]);
        const Bytes rows = Rows(chunks);
        const struct {
            int level, strategy;
            size_t piece;
        } ways[] = {{0, Z_DEFAULT_STRATEGY, 1 << 20},  // stored blocks
                    {0, Z_DEFAULT_STRATEGY, 7},        // stored, across IDAT chunks
                    {9, Z_FIXED, 1 << 20},             // the fixed codes
                    {9, Z_HUFFMAN_ONLY, 5},            // no copies
                    {1, Z_RLE, 1 << 20}};              // copies of one byte back
        for (const auto& w : ways)
            EXPECT_EQ(Read(File(Repacked(chunks, rows, w.level, w.strategy, w.piece))), Pixels(reference))
                << "file " << i << ", level " << w.level << ", strategy " << w.strategy << ", chunks of " << w.piece;
    }
}

TEST(PngReader, RefusesWhatTheBuildDoesNotWriteAndAnythingDamaged) {
    const Bytes shades = Written()[0], few = Written()[1];
    const auto header = [](size_t at, std::uint8_t value) {
        return [=](std::vector<Chunk>& c) { c[0].data[at] = value; };
    };
    const auto rows = [](std::function<void(Bytes&)> change) {
        return [=](std::vector<Chunk>& c) {
            Bytes r = Rows(c);
            change(r);
            c = Repacked(c, r, 9, Z_DEFAULT_STRATEGY, 1 << 20);
        };
    };
    const auto idat = [](std::vector<Chunk>& c) -> Bytes& {
        for (Chunk& k : c)
            if (k.type == "IDAT") return k.data;
        throw std::logic_error("no IDAT");
    };
    const struct {
        const char* what;
        const Bytes* file;
        std::function<void(std::vector<Chunk>&)> change;
        bool sized;  // whether its header still passes
    } cases[] = {
        {"16 bits a sample", &shades, header(8, 16), false},
        {"grey with alpha", &shades, header(9, 4), false},
        {"interlaced", &shades, header(12, 1), false},
        {"another compression method", &shades, header(10, 1), false},
        {"another filter method", &shades, header(11, 1), false},
        {"no width", &shades, [](auto& c) { c[0].data[0] = c[0].data[1] = c[0].data[2] = c[0].data[3] = 0; }, false},
        {"16385 wide", &shades, [](auto& c) { c[0].data[2] = 0x40, c[0].data[3] = 1; }, false},
        {"16385 high", &shades, [](auto& c) { c[0].data[6] = 0x40, c[0].data[7] = 1; }, false},
        {"16384 a side, its rows too few", &shades,
         [](auto& c) { c[0].data[2] = c[0].data[6] = 0x40, c[0].data[3] = c[0].data[7] = 0; }, true},
        {"a chunk of text", &shades, [](auto& c) { c.insert(c.begin() + 1, {"tEXt", {'a', 0, 'b'}}); }, true},
        {"no end", &shades, [](auto& c) { c.pop_back(); }, true},
        {"no image data", &few, [](auto& c) { c.erase(c.end() - 2); }, true},
        {"a palette in true colour", &shades, [](auto& c) { c.insert(c.begin() + 1, {"PLTE", {1, 2, 3}}); }, true},
        {"no palette", &few, [](auto& c) { c.erase(c.begin() + 1); }, true},
        {"an index past the palette", &few, [](auto& c) { c[1].data.resize(c[1].data.size() - 3); }, true},
        {"the image data before the palette", &few, [](auto& c) { std::swap(c[1], c[2]); }, true},
        {"a sixth filter", &shades, rows([](Bytes& r) { r[0] = 5; }), true},
        {"a row's byte short", &shades, rows([](Bytes& r) { r.pop_back(); }), true},
        {"a byte past the rows", &few, rows([](Bytes& r) { r.push_back(0); }), true},
        {"its checksum wrong", &few, [&](auto& c) { idat(c).back() ^= 1; }, true},
        {"the stream cut short", &shades, [&](auto& c) { idat(c).resize(idat(c).size() / 2); }, true},
        {"a preset dictionary", &few, [&](auto& c) { idat(c)[1] = 0xBB; }, true},  // 0x78BB: FDICT, a multiple of 31
        {"a reserved block type", &few, [&](auto& c) { idat(c)[2] |= 6; }, true},
        {"the stream ending after an empty stored block", &few,
         [&](auto& c) { idat(c) = {0x78, 0x01, 0, 0, 0, 0xFF, 0xFF}; }, true},
        {"a stored block's length unconfirmed", &few, [&](auto& c) {
             const Bytes r = Rows(c);
             const unsigned n = static_cast<unsigned>(r.size()), wrong = ~n ^ 1;  // its complement, a bit off
             Bytes& z = idat(c);
             z = {0x78, 0x01, 0x01, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                  static_cast<std::uint8_t>(wrong), static_cast<std::uint8_t>(wrong >> 8)};
             z.insert(z.end(), r.begin(), r.end());
             Be32(z, static_cast<std::uint32_t>(adler32(1, r.data(), n)));
         }, true},
    };
    for (const auto& c : cases) {
        std::vector<Chunk> chunks = Chunks(*c.file);
        c.change(chunks);
        const Bytes file = File(chunks);
        EXPECT_EQ(forms::ReadPngSize(file).width != 0, c.sized) << c.what;
        EXPECT_TRUE(Read(file).empty()) << c.what;
    }
    // A CRC wrong anywhere, and the file cut anywhere.
    for (size_t at = 0; at < few.size(); ++at) {
        Bytes wrong = few, cut(few.begin(), few.begin() + static_cast<std::ptrdiff_t>(at));
        wrong[at] ^= 0x10;
        EXPECT_TRUE(Read(wrong).empty()) << "a bit changed at " << at;
        EXPECT_TRUE(Read(cut).empty()) << "cut at " << at;
    }
}

}  // namespace
