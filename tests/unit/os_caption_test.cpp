// The operating-system caption's decision table.
#include <gtest/gtest.h>

#include "chooser/os_caption.h"
#include "fake_runtime.h"

namespace {

forms::OsVersion Version(int platform, int major, int minor, const std::wstring& csd = L"") {
    forms::OsVersion v;
    v.platform = platform, v.major = major, v.minor = minor;
    v.csd.replace(0, csd.size(), csd);
    return v;
}

TEST(OsCaption, DecisionTable) {
    const struct {
        forms::OsVersion v;
        std::vector<std::wstring> set;  // every caption set, in order
    } cases[] = {
        {Version(0, 3, 10, L"Win32s 1.3"), {L"Microsoft Win32s "}},
        {Version(0, 9, 9), {L"Microsoft Win32s "}},
        {Version(1, 4, 0), {L"Microsoft Windows 95 "}},
        {Version(1, 4, 0, L" C"), {L"Microsoft Windows 95 ", L"OSR2 "}},
        {Version(1, 4, 0, L" B"), {L"Microsoft Windows 95 "}},
        {Version(1, 4, 0, L"C"), {L"Microsoft Windows 95 "}},  // the letter is the second character
        {Version(1, 4, 0, L" c"), {L"Microsoft Windows 95 "}},
        {Version(1, 4, 10, L" A "), {L"Microsoft Windows 98 SE"}},
        {Version(1, 4, 10), {L"Microsoft Windows 98"}},
        {Version(1, 4, 10, L" a"), {L"Microsoft Windows 98"}},
        {Version(1, 4, 90, L" A "), {L"Microsoft Windows Me "}},
        {Version(1, 4, 90, L" "), {L"Microsoft Windows Me "}},
        {Version(1, 4, 3), {}},
        {Version(1, 5, 0), {}},
        {Version(2, 3, 51, L"Service Pack 5"), {L"Microsoft Windows NT "}},
        {Version(2, 4, 0, L"Service Pack 6a"), {L"Microsoft Windows NT "}},
        {Version(2, -1, 7), {L"Microsoft Windows NT "}},
        {Version(2, 5, 0), {L"Microsoft Windows 2000 "}},
        {Version(2, 5, 1, L"Service Pack 3"), {L"Windows XP"}},
        {Version(2, 5, 2), {}},
        {Version(2, 6, 0), {}},
        {Version(2, 10, 0), {}},
        {Version(3, 4, 0), {}},
        {Version(-1, 4, 0), {}},
        {forms::OsVersion{}, {L"Microsoft Win32s "}},  // a failed call leaves the record zeroed
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        rt.version = c.v;
        chooser::ShowOperatingSystem(rt);
        EXPECT_EQ(rt.captions, c.set) << c.v.platform << " " << c.v.major << "." << c.v.minor << " '"
                                      << Narrow(c.v.csd.c_str()) << "'";
    }
}

TEST(OsCaption, TrailingBlanksArePartOfTheCaption) {
    FakeRuntime rt;
    rt.version = Version(2, 4, 0);
    chooser::ShowOperatingSystem(rt);
    EXPECT_EQ(rt.captions.at(0).size(), 21u);
    EXPECT_EQ(rt.Model().Caption(rt.Model().Find("Label3")), L"Microsoft Windows NT ");
}

}  // namespace
