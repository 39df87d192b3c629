// Choosing a language with the keyboard: the same handlers as the pointer's.
#include <gtest/gtest.h>

#include "chooser/frm_auto_select.h"
#include "chooser/layout.h"
#include "chooser/rows.h"
#include "design.h"
#include "fake_runtime.h"
#include "product_facts.h"

namespace {

using Log = std::vector<std::string>;
using forms::kKeyDown, forms::kKeyUp, forms::kKeyHome, forms::kKeyEnd, forms::kKeyEscape, forms::kKeyReturn,
    forms::kKeySpace, forms::kKeyLeft, forms::kKeyRight;

// The calls that light the language `to` from the keyboard while `from` was lit (0: none).
Log Lit(int from, int to) {
    const std::string face = "CountryImage(" + std::to_string(to) + ")";
    if (from == to) return {"Choose CountryPic(" + std::to_string(to) + ")", "Hide " + face, "DoEvents"};
    return {"Choose CountryPic(" + std::to_string(to) + ")", "Show CountryImage(" + std::to_string(from) + ")",
            "Hide " + face, "DoEvents"};
}

// The k-th shown language's code, counting from the top and wrapping both ways.
std::int16_t At(int k) { return facts::ShownAt(k).code; }

// The whole press on a language, as the press handler makes it.
Log PressOf(const product::Language& l) {
    return {"Hide CountryImage(" + std::to_string(l.code) + ")", "DoEvents", "AppPath", ShellOf(l), "Unload"};
}

TEST(Keyboard, OffersTheShownLanguagesInScreenOrderAndDownWalksThem) {
    const auto offered = chooser::OfferedLanguages();
    const std::vector<std::int16_t> shown = facts::ShownCodes();  // top to bottom, as the description lists them
    EXPECT_EQ(std::vector<std::int16_t>(offered.begin(), offered.end()), shown);
    FakeRuntime rt;
    chooser::FrmAutoSelect frm(rt);
    for (size_t k = 0; k < shown.size(); ++k) {
        frm.Command1_KeyDown(kKeyDown, 0);
        EXPECT_EQ(frm.KeyboardIndex(), shown[k]) << "Down, " << k + 1 << " times";
    }
}

TEST(Keyboard, ArrowsHomeAndEndLightThroughTheHoverHandlerAndWrapAround) {
    const int n = static_cast<int>(facts::Shown().size());
    const std::vector<std::int16_t> downs(static_cast<size_t>(n) + 1, kKeyDown);  // once round and on
    const struct {
        std::vector<std::int16_t> keys;
        std::int16_t chosen;
        Log lastCalls;
    } cases[] = {
        {{kKeyDown}, At(0), Lit(0, At(0))},
        {{kKeyDown, kKeyDown}, At(1), Lit(At(0), At(1))},
        {downs, At(0), Lit(At(-1), At(0))},
        {{kKeyUp}, At(-1), Lit(0, At(-1))},
        {{kKeyUp, kKeyUp}, At(-2), Lit(At(-1), At(-2))},
        {{kKeyDown, kKeyUp}, At(-1), Lit(At(0), At(-1))},
        {{kKeyEnd, kKeyHome}, At(0), Lit(At(-1), At(0))},
        {{kKeyHome, kKeyEnd}, At(-1), Lit(At(0), At(-1))},
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
    EXPECT_EQ(frm.KeyboardIndex(), At(1));
    Log expected = Lit(0, At(0));
    const Log second = Lit(At(0), At(1));
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(rt.log, expected);
    EXPECT_FALSE(rt.Visible("CountryImage", At(1)));
}

// Where the keyboard goes among the shown languages in reading order, six rows to a
// column, for counts the configured product may not have: from a place (-1: none lit)
// with a key to a place (-1: the key is not taken).
TEST(Keyboard, TheArrowsWalkTheRowsInReadingOrderAndCrossBetweenColumns) {
    const struct {
        int count, from;
        std::int16_t key;
        int to;
    } cases[] = {
        {1, -1, kKeyDown, 0},   {1, 0, kKeyDown, 0},    {1, 0, kKeyUp, 0},      {1, 0, kKeyLeft, -1},
        {1, 0, kKeyRight, -1},  {6, 5, kKeyDown, 0},    {6, 0, kKeyUp, 5},      {6, -1, kKeyUp, 5},
        {6, 2, kKeyRight, -1},  {6, 2, kKeyLeft, -1},   // one column: nothing across
        {7, 5, kKeyDown, 6},    {7, 6, kKeyDown, 0},    {7, 6, kKeyUp, 5},      {7, 0, kKeyUp, 6},
        {7, -1, kKeyEnd, 6},    {7, 6, kKeyHome, 0},    {7, 0, kKeyRight, 6},   {7, 6, kKeyRight, 0},
        {7, 6, kKeyLeft, 0},    {7, 3, kKeyRight, 6},   {7, 5, kKeyLeft, 6},    // the shorter column's last row
        {7, -1, kKeyRight, -1}, {7, -1, kKeyLeft, -1},  // none lit: nothing across
        {9, 1, kKeyRight, 7},   {9, 2, kKeyLeft, 8},    {9, 4, kKeyRight, 8},   {9, 8, kKeyLeft, 2},
        {12, 3, kKeyRight, 9},  {12, 9, kKeyLeft, 3},   {12, 11, kKeyRight, 5}, {12, 5, kKeyDown, 6},
        {12, 11, kKeyDown, 0},  {12, -1, kKeyUp, 11},   {12, 6, kKeyUp, 5},     {12, 4, 0x09, -1},
        {12, 4, kKeyReturn, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooser::rows::KeyTarget(c.count, 6, c.from, c.key), c.to)
            << c.count << " shown, from " << c.from << ", key " << c.key;
}

TEST(Keyboard, EnterSpaceAndEscapeActOnlyOnAChoiceAndNoOtherKeyIsTaken) {
    const product::Language& last = facts::ShownAt(-1);
    // Left and Right cross to the other column where there are two; with one they are not taken.
    const int n = static_cast<int>(facts::Shown().size());
    const bool columns = n > design::kRowsPerColumn;
    const Log across = columns ? Lit(last.code, At((n - 1) % design::kRowsPerColumn)) : Log{};
    const struct {
        bool chosen;  // the last language chosen with End first
        std::int16_t key;
        bool taken;
        Log calls;
    } cases[] = {
        {true, kKeyReturn, true, PressOf(last)},
        {true, kKeySpace, true, PressOf(last)},
        {true, kKeyEscape, true, {"Show CountryImage(" + std::to_string(last.code) + ")", "Choose none"}},
        {false, kKeyReturn, false, {}},  // the exit button clicks itself
        {false, kKeySpace, false, {}},
        {false, kKeyEscape, false, {}},
        {true, 0x09, false, {}},  // Tab
        {true, kKeyLeft, columns, across},
        {true, kKeyRight, columns, across},
        {false, kKeyRight, false, {}},
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
    // Enter then presses the language Left or Right lit, or with one column the one lit before.
    for (std::int16_t key : {kKeyLeft, kKeyRight}) {
        FakeRuntime rt;
        chooser::FrmAutoSelect frm(rt);
        frm.Command1_KeyDown(kKeyEnd, 0);
        frm.Command1_KeyDown(key, 0);
        rt.log.clear();
        frm.Command1_KeyDown(kKeyReturn, 0);
        EXPECT_EQ(rt.log, PressOf(columns ? facts::ShownAt((n - 1) % design::kRowsPerColumn) : last)) << key;
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
    EXPECT_EQ(rt.log.back(), ShellOf(facts::ShownAt(0)));
    EXPECT_EQ(frm.KeyboardIndex(), At(0));
}

TEST(Keyboard, APointerMoveThatLightsAnotherLanguageOrReachesTheBareWindowEndsTheChoice) {
    const std::int16_t chosen = At(1), other = facts::OtherThan(chosen);
    const struct {
        const char* control;
        std::int16_t index;
        bool ends;
    } cases[] = {
        {nullptr, 0, true},          {"CountryImage", other, true}, {"CountryImage", 0, true},
        {"CountryImage", chosen, false},  // the chosen language's own normal face
        {"CountryPic", chosen, false}, {"Label1", forms::kNoIndex, false}, {"Command1", forms::kNoIndex, false},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;
        chooser::FrmAutoSelect frm(rt);
        frm.Command1_KeyDown(kKeyHome, 0);
        frm.Command1_KeyDown(kKeyDown, 0);  // the second language, or the first again
        rt.log.clear();
        const auto& m = rt.Model();
        frm.MouseMove(c.control ? m.Find(c.control, c.index) : forms::kFormItself, forms::MouseArgs{0, 0, 5, 5});
        EXPECT_EQ(frm.KeyboardIndex(), c.ends ? 0 : chosen) << (c.control ? c.control : "form") << " " << c.index;
        EXPECT_EQ(!rt.log.empty() && rt.log.front() == "Choose none", c.ends);
    }
}

}  // namespace
