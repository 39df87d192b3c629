// The stored layout, checked in pixels at 96 dpi.
#include <gtest/gtest.h>

#include <set>
#include <span>
#include <string>
#include <vector>

#include "chooser/layout.h"
#include "chooser/rows.h"
#include "form_checks.h"
#include "forms/form.h"
#include "product_facts.h"
#include "resources/resource_ids.h"

namespace {

// Where the faces of a row stand: the rows are 48 pixels apart from y = 136, the
// second column 288 pixels right of the first.
forms::PixelRect Row(int row, int column = 0) {
    using namespace design;
    return {(kRowsLeft + kColumnPitch * column) / kTwipsPerPixel, (kRowsTop + kRowPitch * row) / kTwipsPerPixel,
            kFace.width, kFace.height};
}

// The k-th shown language's row: down the first column, then the second.
forms::PixelRect ShownRow(int k) { return Row(k % design::kRowsPerColumn, k / design::kRowsPerColumn); }

// The hidden languages' rows: below the last shown one, in its column.
forms::PixelRect HiddenRow(int k) {
    const int shown = static_cast<int>(facts::Shown().size()), column = (shown - 1) / design::kRowsPerColumn;
    return Row(shown - column * design::kRowsPerColumn + k, column);
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
        const forms::PixelRect r = ShownRow(row++);
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
    row = 0;
    for (const product::Language* l : facts::Hidden()) {
        const forms::PixelRect r = HiddenRow(row++);
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
    for (bool shown : {true, false}) {
        int row = 0;
        for (const product::Language* l : facts::Languages(shown)) {
            const forms::PixelRect r = shown ? ShownRow(row) : HiddenRow(row);
            check("CountryImage", l->code, r, shown);
            check("CountryPic", l->code, r, shown);
            ++row;
        }
    }
    EXPECT_EQ(forms::TwipsToPixels(chooser::kFrmAutoSelect.clientWidth, forms::kLayoutDpi), 792);
    EXPECT_EQ(forms::TwipsToPixels(chooser::kFrmAutoSelect.clientHeight, forms::kLayoutDpi), 573);
}

TEST(Layout, EveryPlaceARowCanTakeLiesInTheWindowClearOfEveryOtherVisibleControl) {
    // Each of the most rows a product may show, in either column, at 100 % and at 200 %:
    // inside the client area and overlapping neither another row nor the prompt, the exit
    // button, the labels, the word mark, the maker's logo and the pictureless members.
    using namespace design;
    const forms::FormSpec& form = chooser::kFrmAutoSelect;
    const auto apart = [](const forms::PixelRect& a, const forms::PixelRect& b) {
        return a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
    };
    for (int dpi : {96, 192}) {
        const forms::PixelRect client = forms::ToPixels({0, 0, form.clientWidth, form.clientHeight}, dpi);
        std::vector<forms::PixelRect> faces;
        for (int k = 0; k < kMostShownRows; ++k) {
            faces.push_back(forms::ToPixels({static_cast<float>(kRowsLeft + kColumnPitch * (k / kRowsPerColumn)),
                                             static_cast<float>(kRowsTop + kRowPitch * (k % kRowsPerColumn)),
                                             static_cast<float>(kFace.width * kTwipsPerPixel),
                                             static_cast<float>(kFace.height * kTwipsPerPixel)},
                                            dpi));
        }
        for (size_t k = 0; k < faces.size(); ++k) {
            const forms::PixelRect& face = faces[k];
            EXPECT_TRUE(face.x >= 0 && face.y >= 0 && face.x + face.w <= client.w && face.y + face.h <= client.h)
                << "row " << k << " at " << dpi << " dpi";
            for (size_t j = 0; j < k; ++j) EXPECT_TRUE(apart(face, faces[j])) << "rows " << j << " and " << k;
            for (const forms::ControlSpec& c : form.controls) {
                const std::string name = c.name;
                if (!c.visible || ((name == "CountryImage" || name == "CountryPic") && c.index != 0)) continue;
                EXPECT_TRUE(apart(face, forms::ToPixels(c.rect, dpi)))
                    << "row " << k << " at " << dpi << " dpi overlaps " << forms::ControlName(c.name, c.index);
            }
        }
    }
}

// Which column and row each language of a list takes (S shown, h hidden, in the
// description's order): lists the configured product may not have.
TEST(Layout, TheShownFillTheFirstColumnThenTheSecondAndTheHiddenFollowTheLastShown) {
    using P = chooser::rows::Place;
    const struct {
        const char* list;
        std::vector<P> places;
    } cases[] = {
        {"S", {{0, 0}}},
        {"ShS", {{0, 0}, {0, 2}, {0, 1}}},
        {"SShSSSS", {{0, 0}, {0, 1}, {0, 6}, {0, 2}, {0, 3}, {0, 4}, {0, 5}}},  // six: one column, as ever
        {"hSSSSSShS", {{1, 1}, {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 2}, {1, 0}}},  // the seventh
        {"SSSSSShSSSSSSh",
         {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 6}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5},
          {1, 7}}},
    };
    for (const auto& c : cases) {
        const std::string list = c.list;
        bool shown[16]{};
        for (size_t i = 0; i < list.size(); ++i) shown[i] = list[i] == 'S';
        const std::span<const bool> flags(shown, list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            const P p = chooser::rows::PlaceOf(flags, i, 6);
            EXPECT_EQ(p, c.places[i]) << list << " at " << i << ": column " << p.column << ", row " << p.row;
        }
    }
}

TEST(Layout, EachNormalFaceLiesInFrontOfItsHighlightedFaceOnTheSameRectangle) {
    const forms::FormModel m(chooser::kFrmAutoSelect);
    for (const product::Language& l : product::kLanguages) {
        const std::int16_t i = l.code;
        const auto normal = m.Find("CountryImage", i), highlighted = m.Find("CountryPic", i);
        EXPECT_GT(normal, highlighted) << i;
        const auto a = m.Control(normal).rect, b = m.Control(highlighted).rect;
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height) << i;
        // Codes from 10 on take ids past the first ranges, which hold ten each.
        const bool more = i >= 10;
        EXPECT_EQ(m.Control(normal).picture, (more ? IDB_COUNTRYIMAGE_MORE : IDB_COUNTRYIMAGE_BASE) + i);
        EXPECT_EQ(m.Control(highlighted).picture, (more ? IDB_COUNTRYPIC_MORE : IDB_COUNTRYPIC_BASE) + i);
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
