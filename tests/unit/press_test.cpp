// The press on a language picture: its order, and how a failed or declined
// start leaves the window.
#include <gtest/gtest.h>

#include "chooser/frm_auto_select.h"
#include "fake_runtime.h"
#include "forms/errors.h"
#include "launcher/mod_select.h"

namespace {

using Press = ChooserTest;

using Log = std::vector<std::string>;

TEST_F(Press, HidesLetsEventsRunStartsTheSetupThenUnloads) {
    frm.CountryPic_MouseDown(3, 1, 0, 10, 10);
    EXPECT_EQ(rt.log, (Log{"Hide CountryImage(3)", "DoEvents", "AppPath", "Shell E:\\Menu\\English_link\\Setup.exe 1",
                           "Unload"}));
    EXPECT_EQ(ModSelect::LanguageCode, L"3");
}

TEST_F(Press, AnyButtonAndShiftStateStartsTheSetup) {
    for (std::int16_t button : {1, 2, 4}) {
        for (std::int16_t shift : {0, 1, 2, 4, 7}) {
            rt.started.clear();
            frm.CountryPic_MouseDown(1, button, shift, 0, 0);
            EXPECT_EQ(rt.started, std::vector<std::wstring>{L"E:\\Menu\\TradChin_link\\Setup.exe"});
        }
    }
}

TEST_F(Press, MemberZeroStartsNothingAndUnloads) {
    frm.CountryPic_MouseDown(0, 1, 0, 0, 0);
    EXPECT_EQ(rt.log, (Log{"Hide CountryImage(0)", "DoEvents", "Unload"}));
    EXPECT_EQ(ModSelect::LanguageCode, L"0");
}

TEST_F(Press, AFailedStartLeavesTheWindowLoaded) {
    rt.onShell = [](const std::wstring& path) -> forms::StartResult {
        throw forms::RuntimeError{forms::kFileNotFound, L"Could not start the setup program:", path, L""};
    };
    EXPECT_THROW(frm.CountryPic_MouseDown(2, 1, 0, 0, 0), forms::RuntimeError);
    EXPECT_EQ(rt.log.back(), "Shell E:\\Menu\\SimpChin_link\\Setup.exe 1");
    // The failed press is over: the next one is not taken for a press inside it.
    rt.onShell = [](const std::wstring&) { return forms::StartResult::Started; };
    frm.CountryPic_MouseDown(3, 1, 0, 0, 0);
    EXPECT_EQ(rt.started.back(), L"E:\\Menu\\English_link\\Setup.exe");
}

TEST_F(Press, ADeclinedElevationLeavesTheMenuOpen) {
    rt.onShell = [](const std::wstring&) { return forms::StartResult::Declined; };
    frm.CountryPic_MouseDown(3, 1, 0, 0, 0);
    EXPECT_EQ(rt.log.back(), "Shell E:\\Menu\\English_link\\Setup.exe 1");
}

TEST_F(Press, APressArrivingWhileAPressIsHandledStartsNothing) {
    // The second click of a double click, already queued when the first lets events run.
    int queued = 1;
    rt.onDoEvents = [&] {
        if (queued-- > 0) frm.CountryPic_MouseDown(3, 1, 0, 0, 0);
    };
    frm.CountryPic_MouseDown(3, 1, 0, 0, 0);
    EXPECT_EQ(rt.started, std::vector<std::wstring>{L"E:\\Menu\\English_link\\Setup.exe"});
}

TEST_F(Press, AnExitClickWhileEventsRunEndsBeforeAnythingStarts) {
    rt.onDoEvents = [&] { frm.Command1_Click(); };
    EXPECT_THROW(frm.CountryPic_MouseDown(1, 1, 0, 0, 0), EndCalled);
    EXPECT_TRUE(rt.started.empty());
    EXPECT_EQ(rt.log, (Log{"Hide CountryImage(1)", "DoEvents", "End"}));
}

}  // namespace
