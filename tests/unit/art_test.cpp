// The pictures the build made for the product: formats and sizes for any product;
// the default product's colours and where things are drawn on them, pixel for pixel.
#include <gtest/gtest.h>

#include "art_files.h"
#include "chooser/layout.h"
#include "design.h"
#include "forms/picture_scales.h"
#include "layout_pixels.h"
#include "product_facts.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <zlib.h>

namespace {

using art::Bmp, art::Bytes, art::Read, art::Rgb, art::U16, art::U32;

constexpr Rgb kNavy{0, 38, 101}, kAzure{2, 128, 255}, kTint{64, 159, 255}, kRule{38, 70, 124}, kWhite{255, 255, 255};


// The pictures of the window: their sizes are the design's, whichever product drew or gave them.
struct Picture {
    std::string file;
    int width, height;
};

std::vector<Picture> Pictures() {
    using namespace design;
    std::vector<Picture> all{{"Command1.bmp", kCommand1.width, kCommand1.height},
                             {"Picture1.bmp", kPicture1.width, kPicture1.height},
                             {"Image1.bmp", kImage1.width, kImage1.height},
                             {"Image2.bmp", kImage2.width, kImage2.height},
                             {"Image3.bmp", kImage3.width, kImage3.height},
                             {"Image4.bmp", kImage4.width, kImage4.height}};
    for (const product::Language& l : product::kLanguages)
        for (const char* face : {"CountryImage", "CountryPic"})
            all.push_back({face + std::to_string(l.code) + ".bmp", kFace.width, kFace.height});
    return all;
}

bool IsFace(const std::string& file) { return file.starts_with("Country"); }

TEST(Art, BitmapsAreStoredInTheirFormatsAndSizes) {
    const auto pictures = Pictures();
    std::set<Bytes> distinct;
    for (const auto& c : pictures) {
        SCOPED_TRACE(c.file);
        const Bmp b(c.file);
        ASSERT_GT(b.bytes.size(), 54u);
        EXPECT_EQ(b.bytes[0], 'B');
        EXPECT_EQ(b.bytes[1], 'M');
        EXPECT_EQ(U32(b.bytes, 2), b.bytes.size());
        EXPECT_EQ(b.width, c.width);
        EXPECT_EQ(b.height, c.height) << "positive: bottom row first";
        // Faces may keep a palette; every other picture is 24-bit.
        EXPECT_TRUE(b.bits == 24 || (b.bits == 8 && IsFace(c.file))) << b.bits << " bits";
        EXPECT_EQ(U32(b.bytes, 30), 0u) << "no compression";
        // Windows takes the pixels from right after the header and the palette.
        const std::uint32_t colours = b.bits == 8 ? (U32(b.bytes, 46) ? U32(b.bytes, 46) : 256) : 0;
        EXPECT_EQ(b.offset, 14 + U32(b.bytes, 14) + 4 * colours);
        EXPECT_EQ(b.bytes.size(), b.offset + b.stride * c.height);
        distinct.insert(b.bytes);
    }
    EXPECT_EQ(distinct.size(), pictures.size()) << "no two bitmaps are identical";
}

TEST(Art, TheDefaultProductsBitmapsAreStoredAsTheFirstReleaseStoredThem) {
    SKIP_UNLESS_DEFAULT_PRODUCT();
    for (const auto& c : Pictures()) {
        SCOPED_TRACE(c.file);
        const Bmp b(c.file);
        const bool palette = c.file == "CountryPic3.bmp";  // the English highlighted face
        EXPECT_EQ(U32(b.bytes, 14), 40u);
        EXPECT_EQ(b.bits, palette ? 8 : 24);
        EXPECT_EQ(b.offset, palette ? 1078u : 54u);
    }
}

TEST(Art, TheTileIsFlatNavy) {
    const Bmp tile("Picture1.bmp");
    for (int y = 0; y < 69; ++y)
        for (int x = 0; x < 69; ++x) ASSERT_EQ(tile.At(x, y), kNavy) << x << "," << y;
}

struct Face {
    int index, flagTop, wordsLeft, wordsTop, wordsBottom, ruleRow;
    Rgb normalSample, litSample;  // at a point of the flag's body
    int sx, sy;
};

const Face kFaces[] = {
    {1, 4, 60, 10, 21, 38, {234, 2, 4}, kTint, 40, 25},        // Taiwan: the red field
    {2, 4, 60, 10, 21, 38, {253, 27, 10}, kTint, 40, 25},      // China: the red field
    {3, 5, 62, 13, 25, 39, {10, 49, 97}, kTint, 30, 19},       // United States: the canton
    {7, 4, 60, 10, 21, 38, {250, 5, 19}, kTint, 32, 18},       // Japan: the disc's centre
};

TEST(Art, LanguageFacesShareOneGrid) {
    SKIP_UNLESS_DEFAULT_PRODUCT();
    for (const Face& f : kFaces) {
        for (bool lit : {false, true}) {
            const std::string file = (lit ? "CountryPic" : "CountryImage") + std::to_string(f.index) + ".bmp";
            SCOPED_TRACE(file);
            const Bmp b(file);
            const Rgb ground = lit ? kAzure : kNavy;
            EXPECT_EQ(b.At(0, 0), ground);
            EXPECT_EQ(b.At(244, 44), ground);
            EXPECT_EQ(b.At(f.sx, f.sy), lit ? f.litSample : f.normalSample);
            // The flag fills 41 x 28 at (12, top), and nothing else left of the words; its
            // edge is softened into the ground.
            EXPECT_EQ(b.Ink(ground, 0, 0, 58, 36), std::make_tuple(12, f.flagTop, 52, f.flagTop + 27));
            const Rgb edge = b.At(52, f.flagTop + 27), inner = b.At(51, f.flagTop + 26);
            EXPECT_NE(edge, ground);
            EXPECT_NE(edge, inner) << "the edge pixel is a blend";
            // The words.
            const auto [l, t, r, bottom] = b.Ink(ground, 56, 0, 244, 36);
            EXPECT_EQ(l, f.wordsLeft);
            EXPECT_EQ(t, f.wordsTop);
            // Exactly: the English shadow, on the normal face only, takes the last row.
            EXPECT_EQ(bottom, f.wordsBottom - (lit && f.index == 3 ? 1 : 0));
            // The rule, on normal faces only.
            for (int x = 0; x < design::kFace.width; ++x) {
                const bool onRule = !lit && x >= design::kRuleLeft && x < design::kRuleLeft + design::kRuleWidth;
                EXPECT_EQ(b.At(x, f.ruleRow) == kRule, onRule) << "x " << x;
            }
        }
    }
}

TEST(Art, HighlightedFlagsKeepTheirDetailsInPaleColours) {
    SKIP_UNLESS_DEFAULT_PRODUCT();
    EXPECT_EQ(Bmp("CountryPic1.bmp").At(14, 6), kAzure) << "the Taiwan canton is left in the background";
    EXPECT_EQ(Bmp("CountryImage1.bmp").At(14, 6), (Rgb{4, 9, 160}));
    EXPECT_EQ(Bmp("CountryPic7.bmp").At(14, 6), kWhite) << "the Japanese field stays white";
    EXPECT_EQ(Bmp("CountryImage3.bmp").At(13, 6), kWhite) << "a dot of the star pattern";
}

TEST(Art, TextPicturesStandOnTheirRows) {
    SKIP_UNLESS_DEFAULT_PRODUCT();
    const struct {
        const char* file;
        int left, top, bottom;
    } cases[] = {{"Image4.bmp", 0, 23, 37}, {"Image3.bmp", 0, 21, 35}, {"Command1.bmp", 64, 23, 37}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto [l, t, r, b] = Bmp(c.file).Ink(kNavy, 0, 0, 200, 60);
        EXPECT_EQ(l, c.left);
        EXPECT_EQ(t, c.top);
        EXPECT_LE(b, c.bottom);
        EXPECT_GE(b, c.bottom - 1);
    }
    // The button's words are the left-hand picture's, 64 pixels right and 2 rows lower.
    const Bmp button("Command1.bmp"), left("Image3.bmp");
    for (int y = 0; y < 59; ++y)
        for (int x = 0; x < 137; ++x) ASSERT_EQ(button.At(x + 64, y + 2), left.At(x, y)) << x << "," << y;
    EXPECT_LE(std::get<2>(button.Ink(kNavy, 0, 0, 200, 60)), 136);
}

TEST(Art, WordMarkFillsItsPictureAndTheLogoItsPlace) {
    SKIP_UNLESS_DEFAULT_PRODUCT();
    const Bmp mark("Image1.bmp");
    EXPECT_EQ(mark.Ink(kNavy, 0, 0, 132, 27), std::make_tuple(0, 0, 132, 27));
    const Bmp logo("Image2.bmp");
    EXPECT_EQ(logo.Ink(kNavy, 0, 0, 170, 56), std::make_tuple(31, 35, 130, 54));
    EXPECT_EQ(logo.At(80, 58), (Rgb{128, 128, 128})) << "the grey detail beneath";
    EXPECT_EQ(logo.Ink(kNavy, 0, 60, 170, 85), std::make_tuple(9999, 9999, -1, -1));
}

// The one 4-bit image of an icon or cursor file: colours by pixel, and the mask.
struct Icon {
    explicit Icon(const Bytes& file) : bytes(file) {}
    Rgb At(int x, int y) const {
        const std::uint8_t packed = bytes.at(22 + 40 + 64 + (31 - y) * 16 + x / 2);
        const int index = x % 2 ? packed & 15 : packed >> 4;
        const size_t entry = 22 + 40 + 4 * static_cast<size_t>(index);
        return {bytes.at(entry + 2), bytes.at(entry + 1), bytes.at(entry)};
    }
    bool Transparent(int x, int y) const { return bytes.at(22 + 40 + 64 + 512 + (31 - y) * 4 + x / 8) & (0x80 >> (x % 8)); }
    Bytes bytes;
};

TEST(Art, IconAndCursorAreOne744ByteImageAtByte22) {
    const struct {
        const char* file;
        int type, colours;
        std::set<int> planesOrHotX, bitsOrHotY;  // an icon's directory may leave its planes and bits 0
    } cases[] = {{"FrmAutoSelect.ico", 1, 16, {0, 1}, {0, 4}}, {"Hand.cur", 2, 0, {12}, {1}}};
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
        EXPECT_EQ(c.planesOrHotX.count(U16(b, 10)), 1u) << U16(b, 10);
        EXPECT_EQ(c.bitsOrHotY.count(U16(b, 12)), 1u) << U16(b, 12);
        EXPECT_EQ(U32(b, 14), 744u);
        EXPECT_EQ(U32(b, 18), 22u);
        EXPECT_EQ(static_cast<int>(U32(b, 22 + 8)), 64) << "colour and mask rows together";
        EXPECT_EQ(U16(b, 22 + 12), 1);
        EXPECT_EQ(U16(b, 22 + 14), 4);
    }
    // The file icon's image 30001 is the window icon's image, byte for byte.
    const auto icon = Read("FrmAutoSelect.ico");
    EXPECT_EQ(Bytes(icon.begin() + 22, icon.end()), Read("FrmAutoSelect.icon"));
}

