// The forms run-time over a layout of its own: who receives the pointer,
// the painting order, capture, and the presses dropped after a declined prompt.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "form_checks.h"
#include "forms/errors.h"
#include "forms/form.h"

namespace {

using forms::ControlKind;
using forms::ControlSpec;
using forms::FormModel;
using forms::kNoIndex;
using forms::MousePointer;

// Pixels of 15 twips, as the layouts are drawn.
constexpr forms::TwipRect Px(float x, float y, float w, float h) { return {x * 15, y * 15, w * 15, h * 15}; }

constexpr ControlSpec Picture(const char* name, std::int16_t index, forms::TwipRect r, bool visible, int picture,
                              MousePointer pointer = MousePointer::Default) {
    return {name, index, ControlKind::Image, r, visible, pointer, picture, pointer == MousePointer::Custom ? 200 : 0,
            nullptr, {}, false};
}

// Later controls lie in front of earlier ones; child windows in front of all that is drawn.
constexpr ControlSpec kControls[] = {
    Picture("Pic", 1, Px(20, 20, 100, 30), true, 11, MousePointer::Custom),  // behind Img(1)
    Picture("Pic", 2, Px(20, 60, 100, 30), true, 12, MousePointer::Custom),  // behind Img(2)
    Picture("Img", 1, Px(20, 20, 100, 30), true, 21, MousePointer::Custom),
    Picture("Img", 2, Px(20, 60, 100, 30), true, 22, MousePointer::Custom),
    Picture("Img", 0, Px(0, 100, 40, 20), true, 0),  // no picture, but takes events
    Picture("Hidden", kNoIndex, Px(140, 20, 40, 40), false, 30),
    {"Caption", kNoIndex, ControlKind::Label, Px(140, 80, 60, 20), true, MousePointer::Default, 0, 0, L"", {},
     false},
    {"Button", kNoIndex, ControlKind::CommandButton, Px(130, 30, 50, 20), true, MousePointer::Custom, 0, 200,
     nullptr, {}, false},
    {"Box", kNoIndex, ControlKind::PictureBox, Px(150, 110, 20, 20), false, MousePointer::Default, 40, 0, nullptr,
     {}, false},
    Picture("Logo", kNoIndex, Px(130, 70, 30, 40), true, 50),  // in front of the caption's left end
};
constexpr forms::FormSpec kForm{"TestForm", L"Test", 3000, 2100, 1, forms::FormPointer::Crosshair, {}, kControls,
                                {}};

TEST(HitTest, TheFrontMostVisibleControlReceivesThePointer) {
    const FormModel m(kForm);
    const HitCase cases[] = {
        {30, 25, "Img(1)"},      // the front one of two on one rectangle
        {30, 65, "Img(2)"},
        {119, 49, "Img(1)"},     // its last pixel
        {120, 40, "form"},       // one pixel right of it
        {10, 110, "Img(0)"},     // pictureless, but takes events
        {150, 35, "Button"},     // a child window is in front of everything drawn
        {150, 55, "form"},       // the hidden picture is passed through
        {150, 90, "Logo"},       // in front of the caption
        {190, 90, "Caption"},
        {160, 120, "form"},      // the hidden picture box
        {199, 139, "form"},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(NameAt(m, m.HitTest(T(c.x), T(c.y))), c.receiver) << "at " << c.x << "," << c.y;
    }
}

TEST(HitTest, ARectangleHoldsItsLeftAndTopEdgesButNotItsRightAndBottomOnes) {
    // Whole pixels, as the window passes them: 15 twips each.
    const auto E = [](int pixels) { return pixels * 15.0f; };
    const FormModel m(kForm);
    const HitCase cases[] = {
        {20, 20, "Img(1)"}, {19, 20, "form"}, {119, 20, "Img(1)"}, {120, 20, "form"}, {30, 50, "form"},
        {30, 60, "Img(2)"}, {30, 49, "Img(1)"},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(NameAt(m, m.HitTest(E(c.x), E(c.y))), c.receiver) << "at " << c.x << "," << c.y;
    }
}

TEST(FormModel, ChangesReportWhetherAnythingChanged) {
    FormModel m(kForm);
    const auto face = m.Find("Img", 2), label = m.Find("Caption");
    const struct {
        std::function<bool()> change;
        bool changed;
    } steps[] = {
        {[&] { return m.SetVisible(face, true); }, false}, {[&] { return m.SetVisible(face, false); }, true},
        {[&] { return m.SetVisible(face, false); }, false}, {[&] { return m.SetVisible(face, true); }, true},
        {[&] { return m.SetCaption(label, L""); }, false}, {[&] { return m.SetCaption(label, L"XP"); }, true},
        {[&] { return m.SetCaption(label, L"XP"); }, false},
    };
    for (size_t i = 0; i < std::size(steps); ++i) EXPECT_EQ(steps[i].change(), steps[i].changed) << "step " << i;
}

TEST(HitTest, HidingTheFrontPictureUncoversTheOneBehind) {
    FormModel m(kForm);
    m.SetVisible(m.Find("Img", 1), false);
    EXPECT_EQ(NameAt(m, m.HitTest(T(30), T(25))), "Pic(1)");
    m.SetVisible(m.Find("Img", 1), true);
    EXPECT_EQ(NameAt(m, m.HitTest(T(30), T(25))), "Img(1)");
}

TEST(HitTest, AMissingArrayMemberIsARunTimeError) {
    const FormModel m(kForm);
    for (std::int16_t absent : {3, 4, -1}) {
        EXPECT_EQ(RuntimeErrorNumber([&] { m.Find("Img", absent); }), forms::kNoSuchArrayMember) << absent;
    }
    EXPECT_EQ(RuntimeErrorNumber([&] { m.Find("Nothing"); }), forms::kInvalidCall);
}

// Records which handler receives which event.
class Recorder : public forms::EventSink {
public:
    std::vector<std::string> events;
    void Record(const char* what, forms::ControlId id) {
        events.push_back(std::string(what) + " " +
                         (id == forms::kFormItself ? "form" : forms::ControlName(kControls[id].name, kControls[id].index)));
    }
    void MouseDown(forms::ControlId id, const forms::MouseArgs&) override { Record("down", id); }
    void MouseMove(forms::ControlId id, const forms::MouseArgs&) override { Record("move", id); }
    void MouseUp(forms::ControlId id, const forms::MouseArgs&) override { Record("up", id); }
    void Click(forms::ControlId id) override { Record("click", id); }
    bool KeyDown(forms::ControlId id, std::int16_t, std::int16_t) override {
        Record("key", id);
        return false;
    }
};

TEST(Capture, EventsFollowThePressUntilTheLastButtonIsReleased) {
    Recorder r;
    forms::Form form(kForm, r);
    EXPECT_TRUE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25)));  // on Img(1)
    form.PointerMove(forms::kLeftButton, 0, T(190), T(130));                 // over the bare form
    EXPECT_TRUE(form.ButtonDown(forms::kRightButton, 3, 0, T(10), T(110)));  // a second button elsewhere
    EXPECT_TRUE(form.ButtonUp(forms::kLeftButton, forms::kRightButton, 0, T(10), T(110)));  // one still held
    EXPECT_FALSE(form.ButtonUp(forms::kRightButton, 0, 0, T(10), T(110)));  // the last: capture ends
    form.PointerMove(0, 0, T(190), T(130));
    EXPECT_EQ(r.events, (std::vector<std::string>{"down Img(1)", "move Img(1)", "down Img(1)", "up Img(1)",
                                                  "up Img(1)", "move form"}));
}

