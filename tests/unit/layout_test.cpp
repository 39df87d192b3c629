// The stored layout, checked in pixels at 96 dpi.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chooser/layout.h"
#include "form_checks.h"
#include "forms/form.h"
#include "product_facts.h"
#include "resources/resource_ids.h"

namespace {

// Where the faces of a row stand: the rows are 48 pixels apart from y = 136.
forms::PixelRect Row(int row) {
    using namespace design;
    return {kRowsLeft / kTwipsPerPixel, (kRowsTop + kRowPitch * row) / kTwipsPerPixel, kFace.width, kFace.height};
}

std::string Member(const char* array, std::int16_t index) { return forms::ControlName(array, index); }

TEST(Layout, TheFrontMostVisibleControlReceivesThePointer) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    const HitCase cases[] = {
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
    // The shown languages take the rows from the top in the description's order, the
    // normal face over the highlighted one; the rows do not touch.
    int row = 0;
    for (const product::Language* l : facts::Shown()) {
        const forms::PixelRect r = Row(row++);
        const std::string face = Member("CountryImage", l->code);
        const struct {
            int x, y;
            std::string receiver;
        } points[] = {
            {r.x + 6, r.y, face},                     // its first row
            {r.x + r.w - 1, r.y + r.h - 1, face},     // its last pixel
            {r.x + r.w, r.y + 20, "form"},            // one pixel right of it
            {r.x - 1, r.y + 20, "form"},
            {r.x + 6, r.y + r.h, "form"},             // the gap below it
        };
        for (const auto& p : points)
            EXPECT_EQ(NameAt(m, m.HitTest(T(p.x), T(p.y))), p.receiver)
                << "row " << row - 1 << " at " << p.x << "," << p.y;
    }
    // A hidden language's faces take no event, wherever they are carried.
    for (const product::Language* l : facts::Hidden()) {
        const forms::PixelRect r = Row(row++);
        const std::string receiver = NameAt(m, m.HitTest(T(r.x + 6), T(r.y + 20)));
        EXPECT_NE(receiver, Member("CountryImage", l->code));
        EXPECT_NE(receiver, Member("CountryPic", l->code));
    }
}

TEST(Layout, BothPictureArraysHaveMember0AndOneMemberPerLanguage) {
    std::set<int> expected{0};
    for (const product::Language& l : product::kLanguages) expected.insert(l.code);
    for (const char* array : {"CountryImage", "CountryPic"}) {
        std::set<int> members;
        for (const auto& c : chooser::kFrmAutoSelect.controls)
            if (std::string(c.name) == array) members.insert(c.index);
        EXPECT_EQ(members, expected) << array;
    }
    EXPECT_EQ(chooser::kFrmAutoSelect.controls.size(), 9 + 2 * expected.size()) << "9 single controls and two arrays";
}

TEST(Layout, RectanglesInPixelsAt96Dpi) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    const auto check = [&](const char* name, int index, forms::PixelRect px, bool visible) {
        const auto id = m.Find(name, static_cast<std::int16_t>(index));
        EXPECT_EQ(forms::ToPixels(m.Control(id).rect, forms::kLayoutDpi), px) << name << "(" << index << ")";
        EXPECT_EQ(m.Visible(id), visible) << name << "(" << index << ")";
    };
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
        {"Label2", -1, {112, 528, 161, 25}, true},     {"CountryPic", 0, {8, 400, 25, 33}, true},
        {"CountryImage", 0, {8, 440, 21, 29}, true},
    };
    for (const auto& c : cases) check(c.name, c.index, c.px, c.visible);
    // The shown languages' rows from the top in the description's order, then the hidden
    // ones' below them, in theirs.
    int row = 0;
    for (bool shown : {true, false}) {
        for (const product::Language* l : facts::Languages(shown)) {
            check("CountryImage", l->code, Row(row), shown);
            check("CountryPic", l->code, Row(row), shown);
            ++row;
        }
    }
    EXPECT_LE(Row(static_cast<int>(facts::Shown().size()) - 1).y + 45, 432) << "the rows end above the exit button";
    EXPECT_EQ(forms::TwipsToPixels(chooser::kFrmAutoSelect.clientWidth, forms::kLayoutDpi), 792);
    EXPECT_EQ(forms::TwipsToPixels(chooser::kFrmAutoSelect.clientHeight, forms::kLayoutDpi), 573);
}

TEST(Layout, EachNormalFaceLiesInFrontOfItsHighlightedFaceOnTheSameRectangle) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    for (const product::Language& l : product::kLanguages) {
        const std::int16_t i = l.code;
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
    // Rounded to the nearest pixel, halves away from zero: truncating would put the window off centre.
    const struct {
        float twips;
        int dpi, pixels;
    } cases[] = {{7.0f, 96, 0},      {7.5f, 96, 1},     {22.4f, 96, 1},      {22.5f, 96, 2},
                 {1695.0f, 96, 113}, {-7.5f, 96, -1},   {-1185.0f, 96, -79}, {60.0f, 168, 7},
                 {30.0f, 168, 4},    {-30.0f, 168, -4}, {29.9f, 168, 3},     {1440.0f, 110, 110}};
    for (const auto& c : cases) EXPECT_EQ(forms::TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    // Edges are converted, so neighbours still meet without a gap.
    const auto a = forms::ToPixels({0, 0, 1035, 1035}, 120), b = forms::ToPixels({1035, 0, 1035, 1035}, 120);
    EXPECT_EQ(a.x + a.w, b.x);
}

TEST(Geometry, ThePointerInTwipsIsTheLargestFloatNotPastItsPixel) {
    const struct {
        int pixels, dpi;
        float twips;
    } cases[] = {
        {0, 168, 0.0f},           {1, 96, 15.0f},           {-3, 96, -45.0f},        {100000, 96, 1500000.0f},
        {252, 168, 2160.0f},      {1, 168, 0x1.124924p+3f}, {-1, 168, -0x1.124926p+3f},
        {3, 110, 0x1.3a2e8ap+5f}, {-5, 288, -25.0f},
    };
    for (const auto& c : cases)
        EXPECT_EQ(forms::PointerTwips(c.pixels, c.dpi), c.twips) << c.pixels << " at " << c.dpi;
}

}  // namespace
