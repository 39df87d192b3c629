// The committed pictures: formats, sizes and background colours.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Read(const std::string& name) {
    std::ifstream in(std::string(VELBROOK_ART_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, size_t at) { return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8); }

struct Bitmap {
    const char* file;
    int width, height, bits;
    std::uint32_t offset;
    std::uint8_t r, g, b;  // the top-left pixel: the background
};

TEST(Art, BitmapsHaveTheirSizesFormatsAndBackgrounds) {
    const Bitmap cases[] = {
        {"Command1.bmp", 201, 61, 24, 54, 0, 38, 101},      {"Picture1.bmp", 69, 69, 24, 54, 0, 38, 101},
        {"Image1.bmp", 133, 28, 24, 54, 255, 255, 255},     {"Image2.bmp", 171, 86, 24, 54, 0, 38, 101},
        {"Image3.bmp", 201, 61, 24, 54, 0, 38, 101},        {"Image4.bmp", 201, 61, 24, 54, 0, 38, 101},
        {"CountryImage1.bmp", 245, 45, 24, 54, 0, 38, 101}, {"CountryImage2.bmp", 245, 45, 24, 54, 0, 38, 101},
        {"CountryImage3.bmp", 245, 45, 24, 54, 0, 38, 101}, {"CountryImage7.bmp", 245, 45, 24, 54, 0, 38, 101},
        {"CountryPic1.bmp", 245, 45, 24, 54, 2, 128, 255},  {"CountryPic2.bmp", 245, 45, 24, 54, 2, 128, 255},
        {"CountryPic3.bmp", 245, 45, 8, 1078, 2, 128, 255}, {"CountryPic7.bmp", 245, 45, 24, 54, 2, 128, 255},
    };
    for (const Bitmap& c : cases) {
        SCOPED_TRACE(c.file);
        const auto b = Read(c.file);
        ASSERT_GT(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(U32(b, 10), c.offset);
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(static_cast<int>(U32(b, 18)), c.width);
        EXPECT_EQ(static_cast<int>(U32(b, 22)), c.height) << "positive: bottom row first";
        EXPECT_EQ(U16(b, 28), c.bits);
        EXPECT_EQ(U32(b, 30), 0u) << "no compression";
        const size_t stride = (static_cast<size_t>(c.width) * c.bits / 8 + 3) & ~size_t{3};
        ASSERT_EQ(b.size(), c.offset + stride * c.height);
        const size_t topLeft = c.offset + stride * (c.height - 1);
        std::uint8_t px[3];
        if (c.bits == 24) {
            px[0] = b[topLeft + 2], px[1] = b[topLeft + 1], px[2] = b[topLeft];
        } else {
            const size_t entry = 54 + 4 * b[topLeft];
            px[0] = b[entry + 2], px[1] = b[entry + 1], px[2] = b[entry];
        }
        EXPECT_EQ(px[0], c.r);
        EXPECT_EQ(px[1], c.g);
        EXPECT_EQ(px[2], c.b);
    }
}

TEST(Art, IconAndCursorAreOne744ByteImageAtByte22) {
    const struct {
        const char* file;
        int type, colours, planesOrHotX, bitsOrHotY;
    } cases[] = {{"FrmAutoSelect.ico", 1, 16, 0, 0}, {"Hand.cur", 2, 0, 12, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto b = Read(c.file);
        ASSERT_EQ(b.size(), 22u + 744u);
        EXPECT_EQ(U16(b, 0), 0);
        EXPECT_EQ(U16(b, 2), c.type);
        EXPECT_EQ(U16(b, 4), 1);
        EXPECT_EQ(b[6], 32);
        EXPECT_EQ(b[7], 32);
        EXPECT_EQ(b[8], c.colours);
        EXPECT_EQ(U16(b, 10), c.planesOrHotX);
        EXPECT_EQ(U16(b, 12), c.bitsOrHotY);
        EXPECT_EQ(U32(b, 14), 744u);
        EXPECT_EQ(U32(b, 18), 22u);
        EXPECT_EQ(static_cast<int>(U32(b, 22 + 8)), 64) << "colour and mask rows together";
        EXPECT_EQ(U16(b, 22 + 14), 4);
    }
    // The icon's mask is empty: every pixel opaque.
    const auto icon = Read("FrmAutoSelect.ico");
    for (size_t i = 22 + 40 + 64 + 512; i < icon.size(); ++i) EXPECT_EQ(icon[i], 0) << "mask byte " << i;
}

}  // namespace