TEST(Art, TheIconIsAnOpaqueCyanSquareInSixColours) {
    SKIP_UNLESS_DEFAULT_PRODUCT();
    const Icon icon(Read("FrmAutoSelect.ico"));
    std::set<Rgb> used;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_FALSE(icon.Transparent(x, y)) << x << "," << y;
            used.insert(icon.At(x, y));
        }
    EXPECT_EQ(used, (std::set<Rgb>{{0, 255, 255}, {0, 0, 0}, kWhite, {128, 128, 128}, {192, 192, 192}, {255, 0, 255}}));
    for (auto [x, y] : {std::pair{0, 31}, {31, 0}, {31, 12}, {16, 31}}) EXPECT_EQ(icon.At(x, y), (Rgb{0, 255, 255}));
}

TEST(Art, TheHandPointsAtItsHotspotAboveItsCuff) {
    const Icon hand(Read("Hand.cur"));
    int transparent = 0;
    std::set<Rgb> cuff;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            transparent += hand.Transparent(x, y);
            if (!hand.Transparent(x, y) && y >= 24 && y <= 28) cuff.insert(hand.At(x, y));
        }
    EXPECT_EQ(transparent, 703);
    EXPECT_FALSE(hand.Transparent(12, 1)) << "the fingertip is the hotspot";
    for (int y = 0; y < 1; ++y)
        for (int x = 0; x < 32; ++x) EXPECT_TRUE(hand.Transparent(x, y)) << "nothing above the fingertip";
    EXPECT_TRUE(cuff.count({0, 0, 128}) && cuff.count({0, 0, 255})) << "navy cuff with its blue stripe";
}

}  // namespace

