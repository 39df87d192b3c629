// A form laid out at its monitor's density: at every scale from 100 % to
// 500 %, rectangles that meet in twips meet in pixels, the pixels a control is
// drawn on are exactly those the pointer finds it at, and sizes stay within a
// pixel of the true scale.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "form_checks.h"
#include "forms/form.h"
#include "forms/geometry.h"

namespace {

using forms::PixelRect;
using forms::TwipRect;

constexpr int kFirstDpi = 96, kLastDpi = 480;  // 100 % to 500 %, every density between

// Rows of neighbours, each rectangle starting where the one before it ends:
// edges on the 96-dpi grid, off it, and the sums a tiling loop makes.
std::vector<std::vector<TwipRect>> NeighbourRows() {
    std::vector<std::vector<TwipRect>> rows;
    rows.push_back({{0, 0, 2160, 675}, {2160, 0, 3675, 675}, {5835, 0, 1035, 675}, {6870, 0, 15, 675}});
    rows.push_back({{7, 0, 333.3f, 10}, {340.3f, 0, 1.5f, 10}, {341.8f, 0, 1000, 10}});
    std::vector<TwipRect> tiles;
    float x = 0;
    for (int i = 0; i < 12; ++i) {
        const float w = 1035.0f * (1 + i % 3) / 3;  // steps that are no whole number of pixels
        tiles.push_back({x, 0, w, 10});
        x += w;
    }
    rows.push_back(tiles);
    return rows;
}

TEST(Density, NeighboursThatMeetInTwipsMeetInPixelsAtEveryScale) {
    for (int dpi = kFirstDpi; dpi <= kLastDpi; ++dpi) {
        for (const auto& row : NeighbourRows()) {
            for (size_t i = 1; i < row.size(); ++i) {
                const PixelRect a = forms::ToPixels(row[i - 1], dpi), b = forms::ToPixels(row[i], dpi);
                ASSERT_EQ(a.x + a.w, b.x) << "no gap and no overlap at " << dpi << " dpi, rectangle " << i;
                // The same rows turned on their side: top and bottom edges alike.
                const TwipRect ta{0, row[i - 1].left, 10, row[i - 1].width}, tb{0, row[i].left, 10, row[i].width};
                const PixelRect va = forms::ToPixels(ta, dpi), vb = forms::ToPixels(tb, dpi);
                ASSERT_EQ(va.y + va.h, vb.y) << dpi << " dpi, rectangle " << i;
            }
        }
    }
}

TEST(Density, TheDrawnPixelsOfARectangleAreThoseThePointerFindsItAt) {
    // The last two at 110 dpi, by the corner of pixel 3 (3 * 1440 / 110 twips): edges a hair
    // past it, and far edges whose sums round down to the float just before it.
    constexpr float kPast = 0x1.3a2e8cp+5f, kBefore = 0x1.3a2e8ap+5f, kOneAndAHair = 1 + 0x1p-20f;
    const TwipRect rects[] = {{2160, 2040, 3675, 675},
                              {7, 13, 333.3f, 101.7f},
                              {1560, 1080, 3015, 915},
                              {0, 0, 11880, 8595},
                              {kPast, kPast, 100, 100},
                              {kOneAndAHair, kOneAndAHair, kBefore - 1, kBefore - 1}};
    for (int dpi = kFirstDpi; dpi <= kLastDpi; ++dpi) {
        for (const TwipRect& t : rects) {
            const PixelRect p = forms::ToPixels(t, dpi);
            const auto in = [&](int x, int y) {
                return t.Contains(forms::PointerTwips(x, dpi), forms::PointerTwips(y, dpi));
            };
            ASSERT_TRUE(in(p.x, p.y)) << dpi << " dpi: the first pixel";
            ASSERT_TRUE(in(p.x + p.w - 1, p.y + p.h - 1)) << dpi << " dpi: the last pixel";
            ASSERT_FALSE(in(p.x - 1, p.y)) << dpi << " dpi: left of it";
            ASSERT_FALSE(in(p.x, p.y - 1)) << dpi << " dpi: above it";
            ASSERT_FALSE(in(p.x + p.w, p.y)) << dpi << " dpi: right of it";
            ASSERT_FALSE(in(p.x, p.y + p.h)) << dpi << " dpi: below it";
            // Within a pixel of the true size.
            ASSERT_LT(std::fabs(p.w - t.width * dpi / 1440), 1.0) << dpi << " dpi";
            ASSERT_LT(std::fabs(p.h - t.height * dpi / 1440), 1.0) << dpi << " dpi";
        }
    }
}

TEST(Density, EdgesInPixels) {
    const struct {
        float twips;
        int dpi, pixel;
    } cases[] = {
        {2160, 96, 144},   {675, 96, 45},     {1035, 96, 69},   // at 96 dpi, today's pixels
        {2160, 120, 180},  {675, 120, 57},    {1035, 144, 104}, // off the grid: the next pixel's corner
        {675, 144, 68},    {2160, 192, 288},  {1035, 192, 138},
        {11880, 288, 2376}, {-15, 96, -1},    {-7, 96, 0},      // before the origin too
        {2040, 168, 238},  {7800, 168, 910},  {2715, 168, 317}, // on a pixel's corner: that pixel
        {1035, 480, 345},  {7, 110, 1},       {0, 336, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(forms::PixelEdge(c.twips, c.dpi), c.pixel) << c.twips << " at " << c.dpi;
    }
}

TEST(Density, PictureSizesAtADensity) {
    const struct {
        int pixels, dpi, scaled;
    } cases[] = {{69, 96, 69}, {69, 120, 86}, {69, 144, 104}, {69, 192, 138}, {245, 168, 429}, {1, 288, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(forms::ScaledFromLayout(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi;
}

// Two pictures side by side and a third on the first one's rectangle, in front.
constexpr forms::ControlSpec Face(const char* name, forms::TwipRect r) {
    return {name, forms::kNoIndex, forms::ControlKind::Image, r, true, forms::MousePointer::Default, 1, 0,
            nullptr, {}, false};
}
constexpr forms::ControlSpec kFaces[] = {
    Face("Left", {2160, 2040, 3675, 675}),
    Face("Right", {5835, 2040, 1035, 675}),
    Face("Front", {2160, 2040, 3675, 675}),
};
constexpr forms::FormSpec kRow{"Row", L"Row", 11880, 8595, 1, forms::FormPointer::Crosshair, {}, kFaces, {}};

TEST(Density, ThePointerHitsEachControlOnTheVeryPixelsItIsDrawnOn) {
    forms::FormModel m(kRow);
    m.SetVisible(2, false);  // as a lit face hides the normal one in front of it
    for (int dpi = kFirstDpi; dpi <= kLastDpi; ++dpi) {
        const PixelRect left = forms::ToPixels(kFaces[0].rect, dpi), right = forms::ToPixels(kFaces[1].rect, dpi);
        const auto at = [&](int x, int y) {
            return NameAt(m, m.HitTest(forms::PointerTwips(x, dpi), forms::PointerTwips(y, dpi)));
        };
        ASSERT_EQ(at(left.x, left.y), "Left") << dpi;
        ASSERT_EQ(at(left.x + left.w - 1, left.y), "Left") << dpi;
        ASSERT_EQ(at(right.x, right.y + right.h - 1), "Right") << dpi << " dpi: the pixel after Left's last";
        ASSERT_EQ(at(right.x + right.w, right.y), "form") << dpi;
        ASSERT_EQ(at(left.x, left.y + left.h), "form") << dpi;
        ASSERT_EQ(at(left.x - 1, left.y), "form") << dpi;
    }
}

}  // namespace
