// RunSetup's language table and the backslash rule.
#include <gtest/gtest.h>

#include "fake_runtime.h"
#include "launcher/mod_select.h"

namespace {

struct PathCase {
    std::wstring folder;
    std::wstring code;
    std::wstring started;  // empty: nothing starts
};

TEST(RunSetup, BuildsThePathFromTheProgramFolderAndTheCode) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'd');
    const PathCase cases[] = {
        {L"E:\\", L"1", L"E:\\TradChin_link\\Setup.exe"},
        {L"E:\\", L"2", L"E:\\SimpChin_link\\Setup.exe"},
        {L"E:\\", L"3", L"E:\\English_link\\Setup.exe"},
        {L"E:\\", L"7", L"E:\\Japanese_link\\Setup.exe"},
        {L"E:\\Menu", L"3", L"E:\\Menu\\English_link\\Setup.exe"},
        {L"E:\\Menu", L"1", L"E:\\Menu\\TradChin_link\\Setup.exe"},
        {L"E:\\Menu", L"2", L"E:\\Menu\\SimpChin_link\\Setup.exe"},
        {L"E:\\Menu", L"7", L"E:\\Menu\\Japanese_link\\Setup.exe"},
        {L"", L"3", L"\\English_link\\Setup.exe"},
        {L"E:\\My Menu", L"3", L"E:\\My Menu\\English_link\\Setup.exe"},  // passed as it is, not quoted
        {L"D:\\\u5B89\u88DD\u5149\u789F", L"2", L"D:\\\u5B89\u88DD\u5149\u789F\\SimpChin_link\\Setup.exe"},
        {deep, L"3", deep + L"\\English_link\\Setup.exe"},
        {L"\\\\server\\share", L"1", L"\\\\server\\share\\TradChin_link\\Setup.exe"},
        {L"E:\\Menu", L"0", L""},
        {L"E:\\Menu", L"4", L""},
        {L"E:\\Menu", L"03", L""},   // compared exactly
        {L"E:\\Menu", L"3 ", L""},
        {L"E:\\Menu", L"", L""},
    };
    for (const PathCase& c : cases) {
        FakeRuntime rt;
        rt.appPath = c.folder;
        const auto outcome = ModSelect::RunSetup(rt, c.code);
        if (c.started.empty()) {
            EXPECT_TRUE(rt.started.empty()) << Narrow(c.code);
            EXPECT_EQ(outcome, ModSelect::Outcome::NoSetup);
            EXPECT_TRUE(rt.log.empty()) << "nothing is read for an unknown code";
        } else {
            EXPECT_EQ(rt.started, std::vector<std::wstring>{c.started}) << Narrow(c.folder);
            // It starts in its own folder: the path without the program's name.
            EXPECT_EQ(rt.startedIn, std::vector<std::wstring>{c.started.substr(0, c.started.rfind(L'\\'))});
            EXPECT_EQ(outcome, ModSelect::Outcome::Started);
        }
    }
}

TEST(RunSetup, StartsWithANormalFocusedWindow) {
    FakeRuntime rt;
    ModSelect::RunSetup(rt, L"3");
    EXPECT_EQ(rt.log.back(), "Shell E:\\Menu\\English_link\\Setup.exe 1");
}

}  // namespace
