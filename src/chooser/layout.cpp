#include "chooser/layout.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "chooser/controls.h"
#include "forms/form.h"
#include "resources/resource_ids.h"

namespace chooser {
namespace {

using forms::ControlKind;
using forms::ControlSpec;
using forms::Font;
using forms::kNoIndex;
using forms::MousePointer;

constexpr Font kFormFont{L"MS Sans Serif", 8.25f, 400, 0};
constexpr Font kTitleFont{L"MS Sans Serif", 24.0f, 400, 0};
constexpr Font kBoldFont{L"MS Sans Serif", 8.25f, 700, 0};
constexpr Font kChineseFont{L"\u65B0\u7D30\u660E\u9AD4", 9.0f, 400, 136};  // writes nothing here

constexpr ControlSpec Image(const char* name, float l, float t, float w, float h, bool visible, int picture,
                            bool stretch = false) {
    return {name, kNoIndex, ControlKind::Image, {l, t, w, h}, visible, MousePointer::Default,
            picture, 0, nullptr, kFormFont, stretch};
}

constexpr ControlSpec Label(const char* name, float l, float t, float w, float h, const wchar_t* caption,
                            Font font) {
    return {name, kNoIndex, ControlKind::Label, {l, t, w, h}, true, MousePointer::Default, 0, 0, caption, font,
            false};
}

// One language picture: both faces share a rectangle, the normal one in front.
constexpr ControlSpec Face(const char* array, std::int16_t index, int pictureBase, float top, bool visible) {
    return {array, index, ControlKind::Image, {2160, top, 3675, 675}, visible, MousePointer::Custom,
            pictureBase + index, IDC_HAND_CURSOR, nullptr, kFormFont, false};
}

// Members 0: the designer's first members of the two arrays, left in place with no
// picture when the languages were added as 1, 2, 3 and 7. They draw nothing and
// have no pointer of their own, but take events: a press on CountryPic(0) unloads
// the window without starting anything.
constexpr ControlSpec Empty(const char* array, float l, float t, float w, float h) {
    return {array, 0, ControlKind::Image, {l, t, w, h}, true, MousePointer::Default, 0, 0, nullptr, kFormFont,
            false};
}

// Back to front within each layer.
constexpr ControlSpec kControls[] = {
    Face(kCountryPic, 7, IDB_COUNTRYPIC_BASE, 4200, false),
    Face(kCountryPic, 3, IDB_COUNTRYPIC_BASE, 3480, true),
    Face(kCountryPic, 2, IDB_COUNTRYPIC_BASE, 2760, true),
    Face(kCountryPic, 1, IDB_COUNTRYPIC_BASE, 2040, true),
    Face(kCountryImage, 7, IDB_COUNTRYIMAGE_BASE, 4200, false),
    Face(kCountryImage, 3, IDB_COUNTRYIMAGE_BASE, 3480, true),
    Face(kCountryImage, 2, IDB_COUNTRYIMAGE_BASE, 2760, true),
    Face(kCountryImage, 1, IDB_COUNTRYIMAGE_BASE, 2040, true),
    Label(kLabel2, 1680, 7920, 2415, 375, L"Your operating system is : ", kBoldFont),
    Label(kLabel3, 3960, 7920, 3135, 375, nullptr, kBoldFont),
    Image(kImage2, 9360, 7320, 2565, 1290, true, IDB_IMAGE2, /*stretch=*/true),
    Empty(kCountryImage, 120, 6600, 315, 435),
    Empty(kCountryPic, 120, 6000, 375, 495),
    Image(kImage3, 5400, 6480, 3015, 915, false, IDB_IMAGE3),
    Image(kImage4, 1560, 1080, 3015, 915, true, IDB_IMAGE4),
    Label(kLabel1, 960, 480, 10935, 615, L"Kestrin USB 2.0 Velbrook Cable", kTitleFont),
    Image(kImage1, 9720, 7800, 1995, 420, true, IDB_IMAGE1),
    // Child windows.
    {kPicture1, kNoIndex, ControlKind::PictureBox, {10800, 0, 1095, 1095}, false, MousePointer::Default,
     IDB_PICTURE1, 0, nullptr, kChineseFont, false},
    {kCommand1, kNoIndex, ControlKind::CommandButton, {2160, 6480, 2895, 615}, true, MousePointer::Custom,
     IDB_COMMAND1, IDC_HAND_CURSOR, nullptr, kChineseFont, false},
};

using forms::AccessibleRole;

// What a screen reader reads, top to bottom. A language is named by the words
// its picture shows. The pressable face of a language is the highlighted one,
// which stays visible while the normal face in front of it comes and goes.
constexpr forms::AccessibleItem kAccessible[] = {
    {AccessibleRole::Text, kLabel1, kNoIndex, nullptr, nullptr, nullptr},
    {AccessibleRole::Picture, kImage4, kNoIndex, L"Please Select Language:", nullptr, nullptr},
    {AccessibleRole::PressablePicture, kCountryPic, 1, L"\u7E41\u9AD4\u4E2D\u570B\u8A9E", L"Traditional Chinese",
     nullptr},
    {AccessibleRole::PressablePicture, kCountryPic, 2, L"\u7C21\u4F53\u4E2D\u56FD\u8A9E", L"Simplified Chinese",
     nullptr},
    {AccessibleRole::PressablePicture, kCountryPic, 3, L"English", L"English", nullptr},
    {AccessibleRole::PressablePicture, kCountryPic, 7, L"\u65E5\u672C\u8A9E", L"Japanese", nullptr},
    {AccessibleRole::Button, kCommand1, kNoIndex, L"Exit Setup", nullptr, nullptr},
    {AccessibleRole::Text, kLabel2, kNoIndex, nullptr, nullptr, kLabel3},
};

}  // namespace

const forms::FormSpec kFrmAutoSelect{
    "FrmAutoSelect", L"Kestrin USB 2.0 Velbrook Cable", 11880, 8595, IDI_FILE_ICON_GROUP,
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
        std::sort(faces.begin(), faces.end(), [](auto* a, auto* b) { return a->rect.top < b->rect.top; });
        std::vector<std::int16_t> indexes;
        for (const ControlSpec* c : faces) indexes.push_back(c->index);
        return indexes;
    }();
    return offered;
}

}  // namespace chooser