TEST(Capture, AClickNeedsTheReleaseOnTheControlThatWasPressed) {
    Recorder r;
    forms::Form form(kForm, r);
    form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25));
    form.ButtonUp(forms::kLeftButton, 0, 0, T(30), T(26));
    form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25));
    form.ButtonUp(forms::kLeftButton, 0, 0, T(190), T(130));  // released outside: no click
    form.ButtonUp(forms::kLeftButton, 0, 0, T(30), T(25));    // a release without a press of ours
    EXPECT_EQ(r.events, (std::vector<std::string>{"down Img(1)", "up Img(1)", "click Img(1)", "down Img(1)",
                                                  "up Img(1)"}));
}

TEST(Capture, ARecordOfHeldButtonsThatTheRealOnesNoLongerShowIsForgotten) {
    constexpr int L = forms::kLeftButton, R = forms::kRightButton;
    const float second[] = {T(30), T(65)}, first[] = {T(30), T(25)}, bare[] = {T(190), T(130)};
    const struct {
        const char* what;
        std::function<bool(forms::Form&)> after;  // follows a press on Pic(2) that the form saw no release of
        std::vector<std::string> events;
        bool captured;
    } cases[] = {
        {"a new press of the same button", [&](forms::Form& f) { return f.ButtonDown(L, L, 0, first[0], first[1]); },
         {"down Pic(1)"}, true},
        {"a move with no button down", [&](forms::Form& f) { return f.PointerMove(0, 0, bare[0], bare[1]); },
         {"move form"}, false},
        {"a press of another button", [&](forms::Form& f) { return f.ButtonDown(R, R, 0, first[0], first[1]); },
         {"down Pic(1)"}, true},
        {"a release of another button", [&](forms::Form& f) { return f.ButtonUp(R, 0, 0, first[0], first[1]); },
         {}, false},
        // While the record and the real buttons agree, nothing changes.
        {"a move with the button still down", [&](forms::Form& f) { return f.PointerMove(L, 0, bare[0], bare[1]); },
         {"move Pic(2)"}, true},
        {"a second button pressed", [&](forms::Form& f) { return f.ButtonDown(R, L | R, 0, bare[0], bare[1]); },
         {"down Pic(2)"}, true},
    };
    for (const auto& c : cases) {
        Recorder r;
        forms::Form form(kForm, r);
        // Both front pictures hidden: presses reach the ones behind.
        for (std::int16_t lit : {1, 2}) form.Model().SetVisible(form.Model().Find("Img", lit), false);
        form.ButtonDown(L, L, 0, second[0], second[1]);
        r.events.clear();
        EXPECT_EQ(c.after(form), c.captured) << c.what;
        EXPECT_EQ(r.events, c.events) << c.what;
    }
}

