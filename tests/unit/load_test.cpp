// The load step and the exit controls against the recording run-time.
#include <gtest/gtest.h>

#include "chooser/frm_auto_select.h"
#include "fake_runtime.h"
#include "forms/errors.h"
#include "forms/single_instance.h"
#include "product.h"

namespace {

using ExitControls = ChooserTest;

using Log = std::vector<std::string>;

TEST(FormLoad, ASecondCopyShowsTheMessageAndEndsBeforeAnythingElse) {
    FakeRuntime rt;
    rt.prevInstance = true;
    chooser::FrmAutoSelect frm(rt);
    EXPECT_THROW(frm.Form_Load(), EndCalled);
    // The product's message ("The program is already running!" unless its description words it).
    EXPECT_EQ(rt.log, (Log{"PrevInstance", "MsgBox " + Narrow(product::kAlreadyRunning) + " 0", "End"}));
}

TEST(FormLoad, RunsGuardTrimmingCaptionAndCentringInThatOrder) {
    FakeRuntime rt;
    rt.version.platform = 2, rt.version.major = 5, rt.version.minor = 1;
    chooser::FrmAutoSelect frm(rt);
    frm.Form_Load();
    EXPECT_EQ(rt.log, (Log{"PrevInstance", "hWnd", "GetSystemMenu 4660 0", "RemoveMenu 153 5 1024",
                           "RemoveMenu 153 5 1024", "GetVersionExA", "Caption Label3", "Width", "ScreenWidth",
                           "SetLeft", "Height", "ScreenHeight", "SetTop"}));
}

TEST(FormLoad, CentresInUnroundedTwipsWithoutClamping) {
    const struct {
        float screenW, screenH, w, h, left, top;
    } cases[] = {
        {15360, 11520, 11970, 8970, 1695, 1275},   // 1024 x 768: 113 and 85 pixels
        {11971, 8971, 11970, 8970, 0.5f, 0.5f},    // one twip more than the window
        {9600, 7200, 11970, 8970, -1185, -885},    // 640 x 480: overhangs both edges equally
        {11970, 8970, 11970, 8970, 0, 0},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        rt.screenWidth = c.screenW, rt.screenHeight = c.screenH, rt.width = c.w, rt.height = c.h;
        chooser::FrmAutoSelect frm(rt);
        frm.Form_Load();
        EXPECT_FLOAT_EQ(rt.left, c.left) << c.screenW;
        EXPECT_FLOAT_EQ(rt.top, c.top) << c.screenH;
    }
}

TEST(FormLoad, AnOverflowingCentringIsARunTimeError) {
    FakeRuntime rt;
    rt.screenWidth = 3.0e38f, rt.width = -3.0e38f;
    chooser::FrmAutoSelect frm(rt);
    EXPECT_EQ(RuntimeErrorNumber([&] { frm.Form_Load(); }), forms::kOverflow);
    EXPECT_EQ(rt.left, -1) << "nothing was set";
}

TEST_F(ExitControls, EndAtOnceWithoutUnloading) {
    for (auto click : {&chooser::FrmAutoSelect::Command1_Click, &chooser::FrmAutoSelect::Image3_Click}) {
        rt.log.clear();
        EXPECT_THROW((frm.*click)(), EndCalled);
        EXPECT_EQ(rt.log, Log{"End"});
    }
}

TEST_F(ExitControls, ClicksAreRoutedByControlName) {
    const auto& model = rt.Model();
    frm.Click(model.Find("Label1"));  // no handler
    EXPECT_TRUE(rt.log.empty());
    EXPECT_THROW(frm.Click(model.Find("Command1")), EndCalled);
}


TEST(SingleInstance, WhatCreatingTheMutexGaveBackDecides) {
    const struct {
        bool created;
        std::uint32_t error;
        bool another;
        const char* what;
    } cases[] = {
        {true, 0, false, "created anew"},
        {true, forms::kErrorAlreadyExists, true, "opened a running copy's mutex"},
        {false, forms::kErrorAccessDenied, true, "a copy running elevated keeps us out"},
        {false, forms::kErrorInvalidHandle, false, "an object of another type holds the name"},
        {false, 8, false, "no memory for it: the program runs"},
    };
    for (const auto& c : cases) EXPECT_EQ(forms::AnotherCopyRuns(c.created, c.error), c.another) << c.what;
}

}  // namespace
