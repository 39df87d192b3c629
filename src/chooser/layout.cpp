#include "chooser/layout.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "chooser/controls.h"
#include "chooser/rows.h"
#include "forms/form.h"
#include "product.h"
#include "design.h"

namespace chooser {
namespace {

using forms::ControlKind;
using forms::ControlSpec;
using forms::Font;
using forms::kNoIndex;
using forms::MousePointer;

constexpr Font kFormFont{L"MS Sans Serif", 8.25f, 400, 0};
constexpr Font kTitleFont{L"MS Sans Serif", design::kHeadingPoints, 400, 0};
constexpr Font kBoldFont{L"MS Sans Serif", design::kOsCaptionPoints, 700, 0};
constexpr Font kChineseFont{L"\u65B0\u7D30\u660E\u9AD4", 9.0f, 400, 136};  // writes nothing here

constexpr float Twips(int pixels) { return static_cast<float>(pixels * design::kTwipsPerPixel); }

// A picture's rectangle at its own size, its top-left corner at (l, t) in twips.
constexpr forms::TwipRect At(float l, float t, design::Size size) {
    return {l, t, Twips(size.width), Twips(size.height)};
}

constexpr forms::TwipRect Rect(design::Rect r) {
    return {static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.width),
            static_cast<float>(r.height)};
}

constexpr ControlSpec Image(const char* name, float l, float t, design::Size size, bool visible, int picture,
                            bool stretch = false) {
    return {name, kNoIndex, ControlKind::Image, At(l, t, size), visible, MousePointer::Default,
            picture, 0, nullptr, kFormFont, stretch};
}

constexpr ControlSpec Label(const char* name, forms::TwipRect rect, const wchar_t* caption, Font font) {
    return {name, kNoIndex, ControlKind::Label, rect, true, MousePointer::Default, 0, 0, caption, font, false};
}

// One language picture: both faces share a rectangle, the normal one in front.
constexpr ControlSpec Face(const char* array, std::int16_t index, int picture, forms::TwipRect rect, bool visible) {
    return {array, index, ControlKind::Image, rect, visible, MousePointer::Custom, picture, IDC_HAND_CURSOR,
            nullptr, kFormFont, false};
}

// Members 0: the designer's first members of the two arrays, left in place with no
// picture when the languages were added after them. They draw nothing and have no
// pointer of their own, but take events: a press on CountryPic(0) unloads the window
// without starting anything.
constexpr ControlSpec Empty(const char* array, float l, float t, float w, float h) {
    return {array, 0, ControlKind::Image, {l, t, w, h}, true, MousePointer::Default, 0, 0, nullptr, kFormFont,
            false};
}

// The languages are the product's: the shown ones take the rows from the top in
// the description's order, a row pitch apart, a column of them beside another
// where one column does not hold them; the hidden ones are carried in the rows
// below (chooser/rows.h).
constexpr size_t kLanguages = std::size(product::kLanguages);
constexpr std::array<bool, kLanguages> kShown = [] {
    std::array<bool, kLanguages> shown{};
    for (size_t i = 0; i < kLanguages; ++i) shown[i] = product::kLanguages[i].shown;
    return shown;
}();
constexpr int kShownRows = static_cast<int>(std::count(kShown.begin(), kShown.end(), true));
static_assert(kShownRows >= 1 && kShownRows <= design::kMostShownRows, "the rows must fit above the exit button");

constexpr rows::Place PlaceOf(size_t language) { return rows::PlaceOf(kShown, language, design::kRowsPerColumn); }

constexpr forms::TwipRect FaceRect(size_t language) {
    const rows::Place p = PlaceOf(language);
    return At(static_cast<float>(design::kRowsLeft + design::kColumnPitch * p.column),
              static_cast<float>(design::kRowsTop + design::kRowPitch * p.row), design::kFace);
}

// The languages in reading order: down each column, the left one first, the
// hidden ones after the shown ones.
constexpr std::array<size_t, kLanguages> kReadingOrder = [] {
    std::array<size_t, kLanguages> order{};
    for (size_t i = 0; i < kLanguages; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [](size_t a, size_t b) {
        const rows::Place pa = PlaceOf(a), pb = PlaceOf(b);
        return pa.column != pb.column ? pa.column < pb.column : pa.row < pb.row;
    });
    return order;
}();

// Back to front within each layer.
constexpr auto kControls = [] {
    std::array<ControlSpec, 2 * kLanguages + 11> c{};
    size_t n = 0;
    // The faces stacked from the last in reading order (the bottom row) to the first.
    for (size_t k = kLanguages; k-- > 0;) {
        const product::Language& l = product::kLanguages[kReadingOrder[k]];
        c[n++] = Face(kCountryPic, l.code, design::HighlightedFaceId(l.code), FaceRect(kReadingOrder[k]), l.shown);
    }
    for (size_t k = kLanguages; k-- > 0;) {
        const product::Language& l = product::kLanguages[kReadingOrder[k]];
        c[n++] = Face(kCountryImage, l.code, design::NormalFaceId(l.code), FaceRect(kReadingOrder[k]), l.shown);
    }
    c[n++] = Label(kLabel2, {1680, 7920, 2415, 375}, L"Your operating system is : ", kBoldFont);
    c[n++] = Label(kLabel3, Rect(design::kOsCaptionLabel), nullptr, kBoldFont);
    c[n++] = Image(kImage2, 9360, 7320, design::kImage2, true, IDB_IMAGE2, /*stretch=*/true);
    c[n++] = Empty(kCountryImage, 120, 6600, 315, 435);
    c[n++] = Empty(kCountryPic, 120, 6000, 375, 495);
    c[n++] = Image(kImage3, 5400, 6480, design::kImage3, false, IDB_IMAGE3);
    c[n++] = Image(kImage4, 1560, 1080, design::kImage4, true, IDB_IMAGE4);
    c[n++] = Label(kLabel1, Rect(design::kHeadingLabel), product::kHeading, kTitleFont);
    c[n++] = Image(kImage1, 9720, 7800, design::kImage1, true, IDB_IMAGE1);
    // Child windows.
    c[n++] = {kPicture1, kNoIndex, ControlKind::PictureBox, {10800, 0, 1095, 1095}, false, MousePointer::Default,
              IDB_PICTURE1, 0, nullptr, kChineseFont, false};
    c[n++] = {kCommand1, kNoIndex, ControlKind::CommandButton, {2160, 6480, 2895, 615}, true, MousePointer::Custom,
              IDB_COMMAND1, IDC_HAND_CURSOR, nullptr, kChineseFont, false};
    return c;
}();

using forms::AccessibleRole;

// What a screen reader reads, top to bottom, the languages in reading order
// (down the left column, then down the next). A language is named by the words
// its picture shows. The pressable face of a language is the highlighted one,
// which stays visible while the normal face in front of it comes and goes.
constexpr auto kAccessible = [] {
    std::array<forms::AccessibleItem, kLanguages + 4> items{};
    size_t n = 0;
    items[n++] = {AccessibleRole::Text, kLabel1, kNoIndex, nullptr, nullptr, nullptr};
    items[n++] = {AccessibleRole::Picture, kImage4, kNoIndex, L"Please Select Language:", nullptr, nullptr};
    for (size_t i : kReadingOrder) {
        const product::Language& l = product::kLanguages[i];
        items[n++] = {AccessibleRole::PressablePicture, kCountryPic, l.code, l.words, l.name, nullptr};
    }
    items[n++] = {AccessibleRole::Button, kCommand1, kNoIndex, L"Exit Setup", nullptr, nullptr};
    items[n++] = {AccessibleRole::Text, kLabel2, kNoIndex, nullptr, nullptr, kLabel3};
    return items;
}();

}  // namespace