TEST(Capture, AfterADeclinedPromptPressesAreDroppedUntilTheFormIsIdle) {
    Recorder r;
    forms::Form form(kForm, r);
    const forms::ControlId button = form.Model().Find("Button");
    form.HoldPressesUntilIdle();
    EXPECT_FALSE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25)));  // not captured
    form.PointerMove(forms::kLeftButton, 0, T(190), T(130));  // moves still count: they press nothing
    EXPECT_FALSE(form.ButtonUp(forms::kLeftButton, 0, 0, T(30), T(25)));  // the dropped press's: no click
    EXPECT_TRUE(form.KeyDown(button, forms::kKeyReturn, 0)) << "a dropped key is taken, so the button ignores it";
    form.Click(button);
    EXPECT_EQ(r.events, (std::vector<std::string>{"move form"}));
    form.Idle();
    r.events.clear();
    EXPECT_TRUE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25)));
    EXPECT_FALSE(form.KeyDown(button, forms::kKeyReturn, 0));
    form.Click(button);
    EXPECT_EQ(r.events, (std::vector<std::string>{"down Img(1)", "key Button", "click Button"}));
}

TEST(Capture, APressDroppedAfterADeclinedPromptRoutesNoRelease) {
    // The press that raised the prompt is still recorded: the prompt took its release.
    Recorder r;
    forms::Form form(kForm, r);
    form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25));
    form.HoldPressesUntilIdle();
    EXPECT_FALSE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(30), T(25)));
    form.Idle();
    EXPECT_FALSE(form.ButtonUp(forms::kLeftButton, 0, 0, T(30), T(25)));
    EXPECT_EQ(r.events, (std::vector<std::string>{"down Img(1)"}));
}

TEST(Capture, HandlerPositionsAreRelativeToTheReceiver) {
    struct Positions : forms::EventSink {
        float x = -1, y = -1;
        void MouseMove(forms::ControlId, const forms::MouseArgs& a) override { x = a.x, y = a.y; }
    } sink;
    forms::Form form(kForm, sink);
    form.PointerMove(0, 0, 340, 360);  // Img(1) starts at 300, 300
    EXPECT_FLOAT_EQ(sink.x, 40);
    EXPECT_FLOAT_EQ(sink.y, 60);
    form.PointerMove(0, 0, 2900, 2000);  // the form itself
    EXPECT_FLOAT_EQ(sink.x, 2900);
}

TEST(Pointer, TheControlsOwnPointerWhereItHasOneTheFormsElsewhere) {
    forms::EventSink none;
    forms::Form form(kForm, none);
    const struct {
        int x, y;
        bool own;
    } cases[] = {{30, 25, true}, {30, 65, true}, {150, 35, true}, {10, 110, false}, {190, 90, false},
                 {150, 90, false}, {190, 130, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(form.PointerOwner(T(c.x), T(c.y)) != nullptr, c.own) << c.x << "," << c.y;
    }
    form.Model().SetVisible(form.Model().Find("Img", 1), false);
    EXPECT_NE(form.PointerOwner(T(30), T(25)), nullptr) << "the picture behind has its own too";
}

TEST(DrawOrder, VisibleDrawnControlsBackToFrontMeetingTheArea) {
    FormModel m(kForm);
    std::vector<std::string> names;
    for (auto id : m.DrawOrder({0, 0, 3000, 2100})) names.push_back(NameAt(m, id));
    EXPECT_EQ(names, (std::vector<std::string>{"Pic(1)", "Pic(2)", "Img(1)", "Img(2)", "Img(0)", "Caption", "Logo"}));
    names.clear();
    for (auto id : m.DrawOrder(Px(20, 60, 1, 1))) names.push_back(NameAt(m, id));
    EXPECT_EQ(names, (std::vector<std::string>{"Pic(2)", "Img(2)"}));
}

}  // namespace