// The pictures drawn for other scales: art/<dpi>/<name>.png for every picture
// of the layout, named in art/scaled.rc.
namespace scaled {

using forms::kDrawnDpis;

// Every control with a picture, and its file's stem: CountryImage(3) is CountryImage3.
std::vector<std::pair<const forms::ControlSpec*, std::string>> Pictures() {
    std::vector<std::pair<const forms::ControlSpec*, std::string>> out;
    for (const forms::ControlSpec& c : chooser::kFrmAutoSelect.controls)
        if (c.picture) out.emplace_back(&c, c.name + (c.index == forms::kNoIndex ? std::string() : std::to_string(c.index)));
    return out;
}

std::string Png(int dpi, const std::string& stem) { return std::to_string(dpi) + "/" + stem + ".png"; }

std::uint32_t Be32(const Bytes& b, size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 | b.at(at + 3);
}

TEST(ArtScales, EveryPictureIsDrawnForEveryScaleAtItsControlsSizeThere) {
    const auto pictures = Pictures();
    ASSERT_GE(pictures.size(), 8u);
    for (const auto& [control, stem] : pictures) {
        int previous = 0;
        for (int dpi : kDrawnDpis) {
            SCOPED_TRACE(Png(dpi, stem));
            const Bytes png = Read(Png(dpi, stem));
            ASSERT_GT(png.size(), 33u);
            EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
            const layout_pixels::AtDensity* at = layout_pixels::At(dpi);
            ASSERT_NE(at, nullptr);
            const std::optional<layout_pixels::Expected> want = layout_pixels::Find(*at, *control);
            ASSERT_TRUE(want);
            const forms::PictureSize size = want->picture;
            EXPECT_EQ(static_cast<int>(Be32(png, 16)), size.w);
            EXPECT_EQ(static_cast<int>(Be32(png, 20)), size.h);
            EXPECT_GT(size.w, previous) << "larger at each scale";
            previous = size.w;
            // Whole: every chunk's check sum holds, and its rows decode to the size it names.
            for (size_t at = 8; at + 12 <= png.size(); at += 12 + Be32(png, at)) {
                const std::uint32_t length = Be32(png, at);
                ASSERT_LE(at + 12 + length, png.size());
                EXPECT_EQ(crc32(0, png.data() + at + 4, length + 4), Be32(png, at + 8 + length));
            }
            EXPECT_EQ(art::Png(png).pixels.size(), static_cast<size_t>(size.w) * size.h);
        }
    }
}

TEST(ArtScales, TheResourceScriptNamesEachUnderItsPicturesIdAndScale) {
    const Bytes script = Read("scaled.rc");
    std::set<std::string> lines, expected;
    std::string line;
    for (char c : script) {
        if (c != '\n') {
            line += c;
        } else {
            if (!line.empty() && line.rfind("//", 0) != 0) lines.insert(line);
            line.clear();
        }
    }
    for (const auto& [control, stem] : Pictures())
        for (int dpi : kDrawnDpis)
            expected.insert(std::to_string(control->picture) + " PNG" + std::to_string(dpi) + " \"art/" + Png(dpi, stem) + "\"");
    EXPECT_EQ(lines, expected);
}

TEST(ArtScales, FacesAreDrawnAtEachScaleInTheirOwnColours) {
    // Drawn, not stretched: the grounds, the rule and the words keep their exact colours.
    for (const auto& [control, stem] : Pictures()) {
        if (std::string(control->name) != "CountryImage") continue;
        const std::string lit = "CountryPic" + std::to_string(control->index);
        for (int dpi : kDrawnDpis) {
            SCOPED_TRACE(Png(dpi, stem));
            // From a palette or true colour: a flag from a file may bring more than 256 colours.
            const art::Png normal(Read(Png(dpi, stem))), lighted(Read(Png(dpi, lit)));
            for (Rgb c : {kNavy, kRule, kWhite}) EXPECT_TRUE(normal.Has(c)) << c;
            EXPECT_TRUE(lighted.Has(kAzure));
            EXPECT_FALSE(lighted.Has(kRule)) << "no rule under a lit face";
        }
    }
}

TEST(ArtScales, ADensityBetweenTheDrawnScalesTakesTheNextOneAbove) {
    const struct {
        int dpi, drawn;
    } cases[] = {{97, 120}, {120, 120}, {121, 144}, {144, 144}, {160, 168}, {200, 240}, {288, 288}, {384, 288}};
    for (const auto& c : cases) EXPECT_EQ(forms::DrawnDpiFor(c.dpi), c.drawn) << c.dpi;
}

}  // namespace
