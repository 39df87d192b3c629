// Display scaling. Forms are laid out at the layout density and the system
// enlarges the whole window evenly, so what holds at that density holds at
// every scale: each picture fills its rectangle and each label's line fits.
#include <gtest/gtest.h>

#include "art_files.h"

#include <cstdint>
#include <fstream>
#include <string>

#include "chooser/layout.h"
#include "forms/form.h"
#include "forms/geometry.h"
#include "forms/picture_scales.h"
#include "layout_pixels.h"
#include "product.h"

namespace {

std::string FileOf(const forms::ControlSpec& c) {
    return std::string(c.name) + (c.index == forms::kNoIndex ? "" : std::to_string(c.index)) + ".bmp";
}

bool IsPicture(const forms::ControlSpec& c) { return c.kind == forms::ControlKind::Image && c.picture; }

TEST(Scaling, AtTheLayoutDensityEveryPictureFillsItsRectangle) {
    int pictures = 0;
    for (const auto& c : chooser::kFrmAutoSelect.controls) {
        if (!IsPicture(c)) continue;
        ++pictures;
        const art::Bmp bitmap(FileOf(c));
        const forms::PixelRect r = forms::ToPixels(c.rect, forms::kLayoutDpi);
        EXPECT_EQ(r.w, bitmap.width) << FileOf(c);
        EXPECT_EQ(r.h, bitmap.height) << FileOf(c);
    }
    EXPECT_EQ(pictures, 4 + 2 * static_cast<int>(std::size(product::kLanguages)))
        << "Image1 to 4 and two faces a language";
}

// Why the layout does not follow the density a display reports: the
// pictures keep their pixel sizes while their rectangles grow.
TEST(Scaling, AtTheDensitiesOfScaledDisplaysThePicturesWouldFallShort) {
    for (int dpi : {120, 144, 192}) {
        for (const auto& c : chooser::kFrmAutoSelect.controls) {
            if (!IsPicture(c)) continue;
            const art::Bmp bitmap(FileOf(c));
            const forms::PixelRect r = forms::ToPixels(c.rect, dpi);
            EXPECT_GT(r.w, bitmap.width) << FileOf(c) << " at " << dpi;
            EXPECT_GT(r.h, bitmap.height) << FileOf(c) << " at " << dpi;
        }
    }
}

TEST(Scaling, AtEachDensityTheMenuHasTheRectanglesAndPictureSizesWorkedOutForIt) {
    const forms::FormSpec& form = chooser::kFrmAutoSelect;
    for (const layout_pixels::AtDensity& at : layout_pixels::kDensities) {
        EXPECT_EQ(forms::ToPixels({0, 0, form.clientWidth, form.clientHeight}, at.dpi), at.client) << at.dpi;
        for (const auto& c : form.controls) {
            const std::string name = forms::ControlName(c.name, c.index) + " at " + std::to_string(at.dpi);
            const std::optional<layout_pixels::Expected> want = layout_pixels::Find(at, c);
            ASSERT_TRUE(want) << name;
            EXPECT_EQ(forms::ToPixels(c.rect, at.dpi), want->rect) << name;
            if (!c.picture) continue;
            const art::Bmp own(FileOf(c));
            EXPECT_EQ(forms::PictureSizeAt(c, own.width, own.height, at.dpi), want->picture) << name;
        }
    }
}

TEST(Scaling, FontHeightsInPixels) {
    const struct {
        float points;
        int dpi, pixels;
    } cases[] = {{8.25f, 96, 11},  {24.0f, 96, 32},  {9.0f, 96, 12},   {8.25f, 120, 14}, {8.25f, 144, 17},
                 {24.0f, 192, 64}, {8.25f, 168, 19}, {8.25f, 110, 13}, {8.25f, 336, 39}, {9.0f, 132, 17}};
    for (const auto& c : cases)
        EXPECT_EQ(forms::FontPixelHeight(c.points, c.dpi), c.pixels) << c.points << " pt at " << c.dpi;
}

TEST(Scaling, EachLabelsLineFitsItsHeightAtTheLayoutDensity) {
    for (const auto& c : chooser::kFrmAutoSelect.controls) {
        if (c.kind != forms::ControlKind::Label) continue;
        const int em = forms::FontPixelHeight(c.font.points, forms::kLayoutDpi);
        const forms::PixelRect r = forms::ToPixels(c.rect, forms::kLayoutDpi);
        // A line takes the character height and its descent, about a fifth more.
        EXPECT_LE(em * 6 / 5, r.h) << c.name;
    }
}

}  // namespace
