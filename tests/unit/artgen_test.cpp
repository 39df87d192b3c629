// The art generator's filter and its choice among a product's own pictures:
// what every picture a product gives, or does not give, for a scale is made by;
// its PNG writer, read back by the tests' own decoder; and the faces' words in every
// script: their fonts, shapes, order and place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "art_files.h"
#include "artgen/faces.h"
#include "artgen/given.h"
#include "artgen/image.h"
#include "artgen/png.h"
#include "artgen/shaping.h"
#include "artgen/utf8.h"
#include "forms/picture_scales.h"

namespace {

using artgen::Image, artgen::Rgb;

// A one-row grey picture.
Image Row(const std::vector<int>& greys) {
    Image img(static_cast<int>(greys.size()), 1, Rgb{0, 0, 0});
    for (size_t x = 0; x < greys.size(); ++x) {
        const auto g = static_cast<std::uint8_t>(greys[x]);
        img.pixels[x] = {g, g, g};
    }
    return img;
}

std::vector<int> Greys(const Image& img) {
    std::vector<int> out;
    for (const Rgb& p : img.pixels) out.push_back(p.r);
    return out;
}

TEST(ArtFilter, EachNewPixelIsTheAverageOfTheAreaItCoversByShare) {
    const struct {
        std::vector<int> from;
        int width;
        std::vector<int> to;
    } cases[] = {
        {{50, 50, 50, 50, 50}, 3, {50, 50, 50}},  // flat stays flat
        {{10, 30, 50, 70}, 2, {20, 60}},           // two to one
        {{0, 90, 180}, 2, {30, 150}},              // the middle pixel shared half and half
        {{0, 90}, 3, {0, 45, 90}},                 // enlarged: the middle one straddles both
        {{0, 255, 0, 255}, 4, {0, 255, 0, 255}},   // its own size: as it is
    };
    for (const auto& c : cases) EXPECT_EQ(Greys(artgen::BoxScaled(Row(c.from), c.width, 1)), c.to) << c.width;
    // Down the columns as along the rows.
    Image column(1, 4, Rgb{0, 0, 0});
    for (int y = 0; y < 4; ++y) column.pixels[static_cast<size_t>(y)] = Rgb{static_cast<std::uint8_t>(y * 20), 0, 0};
    EXPECT_EQ(Greys(artgen::BoxScaled(column, 1, 2)), (std::vector<int>{10, 50}));
}

TEST(ArtFilter, FittedCutsOffOrRepeatsItsLastColumnAndRow) {
    const Image img = Row({1, 2, 3});
    EXPECT_EQ(Greys(artgen::Fitted(img, 2, 1)), (std::vector<int>{1, 2}));
    Image two(2, 2, Rgb{0, 0, 0});
    for (int i = 0; i < 4; ++i) two.pixels[static_cast<size_t>(i)] = Rgb{static_cast<std::uint8_t>(i + 1), 0, 0};
    EXPECT_EQ(Greys(artgen::Fitted(two, 3, 3)), (std::vector<int>{1, 2, 2, 3, 4, 4, 3, 4, 4}));
}

TEST(ArtFilter, AScaleIsMadeFromTheOneGivenForItElseTheNearestAboveElseTheLargest) {
    const std::vector<artgen::Given> given{{96, "a"}, {144, "b"}, {240, "c"}, {168, "d"}};
    const struct {
        int dpi;
        const char* from;
    } cases[] = {{120, "b"}, {144, "b"}, {150, "d"}, {192, "c"}, {240, "c"}, {288, "c"}, {96, "a"}};
    for (const auto& c : cases) EXPECT_EQ(artgen::SourceFor(given, c.dpi).path, c.from) << c.dpi;
    EXPECT_EQ(artgen::SourceFor({{96, "a"}}, 288).path, "a");
    EXPECT_EQ(artgen::HowScaled({{96, "a"}}), "given at 96 dpi only: scaled to 125 to 300 % with a box filter");
    EXPECT_EQ(artgen::HowScaled({{96, "a"}, {192, "b"}}),
              "125 % reduced from 200 %, 150 % reduced from 200 %, 175 % reduced from 200 %, 200 % given, "
              "250 % enlarged from 200 %, 300 % enlarged from 200 % (with a box filter)");
}

// The writer stores each row of a true-colour picture under the filter that suits it,
// and the menu reads it as the standard says: a picture of more colours than a palette holds must
// read back, by the PNG standard's predictors (art_files.h), as the one written, and so
// must one of few colours.
TEST(ArtPng, APictureReadsBackAsItWasWrittenUnderEveryFilter) {
    const std::vector<Image> pictures = art::FilterPictures();
    const Image &shades = pictures[0], &few = pictures[1];
    for (const Image* img : {&shades, &few}) {
        const art::Png png(artgen::Png(*img));
        ASSERT_EQ(png.width, img->width);
        ASSERT_EQ(png.height, img->height);
        EXPECT_EQ(png.colourType, img == &few ? 3 : 2);
        for (int y = 0; y < img->height; ++y)
            for (int x = 0; x < img->width; ++x) {
                const Rgb p = img->pixels[static_cast<size_t>(y) * img->width + x];
                ASSERT_EQ(png.At(x, y), (art::Rgb{p.r, p.g, p.b})) << x << "," << y << " of " << img->width;
            }
        if (img == &shades) {
            for (int filter : {1, 2, 3, 4}) EXPECT_EQ(png.filters.count(filter), 1u) << "no row under filter " << filter;
        }
    }
}

// The fonts of every script, as src/resources/scripts.toml names them.
const artgen::ScriptFonts& TableFonts() {
    static const artgen::ScriptFonts fonts = [] {
        artgen::ScriptFonts f;
        std::ifstream table(VELBROOK_SCRIPTS_TABLE);
        const std::regex row(R"re(^(\w{4}) = \{ .*font = "([^"]+)", grid = "(\w+)" \}$)re");
        std::smatch m;
        for (std::string line; std::getline(table, line);)
            if (std::regex_match(line, m, row))
                f.Add(m[1], m[3] == "latin" ? artgen::Grid::kLatin : m[3] == "cjk" ? artgen::Grid::kCjk : artgen::Grid::kOther,
                      std::string(VELBROOK_FONT_FOLDER) + "/" + m[2].str());
        return f;
    }();
    return fonts;
}

artgen::Language Words(const std::u32string& words) { return {3, "Test", "built-in:japan", 24, words, {}}; }

// The layout's scale and every one the pictures are drawn for.
const std::vector<artgen::Scale> kScales = [] {
    std::vector<artgen::Scale> scales{{96}};
    for (int dpi : forms::kDrawnDpis) scales.push_back({dpi});
    return scales;
}();

struct Script {
    const char* language;
    std::u32string words;
    std::vector<std::string> fonts;  // that draw them, in the order of the words
    bool rightToLeft;
};

const std::string kLatin = "LiberationSans-Bold.ttf", kArabic = "NotoSansArabic-Bold.ttf";
const Script kScripts[] = {
    {"English", U"English", {kLatin}, false},
    {"Russian", U"Русский", {kLatin}, false},
    {"Japanese", U"日本語", {"wqy-zenhei.ttc"}, false},
    {"Korean", U"한국어", {"wqy-zenhei.ttc"}, false},
    {"Arabic", U"العربية", {kArabic}, true},
    {"Persian", U"فارسی", {kArabic}, true},
    {"Urdu", U"اردو", {kArabic}, true},
    {"Hebrew", U"עברית", {"NotoSansHebrew-Bold.ttf"}, true},
    {"Hindi", U"हिन्दी", {"NotoSansDevanagari-Bold.ttf"}, false},
    {"Bengali", U"বাংলা", {"NotoSansBengali-Bold.ttf"}, false},
    {"Punjabi", U"ਪੰਜਾਬੀ", {"NotoSansGurmukhi-Bold.ttf"}, false},
    {"Gujarati", U"ગુજરાતી", {"NotoSansGujarati-Bold.ttf"}, false},
    {"Odia", U"ଓଡ଼ିଆ", {"NotoSansOriya-Bold.ttf"}, false},
    {"Tamil", U"தமிழ்", {"NotoSansTamil-Bold.ttf"}, false},
    {"Telugu", U"తెలుగు", {"NotoSansTelugu-Bold.ttf"}, false},
    {"Kannada", U"ಕನ್ನಡ", {"NotoSansKannada-Bold.ttf"}, false},
    {"Malayalam", U"മലയാളം", {"NotoSansMalayalam-Bold.ttf"}, false},
    {"Sinhala", U"සිංහල", {"NotoSansSinhala-Bold.ttf"}, false},
    {"Thai", U"ภาษาไทย ญี่ปุ่น ฎีกา", {"NotoSansThai-Bold.ttf"}, false},  // marks stacked above and below
    {"Lao", U"ພາສາລາວ", {"NotoSansLao-Bold.ttf"}, false},
    {"Khmer", U"ភាសាខ្មែរ", {"NotoSansKhmer-Bold.ttf"}, false},
    {"Burmese", U"မြန်မာဘာသာ ကျွန်ုပ်", {"NotoSansMyanmar-Bold.ttf"}, false},
    {"Georgian", U"ქართული", {"NotoSansGeorgian-Bold.ttf"}, false},
    {"Armenian", U"Հայերեն", {"NotoSansArmenian-Bold.ttf"}, false},
    {"Amharic", U"አማርኛ", {"NotoSansEthiopic-Bold.ttf"}, false},
    {"Cherokee", U"ᏣᎳᎩ", {"NotoSansCherokee-Bold.ttf"}, false},
    {"Persian with English", U"فارسی (Persian)", {kArabic, kLatin}, true},
    {"Thai with English", U"ไทย (Thai)", {"NotoSansThai-Bold.ttf", kLatin}, false},  // brackets the Thai font lacks
};

// The first and last columns, and the first and last rows, where a face differs from
// its ground right of the flag; -1 where it does not.
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1, pixels = 0;
};
Ink InkRightOfFlag(const Image& face, Rgb ground, int fromX) {
    Ink ink;
    for (int y = 0; y < face.height; ++y)
        for (int x = fromX; x < face.width; ++x) {
            const Rgb p = face.pixels[static_cast<size_t>(y) * face.width + x];
            if (p.r == ground.r && p.g == ground.g && p.b == ground.b) continue;
            if (ink.left < 0 || x < ink.left) ink.left = x;
            ink.right = std::max(ink.right, x);
            if (ink.top < 0) ink.top = y;
            ink.bottom = y, ++ink.pixels;
        }
    return ink;
}

TEST(FaceWords, EachScriptIsDrawnInItsFontsFromItsReadersStartAndWhollyAtEveryScale) {
    for (const Script& c : kScripts) {
        SCOPED_TRACE(c.language);
        const artgen::Layout layout = artgen::LayOutWords(c.words, TableFonts(), 12.25);
        EXPECT_EQ(artgen::FontFiles(layout), c.fonts);
        EXPECT_EQ(layout.rightToLeft, c.rightToLeft);
        // One direction: the characters' clusters run with the reading, left to right or right to left.
        if (c.fonts.size() == 1) {
            std::vector<int> clusters;
            for (const artgen::PlacedGlyph& g : layout.glyphs) clusters.push_back(g.cluster);
            if (c.rightToLeft) std::reverse(clusters.begin(), clusters.end());
            EXPECT_TRUE(std::is_sorted(clusters.begin(), clusters.end())) << "drawn out of reading order";
        }
        // At every scale, lit (no shadow, no rule): the words start where their reader does,
        // at the room's left or right edge, and every pixel of their ink is on the face.
        for (const artgen::Scale& s : kScales) {
            SCOPED_TRACE(s.dpi);
            const artgen::FaceWords w = artgen::PlaceWords(Words(c.words), TableFonts(), s);
            const Image face = artgen::Face(Words(c.words), true, TableFonts(), s);
            const Ink ink = InkRightOfFlag(face, Rgb{2, 128, 255}, s(design::kFlagLeft + design::kFlag.width) + 1);
            if (c.rightToLeft)
                EXPECT_EQ(ink.right, s(design::kWordsRight) - w.shadowX - 1);
            else
                EXPECT_EQ(ink.left, s(w.grid->wordsLeft));
            EXPECT_EQ(ink.pixels, std::count_if(w.ink.alpha.begin(), w.ink.alpha.end(), [](int a) { return a > 0; }))
                << "ink cut off at the face's edge";
            EXPECT_GE(ink.top, s(design::kWordsMargin));
            EXPECT_LT(ink.bottom, s(w.grid->ruleRow) - s(design::kWordsMargin));
        }
    }
}

// A glyph of the layout by the character it draws.
const artgen::PlacedGlyph& GlyphOf(const artgen::Layout& l, int cluster) {
    return *std::find_if(l.glyphs.begin(), l.glyphs.end(), [&](const artgen::PlacedGlyph& g) { return g.cluster == cluster; });
}

TEST(FaceWords, LettersTakeTheFormsTheirNeighboursGiveThem) {
    // Arabic letters joined: none of "عربي" in the form it has alone.
    const std::u32string arabic = U"عربي";
    const artgen::Layout joined = artgen::LayOutWords(arabic, TableFonts(), 12.25);
    for (int i = 0; i < 4; ++i) EXPECT_NE(GlyphOf(joined, i).id, GlyphOf(joined, i).font->GlyphOf(arabic[i])) << i;
    // The Devanagari vowel sign i is written before the consonant it follows: in "हिन्दी"
    // the first glyph drawn is not the consonant's.
    const artgen::Layout hindi = artgen::LayOutWords(U"हिन्दी", TableFonts(), 12.25);
    const artgen::PlacedGlyph& ha = hindi.glyphs[1];
    EXPECT_EQ(ha.id, ha.font->GlyphOf(U'ह'));
    EXPECT_LT(hindi.glyphs[0].x, ha.x);
    EXPECT_NE(hindi.glyphs[0].id, ha.id);
}

// Words in a region's glyph forms are drawn in the face of Noto Sans CJK the art list
// names and shaped for the language: 骨 takes the region's form asked for, from the
// language where the face's own is another region's. The face draws the words' kana
// and Hangul too, not the table's font.
TEST(FaceWords, GlyphFormsAreTheRegionsFromTheFaceAndTheLanguage) {
    const std::string cjk = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc";
    const struct {
        int face;
        const char* language;
        int formsOf;  // the face whose own form of 骨 must be drawn
    } cases[] = {
        {2, "zh-Hans", 2}, {3, "zh-Hant", 3}, {4, "zh-HK", 4}, {0, "ja", 0}, {1, "ko", 1},
        {0, "zh-Hant", 3},  // the language alone
        {3, "", 3},         // the face alone
    };
    ASSERT_NE(artgen::Font(cjk, 2).GlyphOf(U'骨'), artgen::Font(cjk, 3).GlyphOf(U'骨')) << "one form in both faces";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.face) + " " + c.language);
        const artgen::ScriptFonts fonts = TableFonts().Own("Hani", cjk, c.face, c.language);
        const artgen::Layout l = artgen::LayOutWords(U"骨", fonts, 12.0);
        ASSERT_EQ(l.glyphs.size(), 1u);
        EXPECT_EQ(l.glyphs[0].id, artgen::Font(cjk, c.formsOf).GlyphOf(U'骨'));
    }
    const artgen::ScriptFonts ja = TableFonts().Own("Hani", cjk, 0, "ja");
    EXPECT_EQ(artgen::FontFiles(artgen::LayOutWords(U"日本語 にほんご 한국어", ja, 12.0)),
              std::vector<std::string>{"NotoSansCJK-Bold.ttc"});
    EXPECT_EQ(artgen::FontFiles(artgen::LayOutWords(U"日本語 (Japanese)", ja, 12.0)),
              (std::vector<std::string>{"NotoSansCJK-Bold.ttc", kLatin}))
        << "the Latin words are not the Japanese font's to draw";
}

