// The art generator's filter and its choice among a product's own pictures:
// what every picture a product gives, or does not give, for a scale is made by;
// and its PNG writer, read back by the tests' own decoder.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "art_files.h"
#include "artgen/given.h"
#include "artgen/image.h"
#include "artgen/png.h"

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
    EXPECT_EQ(artgen::HowScaled({{96, "a"}, {192, "b"}}),
              "125 % reduced from 200 %, 150 % reduced from 200 %, 175 % reduced from 200 %, 200 % given, "
              "250 % enlarged from 200 %, 300 % enlarged from 200 % (with a box filter)");
}

// The writer stores each row of a true-colour picture under the filter that suits it,
// and the menu decodes it with WIC: a picture of more colours than a palette holds must
// read back, by the PNG standard's predictors (art_files.h), as the one written, and so
// must one of few colours.
TEST(ArtPng, APictureReadsBackAsItWasWrittenUnderEveryFilter) {
    // Bands of rows that favour each filter: flat, shaded along the row, alike down the
    // column, and shaded both ways with a little noise (Average and Paeth, with their ties).
    Image shades(96, 64, Rgb{0, 0, 0});
    std::uint32_t noise = 12345;
    for (int y = 0; y < shades.height; ++y)
        for (int x = 0; x < shades.width; ++x) {
            noise = noise * 1103515245 + 12345;
            const int n = static_cast<int>(noise >> 16) % 5, band = y / 16;
            const int v = band == 0 ? 90 : band == 1 ? x * 2 + y : band == 2 ? (x * 37) % 251 : x * 3 + y * 2 + n;
            shades.At(x, y) = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v * 3 + n),
                               static_cast<std::uint8_t>(255 - v)};
        }
    Image few(40, 30, Rgb{0, 38, 101});
    few.Fill(5, 5, 20, 10, Rgb{255, 255, 255});
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

}  // namespace
