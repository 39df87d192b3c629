// The hover highlight's transitions and the background tiling.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "chooser/frm_auto_select.h"
#include "fake_runtime.h"
#include "forms/errors.h"

namespace {

using Log = std::vector<std::string>;

TEST(Hover, TransitionTable) {
    FakeRuntime rt;
    chooser::FrmAutoSelect frm(rt);
    const auto move = [&](std::int16_t i) { frm.CountryImage_MouseMove(i, 0, 0, 0, 0); };
    const struct {
        std::function<void()> event;
        Log calls;
        std::int16_t hover;
    } steps[] = {
        {[&] { frm.Form_MouseMove(0, 0, 0, 0); }, {"Show CountryImage(0)"}, 0},                // before any hover
        {[&] { frm.Form_GotFocus(); }, {"Hide CountryImage(0)"}, 0},
        {[&] { move(1); }, {"Show CountryImage(0)", "Hide CountryImage(1)", "DoEvents"}, 1},  // first hover
        {[&] { move(1); }, {"Hide CountryImage(1)", "DoEvents"}, 1},                          // the same again
        {[&] { move(2); }, {"Show CountryImage(1)", "Hide CountryImage(2)", "DoEvents"}, 2},  // straight across
        {[&] { frm.Form_MouseMove(0, 0, 0, 0); }, {"Show CountryImage(2)"}, 2},                // bare background
        {[&] { frm.Form_MouseMove(0, 0, 0, 0); }, {"Show CountryImage(2)"}, 2},
        {[&] { move(2); }, {"Hide CountryImage(2)", "DoEvents"}, 2},                          // back onto it
        {[&] { frm.CountryImage_MouseUp(3, 1, 0, 0, 0); }, {"Show CountryImage(2)"}, 2},      // names HoverIndex
        {[&] { move(2); }, {"Hide CountryImage(2)", "DoEvents"}, 2},                          // and again
        {[&] { frm.Form_GotFocus(); }, {"Hide CountryImage(2)"}, 2},
        {[&] { move(0); }, {"Show CountryImage(2)", "Hide CountryImage(0)", "DoEvents"}, 0},  // pictureless area
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        rt.log.clear();
        steps[i].event();
        EXPECT_EQ(rt.log, steps[i].calls) << "step " << i;
        EXPECT_EQ(frm.HoverIndex, steps[i].hover) << "step " << i;
    }
}

TEST(Hover, AFailureIsSkippedOnlyWhileTheIndexChanges) {
    FakeRuntime rt;
    chooser::FrmAutoSelect frm(rt);
    frm.HoverIndex = 5;  // names no member: showing it fails and is skipped
    frm.CountryImage_MouseMove(3, 0, 0, 0, 0);
    EXPECT_EQ(frm.HoverIndex, 3);
    EXPECT_FALSE(rt.Visible("CountryImage", 3));
    frm.HoverIndex = 5;
    EXPECT_THROW(frm.Form_MouseMove(0, 0, 0, 0), forms::RuntimeError) << "outside that mode nothing is ignored";
}

TEST(Paint, TilesTheInnerAreaRowByRowFromTheTop) {
    FakeRuntime rt;
    chooser::FrmAutoSelect frm(rt);
    frm.Form_Paint();
    ASSERT_EQ(rt.tiles.size(), 108u);
    EXPECT_EQ(rt.tiles[0], std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(rt.tiles[1], std::make_pair(1035.0f, 0.0f));
    EXPECT_EQ(rt.tiles[11], std::make_pair(11385.0f, 0.0f));
    EXPECT_EQ(rt.tiles[12], std::make_pair(0.0f, 1035.0f));
    EXPECT_EQ(rt.tiles.back(), std::make_pair(11385.0f, 8280.0f));
    EXPECT_EQ(std::count(rt.log.begin(), rt.log.end(), "ScaleWidth Picture1"), 1) << "the tile is read once";
}

TEST(Paint, ExtentsAndTileSizes) {
    const struct {
        float width, height, tileW, tileH;
        size_t tiles;
    } cases[] = {{2070, 1035, 1035, 1035, 2}, {2071, 1035, 1035, 1035, 3}, {0, 8595, 1035, 1035, 0},
                 {11880, 0, 1035, 1035, 0},   {11880, 8595, 0, 1035, 0},   {11880, 8595, -15, 1035, 0},
                 {11880, 8595, 1035, -1, 0}};
    for (const auto& c : cases) {
        FakeRuntime rt;
        rt.scaleWidth = c.width, rt.scaleHeight = c.height, rt.tileWidth = c.tileW, rt.tileHeight = c.tileH;
        chooser::FrmAutoSelect frm(rt);
        frm.Form_Paint();
        EXPECT_EQ(rt.tiles.size(), c.tiles) << c.width << "x" << c.height << " tile " << c.tileW << "x" << c.tileH;
    }
}

TEST(Paint, AnOverflowingStepIsARunTimeError) {
    FakeRuntime rt;
    rt.scaleWidth = 3.4e38f, rt.tileWidth = 3e38f;
    chooser::FrmAutoSelect frm(rt);
    EXPECT_EQ(RuntimeErrorNumber([&] { frm.Form_Paint(); }), forms::kOverflow);
    EXPECT_EQ(rt.tiles.size(), 2u);
}

}  // namespace
