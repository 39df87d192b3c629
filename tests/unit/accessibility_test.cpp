// What a screen reader is told of the chooser window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chooser/layout.h"
#include "forms/accessibility.h"

namespace {

using forms::AccessibleRole;

std::vector<std::wstring> Names(const forms::FormModel& m) {
    std::vector<std::wstring> names;
    for (const auto& node : forms::AccessibleChildren(m)) names.push_back(node.name);
    return names;
}

TEST(Accessibility, TheWindowReadsTopToBottomWithTheOfferedLanguagesOnly) {
    forms::FormModel m(chooser::kFrmAutoSelect);
    m.SetCaption(m.Find("Label3"), L"Windows 10 ");
    const auto nodes = forms::AccessibleChildren(m);
    const struct {
        AccessibleRole role;
        std::wstring name, description;
        const char* control;
        int index;
    } expected[] = {
        {AccessibleRole::Text, L"Kestrin USB 2.0 Velbrook Cable", L"", "Label1", -1},
        {AccessibleRole::Picture, L"Please Select Language:", L"", "Image4", -1},
        {AccessibleRole::PressablePicture, L"\u7E41\u9AD4\u4E2D\u570B\u8A9E", L"Traditional Chinese", "CountryPic", 1},
        {AccessibleRole::PressablePicture, L"\u7C21\u4F53\u4E2D\u56FD\u8A9E", L"Simplified Chinese", "CountryPic", 2},
        {AccessibleRole::PressablePicture, L"English", L"English", "CountryPic", 3},
        {AccessibleRole::Button, L"Exit Setup", L"", "Command1", -1},
        {AccessibleRole::Text, L"Your operating system is : Windows 10 ", L"", "Label2", -1},
    };
    ASSERT_EQ(nodes.size(), std::size(expected));
    for (size_t i = 0; i < nodes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(nodes[i].role, expected[i].role);
        EXPECT_EQ(nodes[i].name, expected[i].name);
        EXPECT_EQ(nodes[i].description, expected[i].description);
        EXPECT_EQ(nodes[i].control, m.Find(expected[i].control, static_cast<std::int16_t>(expected[i].index)));
    }
}

TEST(Accessibility, TheOperatingSystemLineSpansBothLabels) {
    forms::FormModel m(chooser::kFrmAutoSelect);
    m.SetCaption(m.Find("Label3"), L"Windows XP Service Pack 3");
    const auto line = forms::AccessibleChildren(m).back();
    const auto& label2 = m.Control(m.Find("Label2")).rect;
    const auto& label3 = m.Control(m.Find("Label3")).rect;
    EXPECT_EQ(line.name, L"Your operating system is : Windows XP Service Pack 3");
    EXPECT_FLOAT_EQ(line.rect.left, label2.left);
    EXPECT_FLOAT_EQ(line.rect.Right(), label3.Right());
    EXPECT_FLOAT_EQ(line.rect.top, label2.top);
    EXPECT_FLOAT_EQ(line.rect.height, label2.height);
}

TEST(Accessibility, ALitLanguageStaysListedAndOnlyVisibleItemsAreListed) {
    forms::FormModel m(chooser::kFrmAutoSelect);
    const size_t before = forms::AccessibleChildren(m).size();
    m.SetVisible(m.Find("CountryImage", 3), false);  // English lit under the pointer
    EXPECT_EQ(forms::AccessibleChildren(m).size(), before);
    m.SetVisible(m.Find("CountryPic", 2), false);
    const auto names = Names(m);
    EXPECT_EQ(names.size(), before - 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), L"\u7C21\u4F53\u4E2D\u56FD\u8A9E"), 0);
    m.SetVisible(m.Find("CountryPic", 7), true);
    EXPECT_EQ(Names(m)[4], L"\u65E5\u672C\u8A9E") << "Japanese, once shown, reads after English";
}

TEST(Accessibility, OnlyPressableItemsHaveADefaultAction) {
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::PressablePicture)), L"Press");
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::Button)), L"Press");
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::Text)), L"");
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::Picture)), L"");
}

}  // namespace
