// The stored layout, checked in pixels at 96 dpi.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chooser/layout.h"
#include "form_checks.h"
#include "forms/form.h"
#include "resources/resource_ids.h"

namespace {

TEST(Layout, TheFrontMostVisibleControlReceivesThePointer) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    const HitCase cases[] = {
        {150, 140, "CountryImage(1)"},  // the normal face lies over the highlighted one
        {150, 190, "CountryImage(2)"},
        {388, 276, "CountryImage(3)"},  // last pixel of the English picture
        {389, 240, "form"},             // one pixel right of it
        {150, 300, "form"},             // the hidden Japanese row
        {10, 410, "CountryPic(0)"},     // pictureless, but takes events
        {10, 450, "CountryImage(0)"},
        {200, 450, "Command1"},         // the child window is in front of everything drawn
        {400, 450, "form"},             // the hidden Image3
        {730, 40, "Label1"},            // under the hidden Picture1
        {700, 530, "Image1"},           // in front of Image2
        {630, 500, "Image2"},
        {115, 530, "Label2"},
        {268, 530, "Label3"},           // where Label3 overlaps the end of Label2
        {110, 72, "Label1"},            // the one row Label1 shares with Image4
        {110, 73, "Image4"},
        {500, 100, "form"},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(NameAt(m, m.HitTest(T(c.x), T(c.y))), c.receiver) << "at " << c.x << "," << c.y;
    }
}

TEST(Layout, BothPictureArraysHaveExactlyTheMembers0123And7) {
    for (const char* array : {"CountryImage", "CountryPic"}) {
        std::set<int> members;
        for (const auto& c : chooser::kFrmAutoSelect.controls)
            if (std::string(c.name) == array) members.insert(c.index);
        EXPECT_EQ(members, (std::set<int>{0, 1, 2, 3, 7})) << array;
    }
    EXPECT_EQ(chooser::kFrmAutoSelect.controls.size(), 19u) << "9 single controls and two arrays of 5";
}

TEST(Layout, RectanglesInPixelsAt96Dpi) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    const struct {
        const char* name;
        int index;
        forms::PixelRect px;
        bool visible;
    } cases[] = {
        {"Command1", -1, {144, 432, 193, 41}, true},  {"Picture1", -1, {720, 0, 73, 73}, false},
        {"Image1", -1, {648, 520, 133, 28}, true},     {"Label1", -1, {64, 32, 729, 41}, true},
        {"Image4", -1, {104, 72, 201, 61}, true},      {"Image3", -1, {360, 432, 201, 61}, false},
        {"Image2", -1, {624, 488, 171, 86}, true},     {"Label3", -1, {264, 528, 209, 25}, true},
        {"Label2", -1, {112, 528, 161, 25}, true},     {"CountryImage", 1, {144, 136, 245, 45}, true},
        {"CountryPic", 2, {144, 184, 245, 45}, true},  {"CountryImage", 3, {144, 232, 245, 45}, true},
        {"CountryPic", 7, {144, 280, 245, 45}, false}, {"CountryPic", 0, {8, 400, 25, 33}, true},
        {"CountryImage", 0, {8, 440, 21, 29}, true},
    };
    for (const auto& c : cases) {
        const auto id = m.Find(c.name, static_cast<std::int16_t>(c.index));
        EXPECT_EQ(forms::ToPixels(m.Control(id).rect, 15.0f), c.px) << c.name << "(" << c.index << ")";
        EXPECT_EQ(m.Visible(id), c.visible) << c.name << "(" << c.index << ")";
    }
    EXPECT_EQ(forms::TwipsToPixels(chooser::kFrmAutoSelect.clientWidth, 15.0f), 792);
    EXPECT_EQ(forms::TwipsToPixels(chooser::kFrmAutoSelect.clientHeight, 15.0f), 573);
}

TEST(Layout, EachNormalFaceLiesInFrontOfItsHighlightedFaceOnTheSameRectangle) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    for (std::int16_t i : {1, 2, 3, 7}) {
        const auto normal = m.Find("CountryImage", i), highlighted = m.Find("CountryPic", i);
        EXPECT_GT(normal, highlighted) << i;
        const auto a = m.Control(normal).rect, b = m.Control(highlighted).rect;
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height) << i;
        EXPECT_EQ(m.Control(normal).picture, IDB_COUNTRYIMAGE_BASE + i) << "the normal face";
        EXPECT_EQ(m.Control(highlighted).picture, IDB_COUNTRYPIC_BASE + i) << "the highlighted face";
        EXPECT_EQ(m.Control(normal).pointer, forms::MousePointer::Custom);
        EXPECT_EQ(m.Control(highlighted).pointer, forms::MousePointer::Custom);
    }
}

TEST(Geometry, TwipsToPixelsAtOtherDensities) {
    EXPECT_FLOAT_EQ(forms::TwipsPerPixel(96), 15.0f);
    EXPECT_FLOAT_EQ(forms::TwipsPerPixel(120), 12.0f);
    EXPECT_FLOAT_EQ(forms::TwipsPerPixel(144), 10.0f);
    // Rounded to the nearest pixel, halves away from zero: truncating would put the window off centre.
    const struct {
        float twips;
        int pixels;
    } cases[] = {{7.0f, 0}, {7.5f, 1}, {22.4f, 1}, {22.5f, 2}, {1695.0f, 113}, {-7.5f, -1}, {-1185.0f, -79}};
    for (const auto& c : cases) EXPECT_EQ(forms::TwipsToPixels(c.twips, 15.0f), c.pixels) << c.twips;
    // Edges are converted, so neighbours still meet without a gap.
    const auto a = forms::ToPixels({0, 0, 1035, 1035}, 12.0f), b = forms::ToPixels({1035, 0, 1035, 1035}, 12.0f);
    EXPECT_EQ(a.x + a.w, b.x);
}

}  // namespace
