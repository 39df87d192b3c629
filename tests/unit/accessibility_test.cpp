// What a screen reader is told of the chooser window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chooser/layout.h"
#include "forms/accessibility.h"
#include "product_facts.h"

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
    struct Item {
        AccessibleRole role;
        std::wstring name, description;
        const char* control;
        int index;
    };
    std::vector<Item> expected{
        {AccessibleRole::Text, product::kHeading, L"", "Label1", -1},
        {AccessibleRole::Picture, L"Please Select Language:", L"", "Image4", -1},
    };
    // Each shown language from the top, named by its words and described by its English name.
    for (const product::Language* l : facts::Shown())
        expected.push_back({AccessibleRole::PressablePicture, l->words, l->name, "CountryPic", l->code});
    expected.push_back({AccessibleRole::Button, L"Exit Setup", L"", "Command1", -1});
    expected.push_back({AccessibleRole::Text, L"Your operating system is : Windows 10 ", L"", "Label2", -1});
    ASSERT_EQ(nodes.size(), expected.size());
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
    const auto shown = facts::Shown();
    const size_t before = forms::AccessibleChildren(m).size();
    m.SetVisible(m.Find("CountryImage", shown.front()->code), false);  // the first language lit under the pointer
    EXPECT_EQ(forms::AccessibleChildren(m).size(), before);
    m.SetVisible(m.Find("CountryPic", shown.back()->code), false);
    const auto names = Names(m);
    EXPECT_EQ(names.size(), before - 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), std::wstring(shown.back()->words)), 0);
    // A hidden language, once shown, reads after the shown ones (the heading and the prompt first).
    for (const product::Language* hidden : facts::Hidden()) {
        m.SetVisible(m.Find("CountryPic", hidden->code), true);
        EXPECT_EQ(Names(m).at(2 + shown.size() - 1), hidden->words) << "code " << hidden->code;
        m.SetVisible(m.Find("CountryPic", hidden->code), false);
    }
}

TEST(Accessibility, OnlyPressableItemsHaveADefaultAction) {
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::PressablePicture)), L"Press");
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::Button)), L"Press");
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::Text)), L"");
    EXPECT_EQ(std::wstring(forms::DefaultActionOf(AccessibleRole::Picture)), L"");
}

}  // namespace
