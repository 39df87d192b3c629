// The operating-system caption's decision table.
#include <gtest/gtest.h>

#include "chooser/os_caption.h"
#include "fake_runtime.h"

namespace {

forms::OsVersion Version(int platform, int major, int minor, const std::wstring& csd = L"", unsigned build = 0) {
    forms::OsVersion v;
    v.platform = platform, v.major = major, v.minor = minor, v.build = build;
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
        chooser::ShowOperatingSystem(rt, {});  // the built-in table alone, whatever the product adds
        EXPECT_EQ(rt.captions, c.set) << c.v.platform << " " << c.v.major << "." << c.v.minor << " '"
                                      << Narrow(c.v.csd.c_str()) << "'";
    }
}

// A product's own captions for newer Windows: by major and minor version, the
// row with the highest build the running Windows has reached; never for a
// version the built-in table names, nor on Windows 95 to Me.
TEST(OsCaption, AProductsCaptionsForNewerWindows) {
    const product::OsCaption rows[] = {
        {10, 0, 22000, L"Windows 11"}, {10, 0, 0, L"Windows 10"}, {6, 1, 7600, L"Windows 7"}, {5, 1, 0, L"Not XP"}};
    const struct {
        forms::OsVersion v;
        std::vector<std::wstring> set;
    } cases[] = {
        {Version(2, 10, 0, L"", 19045), {L"Windows 10"}},
        {Version(2, 10, 0, L"", 21999), {L"Windows 10"}},
        {Version(2, 10, 0, L"", 22000), {L"Windows 11"}},
        {Version(2, 10, 0, L"", 26100), {L"Windows 11"}},
        {Version(2, 6, 1, L"Service Pack 1", 7601), {L"Windows 7"}},
        {Version(2, 6, 1, L"", 7000), {}},  // before the lowest build named
        {Version(2, 6, 2, L"", 9200), {}},
        {Version(2, 10, 1, L"", 22000), {}},
        {Version(2, 5, 1, L"", 2600), {L"Windows XP"}},
        {Version(1, 10, 0, L"", 22000), {}},
        {Version(0, 10, 0, L"", 22000), {L"Microsoft Win32s "}},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        rt.version = c.v;
        chooser::ShowOperatingSystem(rt, rows);
        EXPECT_EQ(rt.captions, c.set) << c.v.platform << " " << c.v.major << "." << c.v.minor << "." << c.v.build;
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