const forms::FormSpec kFrmAutoSelect{
    "FrmAutoSelect", product::kCaption, 11880, 8595, IDI_FILE_ICON_GROUP,
    forms::FormPointer::Crosshair, kFormFont, kControls, kAccessible,
};

forms::ControlRef CountryImage(std::int16_t index) {
    static const forms::ControlArray members(kFrmAutoSelect, kCountryImage);
    return members(index);
}

forms::ControlRef CountryPic(std::int16_t index) {
    static const forms::ControlArray members(kFrmAutoSelect, kCountryPic);
    return members(index);
}

forms::ControlRef Label3() {
    static const forms::ControlRef label = forms::FindControl(kFrmAutoSelect, kLabel3);
    return label;
}

forms::ControlRef Picture1() {
    static const forms::ControlRef box = forms::FindControl(kFrmAutoSelect, kPicture1);
    return box;
}

std::span<const std::int16_t> OfferedLanguages() {
    static const std::vector<std::int16_t> offered = [] {
        std::vector<const ControlSpec*> faces;
        for (const ControlSpec& c : kControls) {
            if (std::string_view(c.name) == kCountryImage && c.picture && c.visible) faces.push_back(&c);
        }
        // Reading order: down the left column, then down the next.
        std::sort(faces.begin(), faces.end(), [](auto* a, auto* b) {
            return a->rect.left != b->rect.left ? a->rect.left < b->rect.left : a->rect.top < b->rect.top;
        });
        std::vector<std::int16_t> indexes;
        for (const ControlSpec* c : faces) indexes.push_back(c->index);
        return indexes;
    }();
    return offered;
}

}  // namespace chooser
