// The hover highlight's transitions and the background tiling.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "chooser/frm_auto_select.h"
#include "fake_runtime.h"
#include "forms/errors.h"
#include "product_facts.h"

namespace {

using Hover = ChooserTest;
using Paint = ChooserTest;

using Log = std::vector<std::string>;

std::string Face(std::int16_t index) { return "CountryImage(" + std::to_string(index) + ")"; }

// Two languages' faces (the second is member 0 where the product has one language), and
// an index that names no member.
const std::int16_t kFirst = facts::ShownAt(0).code, kOther = facts::OtherThan(kFirst), kAbsent = facts::NoMember();

TEST_F(Hover, TransitionTable) {
    const auto move = [&](std::int16_t i) { frm.CountryImage_MouseMove(i, 0, 0, 0, 0); };
    const std::string first = Face(kFirst), other = Face(kOther);
    // Onto the pictureless area: the same again where member 0 is the other face.
    const Log ontoZero = kOther == 0 ? Log{"Hide CountryImage(0)", "DoEvents"}
                                     : Log{"Show " + other, "Hide CountryImage(0)", "DoEvents"};
    const struct {
        std::function<void()> event;
        Log calls;
        std::int16_t hover;
    } steps[] = {
        {[&] { frm.Form_MouseMove(0, 0, 0, 0); }, {"Show CountryImage(0)"}, 0},  // before any hover
        {[&] { frm.Form_GotFocus(); }, {"Hide CountryImage(0)"}, 0},
        {[&] { move(kFirst); }, {"Show CountryImage(0)", "Hide " + first, "DoEvents"}, kFirst},  // first hover
        {[&] { move(kFirst); }, {"Hide " + first, "DoEvents"}, kFirst},                          // the same again
        {[&] { move(kOther); }, {"Show " + first, "Hide " + other, "DoEvents"}, kOther},         // straight across
        {[&] { frm.Form_MouseMove(0, 0, 0, 0); }, {"Show " + other}, kOther},                    // bare background
        {[&] { frm.Form_MouseMove(0, 0, 0, 0); }, {"Show " + other}, kOther},
        {[&] { move(kOther); }, {"Hide " + other, "DoEvents"}, kOther},                          // back onto it
        {[&] { frm.CountryImage_MouseUp(kFirst, 1, 0, 0, 0); }, {"Show " + other}, kOther},      // names HoverIndex
        {[&] { move(kOther); }, {"Hide " + other, "DoEvents"}, kOther},                          // and again
        {[&] { frm.Form_GotFocus(); }, {"Hide " + other}, kOther},
        {[&] { move(0); }, ontoZero, 0},  // pictureless area
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        rt.log.clear();
        steps[i].event();
        EXPECT_EQ(rt.log, steps[i].calls) << "step " << i;
        EXPECT_EQ(frm.HoverIndex, steps[i].hover) << "step " << i;
    }
}

TEST_F(Hover, AFailureIsSkippedOnlyWhileTheIndexChanges) {
    frm.HoverIndex = kAbsent;  // showing it fails and is skipped
    frm.CountryImage_MouseMove(kFirst, 0, 0, 0, 0);
    EXPECT_EQ(frm.HoverIndex, kFirst);
    EXPECT_FALSE(rt.Visible("CountryImage", kFirst));
    frm.HoverIndex = kAbsent;
    EXPECT_THROW(frm.Form_MouseMove(0, 0, 0, 0), forms::RuntimeError) << "outside that mode nothing is ignored";
}

// Which handler an event reaches depends on the receiving control alone.
TEST(HoverRouting, OnlyTheBareWindowPutsALitLanguageOutAndOnlyItsOwnMembersReachTheHandlers) {
    using Event = void (chooser::FrmAutoSelect::*)(forms::ControlId, const forms::MouseArgs&);
    const Event move = &chooser::FrmAutoSelect::MouseMove, down = &chooser::FrmAutoSelect::MouseDown,
                up = &chooser::FrmAutoSelect::MouseUp;
    const Log putOut{"Show " + Face(kFirst)};
    const struct {
        Event event;
        const char* control;
        std::int16_t index;
        Log calls;
    } cases[] = {
        // The pointer leaves the lit language onto another control: the light stays on.
        {move, "Label1", forms::kNoIndex, {}}, {move, "Label2", forms::kNoIndex, {}},
        {move, "Label3", forms::kNoIndex, {}}, {move, "Image1", forms::kNoIndex, {}},
        {move, "Image2", forms::kNoIndex, {}}, {move, "Image4", forms::kNoIndex, {}},
        {move, "Command1", forms::kNoIndex, {}}, {move, "CountryPic", kFirst, {}},
        {move, nullptr, 0, putOut},  // the bare window
        // Presses: only a highlighted face starts anything.
        {down, "CountryImage", kOther, {}}, {down, "CountryImage", 0, {}}, {down, "Label1", forms::kNoIndex, {}},
        {down, nullptr, 0, {}},
        // Releases: only CountryImage members reach CountryImage_MouseUp.
        {up, "CountryPic", kFirst, {}}, {up, "Label2", forms::kNoIndex, {}}, {up, "Command1", forms::kNoIndex, {}},
        {up, nullptr, 0, {}}, {up, "CountryImage", kOther, putOut},
    };
    for (const auto& c : cases) {
        FakeRuntime rt;  // each case from a fresh window with the first language lit
        chooser::FrmAutoSelect frm(rt);
        frm.CountryImage_MouseMove(kFirst, 0, 0, 0, 0);
        rt.log.clear();
        const auto& m = rt.Model();
        const forms::ControlId control = c.control ? m.Find(c.control, c.index) : forms::kFormItself;
        (frm.*c.event)(control, forms::MouseArgs{1, 0, 30, 30});
        EXPECT_EQ(rt.log, c.calls) << (c.control ? c.control : "form") << " " << c.index;
        EXPECT_TRUE(rt.started.empty());
    }
}

TEST_F(Hover, WithAnUnchangedIndexNothingIsIgnored) {
    frm.HoverIndex = kAbsent;  // hiding it fails
    EXPECT_EQ(RuntimeErrorNumber([&] { frm.CountryImage_MouseMove(kAbsent, 0, 0, 0, 0); }),
              forms::kNoSuchArrayMember);
    frm.HoverIndex = kFirst;
    rt.onDoEvents = [] { throw forms::RuntimeError{forms::kOutOfMemory, {}, {}, {}}; };
    EXPECT_EQ(RuntimeErrorNumber([&] { frm.CountryImage_MouseMove(kFirst, 0, 0, 0, 0); }), forms::kOutOfMemory);
    EXPECT_EQ(RuntimeErrorNumber([&] { frm.CountryImage_MouseMove(kOther, 0, 0, 0, 0); }), 0) << "a new index ignores it";
}

TEST_F(Paint, ReadsTheInnerSizeAtEveryTestAndDrawsEachTileAtThePictureBoxsInnerSize) {
    rt.tileWidth = 2000, rt.tileHeight = 500;
    frm.Form_Paint();
    // 18 rows of 6: each row tests the width 7 times, and the height is tested once more at the end.
    ASSERT_EQ(rt.tiles.size(), 108u);
    EXPECT_EQ(std::count(rt.log.begin(), rt.log.end(), "ScaleHeight"), 19);
    EXPECT_EQ(std::count(rt.log.begin(), rt.log.end(), "ScaleWidth"), 18 * 7);
    for (const auto& size : rt.tileSizes) EXPECT_EQ(size, std::make_pair(2000.0f, 500.0f));

    // The window grows while it is painted: the next tests see the new size.
    FakeRuntime growing;
    growing.onScaleRead = [&] { growing.scaleWidth = growing.scaleHeight = 2070; };
    growing.scaleWidth = growing.scaleHeight = 1035;
    chooser::FrmAutoSelect grown(growing);
    grown.Form_Paint();
    EXPECT_EQ(growing.tiles.size(), 4u);
}

TEST_F(Paint, TilesTheInnerAreaRowByRowFromTheTop) {
    frm.Form_Paint();
    ASSERT_GT(rt.tiles.size(), 12u);
    EXPECT_EQ(rt.tiles[0], std::make_pair(0.0f, 0.0f));
    EXPECT_EQ(rt.tiles[1], std::make_pair(1035.0f, 0.0f));
    EXPECT_EQ(rt.tiles[11], std::make_pair(11385.0f, 0.0f));
    EXPECT_EQ(rt.tiles[12], std::make_pair(0.0f, 1035.0f));
    EXPECT_EQ(rt.tiles.back(), std::make_pair(11385.0f, 8280.0f));
    EXPECT_EQ(std::count(rt.log.begin(), rt.log.end(), "ScaleWidth Picture1"), 1) << "the tile is read once";
}

TEST_F(Paint, ExtentsAndTileSizes) {
    const struct {
        float width, height, tileW, tileH;
        size_t tiles;
    } cases[] = {{2070, 1035, 1035, 1035, 2}, {2071, 1035, 1035, 1035, 3}, {0, 8595, 1035, 1035, 0},
                 {11880, 0, 1035, 1035, 0},   {11880, 8595, 0, 1035, 0},   {11880, 8595, -15, 1035, 0},
                 {11880, 8595, 1035, -1, 0}};
    for (const auto& c : cases) {
        rt.tiles.clear();
        rt.scaleWidth = c.width, rt.scaleHeight = c.height, rt.tileWidth = c.tileW, rt.tileHeight = c.tileH;
        frm.Form_Paint();
        EXPECT_EQ(rt.tiles.size(), c.tiles) << c.width << "x" << c.height << " tile " << c.tileW << "x" << c.tileH;
    }
}

TEST_F(Paint, AnOverflowingStepIsARunTimeError) {
    rt.scaleWidth = 3.4e38f, rt.tileWidth = 3e38f;
    EXPECT_EQ(RuntimeErrorNumber([&] { frm.Form_Paint(); }), forms::kOverflow);
    EXPECT_EQ(rt.tiles.size(), 2u);
}

}  // namespace
