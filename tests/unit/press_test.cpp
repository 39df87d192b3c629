// The press on a language picture: its order, and how a failed or declined
// start leaves the window.
#include <gtest/gtest.h>

#include "chooser/frm_auto_select.h"
#include "fake_runtime.h"
#include "forms/errors.h"
#include "launcher/mod_select.h"
#include "product_facts.h"

namespace {

using Press = ChooserTest;

using Log = std::vector<std::string>;

TEST_F(Press, HidesLetsEventsRunStartsItsLanguagesSetupThenUnloads) {
    for (const product::Language& l : product::kLanguages) {
        rt.log.clear(), rt.started.clear();
        frm.CountryPic_MouseDown(l.code, 1, 0, 10, 10);
        const std::string face = "CountryImage(" + std::to_string(l.code) + ")";
        EXPECT_EQ(rt.log, (Log{"Hide " + face, "DoEvents", "AppPath", ShellOf(l), "Unload"})) << Narrow(l.name);
        EXPECT_EQ(rt.started, std::vector<std::wstring>{SetupFromMenu(l)}) << Narrow(l.name);
        EXPECT_EQ(ModSelect::LanguageCode, l.codeText);
    }
}

TEST_F(Press, AnyButtonAndShiftStateStartsTheSetup) {
    const product::Language& first = facts::ShownAt(0);
    for (std::int16_t button : {1, 2, 4}) {
        for (std::int16_t shift : {0, 1, 2, 4, 7}) {
            rt.started.clear();
            frm.CountryPic_MouseDown(first.code, button, shift, 0, 0);
            EXPECT_EQ(rt.started, std::vector<std::wstring>{SetupFromMenu(first)});
        }
    }
}

TEST_F(Press, MemberZeroStartsNothingAndUnloads) {
    frm.CountryPic_MouseDown(0, 1, 0, 0, 0);
    EXPECT_EQ(rt.log, (Log{"Hide CountryImage(0)", "DoEvents", "Unload"}));
    EXPECT_EQ(ModSelect::LanguageCode, L"0");
}

TEST_F(Press, AFailedStartLeavesTheWindowLoaded) {
    const product::Language &failing = facts::ShownAt(0), &next = facts::ShownAt(-1);
    rt.onShell = [](const std::wstring& path) -> forms::StartResult {
        throw forms::RuntimeError{forms::kFileNotFound, L"Could not start the setup program:", path, L""};
    };
    EXPECT_THROW(frm.CountryPic_MouseDown(failing.code, 1, 0, 0, 0), forms::RuntimeError);
    EXPECT_EQ(rt.log.back(), ShellOf(failing));
    // The failed press is over: the next one is not taken for a press inside it.
    rt.onShell = [](const std::wstring&) { return forms::StartResult::Started; };
    frm.CountryPic_MouseDown(next.code, 1, 0, 0, 0);
    EXPECT_EQ(rt.started.back(), SetupFromMenu(next));
}

TEST_F(Press, ADeclinedElevationLeavesTheMenuOpen) {
    rt.onShell = [](const std::wstring&) { return forms::StartResult::Declined; };
    frm.CountryPic_MouseDown(facts::ShownAt(-1).code, 1, 0, 0, 0);
    EXPECT_EQ(rt.log.back(), ShellOf(facts::ShownAt(-1)));
}

TEST_F(Press, APressArrivingWhileAPressIsHandledStartsNothing) {
    // The second click of a double click, already queued when the first lets events run.
    const product::Language &pressed = facts::ShownAt(0), &queuedOn = facts::ShownAt(-1);
    int queued = 1;
    rt.onDoEvents = [&] {
        if (queued-- > 0) frm.CountryPic_MouseDown(queuedOn.code, 1, 0, 0, 0);
    };
    frm.CountryPic_MouseDown(pressed.code, 1, 0, 0, 0);
    EXPECT_EQ(rt.started, std::vector<std::wstring>{SetupFromMenu(pressed)});
}

TEST_F(Press, AnExitClickWhileEventsRunEndsBeforeAnythingStarts) {
    rt.onDoEvents = [&] { frm.Command1_Click(); };
    const std::int16_t code = facts::ShownAt(0).code;
    EXPECT_THROW(frm.CountryPic_MouseDown(code, 1, 0, 0, 0), EndCalled);
    EXPECT_TRUE(rt.started.empty());
    EXPECT_EQ(rt.log, (Log{"Hide CountryImage(" + std::to_string(code) + ")", "DoEvents", "End"}));
}

}  // namespace
