// Choosing a language with the keyboard: the same handlers as the pointer's.
#include <gtest/gtest.h>

#include "chooser/frm_auto_select.h"
#include "chooser/layout.h"
#include "fake_runtime.h"

namespace {

using Log = std::vector<std::string>;
using forms::kKeyDown, forms::kKeyUp, forms::kKeyHome, forms::kKeyEnd, forms::kKeyEscape, forms::kKeyReturn,
    forms::kKeySpace;

Log Lit(int from, int to) {
    return {"Choose CountryPic(" + std::to_string(to) + ")", "Show CountryImage(" + std::to_string(from) + ")",
            "Hide CountryImage(" + std::to_string(to) + ")", "DoEvents"};
}

TEST(Keyboard, TheOfferedLanguagesInScreenOrder) {
    const auto offered = chooser::OfferedLanguages();
    EXPECT_EQ(std::vector<std::int16_t>(offered.begin(), offered.end()), (std::vector<std::int16_t>{1, 2, 3}));
}

TEST(Keyboard, ArrowsHomeAndEndLightThroughTheHoverHandlerAndWrapAround) {
    const struct {
        std::vector<std::int16_t> keys;
        std::int16_t chosen;
        Log lastCalls;
    } cases[] = {
        {{kKeyDown}, 1, Lit(0, 1)},
        {{kKeyDown, kKeyDown, kKeyDown}, 3, Lit(2, 3)},
        {{kKeyDown, kKeyDown, kKeyDown, kKeyDown}, 1, Lit(3, 1)},
        {{kKeyUp}, 3, Lit(0, 3)},
        {{kKeyUp, kKeyUp}, 2, Lit(3, 2)},
        {{kKeyDown, kKeyUp}, 3, Lit(1, 3)},
        {{kKeyEnd, kKeyHome}, 1, Lit(3, 1)},
        {{kKeyHome, kKeyEnd}, 3, Lit(1, 3)},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        chooser::FrmAutoSelect frm(rt);
        for (std::int16_t key : c.keys) {
            rt.log.clear();
            EXPECT_TRUE(frm.Command1_KeyDown(key, 0));
        }
        EXPECT_EQ(frm.KeyboardIndex(), c.chosen);
        EXPECT_EQ(frm.HoverIndex, c.chosen);
        EXPECT_EQ(rt.log, c.lastCalls);
        EXPECT_FALSE(rt.Visible("CountryImage", c.chosen));
    }
}

TEST(Keyboard, AKeyQueuedWhileTheHoverHandlerLetsEventsRunStepsOnFromTheNewChoice) {
    FakeRuntime rt;
    chooser::FrmAutoSelect frm(rt);
    int queued = 1;
    rt.onDoEvents = [&] {
        if (queued-- > 0) frm.Command1_KeyDown(kKeyDown, 0);
    };
    frm.Command1_KeyDown(kKeyDown, 0);
    EXPECT_EQ(frm.KeyboardIndex(), 2);
    EXPECT_EQ(rt.log, (Log{"Choose CountryPic(1)", "Show CountryImage(0)", "Hide CountryImage(1)", "DoEvents",
                           "Choose CountryPic(2)", "Show CountryImage(1)", "Hide CountryImage(2)", "DoEvents"}));
    EXPECT_FALSE(rt.Visible("CountryImage", 2));
}

TEST(Keyboard, EnterSpaceAndEscapeActOnlyOnAChoiceAndNoOtherKeyIsTaken) {
    const Log pressEnglish{"Hide CountryImage(3)", "DoEvents", "AppPath", "Shell E:\\Menu\\English_link\\Setup.exe 1",
                           "Unload"};
    const struct {
        bool chosen;  // English chosen with End first
        std::int16_t key;
        bool taken;
        Log calls;
    } cases[] = {
        {true, kKeyReturn, true, pressEnglish},
        {true, kKeySpace, true, pressEnglish},
        {true, kKeyEscape, true, {"Show CountryImage(3)", "Choose none"}},
        {false, kKeyReturn, false, {}},  // the exit button clicks itself
        {false, kKeySpace, false, {}},
        {false, kKeyEscape, false, {}},
        {true, 0x09, false, {}},  // Tab
        {true, 0x25, false, {}},  // Left
        {true, 0x41, false, {}},  // A
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        chooser::FrmAutoSelect frm(rt);
        if (c.chosen) frm.Command1_KeyDown(kKeyEnd, 0);
        rt.log.clear();
        EXPECT_EQ(frm.Command1_KeyDown(c.key, 0), c.taken) << c.key;
        EXPECT_EQ(rt.log, c.calls) << c.key;
    }
}

TEST(Keyboard, ADeclinedPromptKeepsTheChoiceAndOnlyTheExitButtonForwardsKeys) {
    FakeRuntime rt;
    rt.onShell = [](const std::wstring&) { return forms::StartResult::Declined; };
    chooser::FrmAutoSelect frm(rt);
    const auto& m = rt.Model();
    EXPECT_FALSE(frm.KeyDown(m.Find("Picture1"), kKeyDown, 0));
    EXPECT_TRUE(frm.KeyDown(m.Find("Command1"), kKeyDown, 0));
    EXPECT_TRUE(frm.KeyDown(m.Find("Command1"), kKeyReturn, 0));
    EXPECT_EQ(rt.log.back(), "Shell E:\\Menu\\TradChin_link\\Setup.exe 1");
    EXPECT_EQ(frm.KeyboardIndex(), 1);
}

TEST(Keyboard, APointerMoveThatLightsAnotherLanguageOrReachesTheBareWindowEndsTheChoice) {
    const struct {
        const char* control;
        std::int16_t index;
        bool ends;
    } cases[] = {
        {nullptr, 0, true},      {"CountryImage", 1, true},  {"CountryImage", 0, true},
        {"CountryPic", 2, false}, {"Label1", forms::kNoIndex, false}, {"Command1", forms::kNoIndex, false},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        chooser::FrmAutoSelect frm(rt);
        frm.Command1_KeyDown(kKeyHome, 0);
        frm.Command1_KeyDown(kKeyDown, 0);  // Simplified Chinese
        rt.log.clear();
        const auto& m = rt.Model();
        frm.MouseMove(c.control ? m.Find(c.control, c.index) : forms::kFormItself, forms::MouseArgs{0, 0, 5, 5});
        EXPECT_EQ(frm.KeyboardIndex(), c.ends ? 0 : 2) << (c.control ? c.control : "form");
        EXPECT_EQ(!rt.log.empty() && rt.log.front() == "Choose none", c.ends);
    }
}

}  // namespace
