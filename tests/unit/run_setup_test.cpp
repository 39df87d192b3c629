// RunSetup's language table and the backslash rule.
#include <gtest/gtest.h>

#include "fake_runtime.h"
#include "launcher/mod_select.h"
#include "product_facts.h"

namespace {

TEST(RunSetup, BuildsThePathFromTheProgramFolderAndTheCode) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'd');
    // The menu's folder, and what comes before a language's folder: a backslash only
    // where the menu's folder does not end in one already.
    const struct {
        std::wstring menu, prefix;
    } folders[] = {
        {L"E:\\", L"E:\\"},
        {L"E:\\Menu", L"E:\\Menu\\"},
        {L"", L"\\"},
        {L"E:\\My Menu", L"E:\\My Menu\\"},  // passed as it is, not quoted
        {L"D:\\\u5B89\u88DD\u5149\u789F", L"D:\\\u5B89\u88DD\u5149\u789F\\"},
        {deep, deep + L"\\"},
        {L"\\\\server\\share", L"\\\\server\\share\\"},
    };
    for (const auto& f : folders) {
        for (const product::Language& l : product::kLanguages) {  // hidden ones too: the table holds them
            FakeRuntime rt;
            rt.appPath = f.menu;
            EXPECT_EQ(ModSelect::RunSetup(rt, l.codeText), ModSelect::Outcome::Started);
            const std::wstring folder = f.prefix + l.folder;
            EXPECT_EQ(rt.started, std::vector<std::wstring>{folder + L"\\" + l.program}) << Narrow(f.menu);
            EXPECT_EQ(rt.startedIn, std::vector<std::wstring>{folder}) << "it starts in its own folder";
        }
    }
    // Codes are compared exactly, and one that no language has starts nothing.
    const std::wstring code = facts::ShownAt(0).codeText;
    for (const std::wstring& unknown : {std::wstring(L"0"), std::to_wstring(facts::NoMember()), L"0" + code,
                                        code + L" ", L" " + code, std::wstring()}) {
        FakeRuntime rt;
        EXPECT_EQ(ModSelect::RunSetup(rt, unknown), ModSelect::Outcome::NoSetup) << Narrow(unknown);
        EXPECT_TRUE(rt.started.empty()) << Narrow(unknown);
        EXPECT_TRUE(rt.log.empty()) << "nothing is read for an unknown code";
    }
}

TEST(RunSetup, StartsWithANormalFocusedWindow) {
    FakeRuntime rt;
    ModSelect::RunSetup(rt, facts::ShownAt(0).codeText);
    EXPECT_EQ(rt.log.back(), ShellOf(facts::ShownAt(0)));
}

}  // namespace