TEST(FaceWords, MixedDirectionsReadEachInTheirOwnDirection) {
    // "فارسی (Persian)" is read from the right: the Persian word rightmost, then
    // "(Persian)" left of it, its letters left to right, in brackets that face it.
    const std::u32string words = U"فارسی (Persian)";
    const artgen::Layout l = artgen::LayOutWords(words, TableFonts(), 12.25);
    std::vector<int> clusters;
    for (const artgen::PlacedGlyph& g : l.glyphs) clusters.push_back(g.cluster);
    EXPECT_EQ(clusters, (std::vector<int>{14, 7, 8, 9, 10, 11, 12, 13, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(l.glyphs.front().id, l.glyphs.front().font->GlyphOf(U'(')) << "the closing bracket is drawn mirrored";
    EXPECT_EQ(l.glyphs[8].id, l.glyphs[8].font->GlyphOf(U')'));
}

TEST(FaceWords, ACharacterItsFontLacksIsRefusedRatherThanDrawnAsABox) {
    for (const auto& [words, message] : {
             std::pair{std::u32string(U"English \u2603"), "'\u2603' (U+2603), Latn, is not in LiberationSans-Bold.ttf"},
             std::pair{std::u32string(U"\u0e44\u0e17\u0e22 \u2603"), "'\u2603' (U+2603), Thai, is not in NotoSansThai-Bold.ttf"}}) {
        try {
            artgen::LayOutWords(words, TableFonts(), 12.25);
            ADD_FAILURE() << artgen::ToUtf8(words) << " was laid out";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), std::string(message) + ": it would be drawn as the font's missing-glyph box");
        }
    }
}

TEST(FaceWords, WordsOutsideTheirRoomAreRefusedNamingTheLanguageAndThePixels) {
    const auto refusal = [](const std::u32string& words, int dpi) -> std::string {
        try {
            artgen::PlaceWords({5, "Hebrew", "built-in:japan", 24, words, {}}, TableFonts(), {dpi});
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    };
    // The longest words of one more letter at a time that fit, and one letter more.
    std::u32string words = U"עברית";
    while (refusal(words + U"ב", 96).empty()) words += U"ב";
    const artgen::FaceWords fits = artgen::PlaceWords(Words(words), TableFonts());
    const artgen::Mask wider = artgen::Draw(artgen::LayOutWords(words + U"ב", TableFonts(), 12.25), 12.25);
    const int room = design::kWordsRight - design::kOther.wordsLeft - design::kOther.shadow;
    EXPECT_GT(fits.ink.width, room - 10) << "refused short of the room";
    const int over = wider.width - room;
    EXPECT_EQ(refusal(words + U"ב", 96),
              "the words of Hebrew (code 5), '" + artgen::ToUtf8(words) + "ב', are wider than their room on the face (" +
                  std::to_string(room) + " pixels) by " + std::to_string(over) + " pixel" + (over == 1 ? "" : "s") +
                  " at 96 dpi: shorten them, or give both faces (normal_face, highlighted_face)");
    // Marks stacked above and below a Thai letter: their ink's height is judged too, so
    // that none is drawn into the margin or cut off at the face's edge.
    for (const auto& [stacked, message] :
         {std::pair{std::u32string(U"\u0e01\u0e34\u0e48\u0e49\u0e4a\u0e4b"), "reach above the face's top margin by "},
          std::pair{std::u32string(U"\u0e01\u0e38\u0e39\u0e3a\u0e38\u0e39\u0e3a"),
                    "reach below the room above the face's rule by "}}) {
        const std::string refused = refusal(stacked, 96);
        EXPECT_NE(refused.find(message), std::string::npos) << refused;
    }
}

}  // namespace
