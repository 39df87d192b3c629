// Pointer routing and capture over the stored layout.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "chooser/layout.h"
#include "forms/errors.h"
#include "forms/form.h"

namespace {

using forms::FormModel;

std::string NameAt(const FormModel& m, forms::ControlId id) {
    if (id == forms::kFormItself) return "form";
    return forms::ControlName(m.Control(id).name, m.Control(id).index);
}

// Client pixel points (15 twips each), centred in the pixel.
float T(int pixels) { return pixels * 15.0f + 7.0f; }

struct HitCase {
    int x, y;
    const char* receiver;
};

TEST(HitTest, FrontMostVisibleControlReceivesThePointer) {
    const FormModel m(chooser::kFrmAutoSelect);
    const HitCase cases[] = {
        {150, 140, "CountryImage(1)"},  // the normal face lies over the highlighted one
        {150, 190, "CountryImage(2)"},
        {388, 276, "CountryImage(3)"},  // last pixel of the English picture
        {389, 240, "form"},             // one pixel right of it
        {150, 300, "form"},             // the hidden Japanese row
        {10, 410, "CountryPic(0)"},     // pictureless, but takes events
        {10, 450, "CountryImage(0)"},
        {200, 450, "Command1"},         // the child window is in front of everything drawn
        {400, 450, "form"},             // the hidden Image3
        {730, 40, "Label1"},            // under the hidden Picture1
        {700, 530, "Image1"},           // in front of Image2
        {630, 500, "Image2"},
        {115, 530, "Label2"},
        {268, 530, "Label3"},           // where Label3 overlaps the end of Label2
        {110, 72, "Label1"},            // the one row Label1 shares with Image4
        {110, 73, "Image4"},
        {500, 100, "form"},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(NameAt(m, m.HitTest(T(c.x), T(c.y))), c.receiver) << "at " << c.x << "," << c.y;
    }
}

TEST(HitTest, ARectangleHoldsItsLeftAndTopEdgesButNotItsRightAndBottomOnes) {
    // Whole pixels, as the window passes them: 15 twips each.
    const auto E = [](int pixels) { return pixels * 15.0f; };
    const FormModel m(chooser::kFrmAutoSelect);
    const HitCase cases[] = {
        {144, 136, "CountryImage(1)"}, {143, 136, "form"},  // CountryImage(1) is 144, 136, 245 x 45
        {388, 180, "CountryImage(1)"}, {389, 150, "form"}, {150, 181, "form"}, {150, 184, "CountryImage(2)"},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(NameAt(m, m.HitTest(E(c.x), E(c.y))), c.receiver) << "at " << c.x << "," << c.y;
    }
}

TEST(FormModel, ChangesReportWhetherAnythingChanged) {
    FormModel m(chooser::kFrmAutoSelect);
    const auto face = m.Find("CountryImage", 3), label = m.Find("Label3");
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

TEST(HitTest, HidingTheNormalFaceUncoversTheHighlightedFace) {
    FormModel m(chooser::kFrmAutoSelect);
    m.SetVisible(m.Find("CountryImage", 3), false);
    EXPECT_EQ(NameAt(m, m.HitTest(T(200), T(250))), "CountryPic(3)");
    m.SetVisible(m.Find("CountryImage", 3), true);
    EXPECT_EQ(NameAt(m, m.HitTest(T(200), T(250))), "CountryImage(3)");
}

TEST(HitTest, AMissingArrayMemberIsARunTimeError) {
    const FormModel m(chooser::kFrmAutoSelect);
    for (std::int16_t absent : {4, 5, 6, 8, -1}) {
        try {
            m.Find("CountryImage", absent);
            ADD_FAILURE() << "member " << absent << " found";
        } catch (const forms::RuntimeError& e) {
            EXPECT_EQ(e.number, forms::kNoSuchArrayMember);
        }
    }
}

// Records which handler receives which event.
class Recorder : public forms::EventSink {
public:
    std::vector<std::string> events;
    void Record(const char* what, forms::ControlId id) {
        const auto& controls = chooser::kFrmAutoSelect.controls;
        events.push_back(std::string(what) + " " +
                         (id == forms::kFormItself ? "form" : forms::ControlName(controls[id].name, controls[id].index)));
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
    forms::Form form(chooser::kFrmAutoSelect, r);
    EXPECT_TRUE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(150), T(140)));  // on CountryImage(1)
    form.PointerMove(forms::kLeftButton, 0, T(500), T(100));              // over the bare form
    EXPECT_TRUE(form.ButtonDown(forms::kRightButton, 3, 0, T(10), T(410)));  // a second button elsewhere
    EXPECT_TRUE(form.ButtonUp(forms::kLeftButton, forms::kRightButton, 0, T(10), T(410)));  // one still held
    EXPECT_FALSE(form.ButtonUp(forms::kRightButton, 0, 0, T(10), T(410)));  // the last: capture ends
    form.PointerMove(0, 0, T(500), T(100));
    EXPECT_EQ(r.events, (std::vector<std::string>{"down CountryImage(1)", "move CountryImage(1)",
                                                  "down CountryImage(1)", "up CountryImage(1)",
                                                  "up CountryImage(1)", "move form"}));
}

TEST(Capture, AClickNeedsTheReleaseOnTheControlThatWasPressed) {
    Recorder r;
    forms::Form form(chooser::kFrmAutoSelect, r);
    form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(150), T(140));
    form.ButtonUp(forms::kLeftButton, 0, 0, T(150), T(141));
    form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(150), T(140));
    form.ButtonUp(forms::kLeftButton, 0, 0, T(500), T(100));  // released outside: no click
    form.ButtonUp(forms::kLeftButton, 0, 0, T(150), T(140));  // a release without a press of ours
    EXPECT_EQ(r.events, (std::vector<std::string>{"down CountryImage(1)", "up CountryImage(1)",
                                                  "click CountryImage(1)", "down CountryImage(1)",
                                                  "up CountryImage(1)"}));
}

TEST(Capture, ARecordOfHeldButtonsThatTheRealOnesNoLongerShowIsForgotten) {
    constexpr int L = forms::kLeftButton, R = forms::kRightButton;
    const float english[] = {T(150), T(240)}, trad[] = {T(150), T(140)}, bare[] = {T(500), T(100)};
    const struct {
        const char* what;
        std::function<bool(forms::Form&)> after;  // follows a press on English that the form saw no release of
        std::vector<std::string> events;
        bool captured;
    } cases[] = {
        {"a new press of the same button", [&](forms::Form& f) { return f.ButtonDown(L, L, 0, trad[0], trad[1]); },
         {"down CountryPic(1)"}, true},
        {"a move with no button down", [&](forms::Form& f) { return f.PointerMove(0, 0, bare[0], bare[1]); },
         {"move form"}, false},
        {"a press of another button", [&](forms::Form& f) { return f.ButtonDown(R, R, 0, trad[0], trad[1]); },
         {"down CountryPic(1)"}, true},
        {"a release of another button", [&](forms::Form& f) { return f.ButtonUp(R, 0, 0, trad[0], trad[1]); },
         {}, false},
        // While the record and the real buttons agree, nothing changes.
        {"a move with the button still down", [&](forms::Form& f) { return f.PointerMove(L, 0, bare[0], bare[1]); },
         {"move CountryPic(3)"}, true},
        {"a second button pressed", [&](forms::Form& f) { return f.ButtonDown(R, L | R, 0, bare[0], bare[1]); },
         {"down CountryPic(3)"}, true},
    };
    for (const auto& c : cases) {
        Recorder r;
        forms::Form form(chooser::kFrmAutoSelect, r);
        // Both lit, as the hover leaves a language: presses reach the highlighted faces.
        for (std::int16_t lit : {1, 3}) form.Model().SetVisible(form.Model().Find("CountryImage", lit), false);
        form.ButtonDown(L, L, 0, english[0], english[1]);
        r.events.clear();
        EXPECT_EQ(c.after(form), c.captured) << c.what;
        EXPECT_EQ(r.events, c.events) << c.what;
    }
}

TEST(Capture, AfterADeclinedPromptPressesAreDroppedUntilTheFormIsIdle) {
    Recorder r;
    forms::Form form(chooser::kFrmAutoSelect, r);
    const forms::ControlId button = form.Model().Find("Command1");
    form.HoldPressesUntilIdle();
    EXPECT_FALSE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(150), T(140)));  // not captured
    form.PointerMove(forms::kLeftButton, 0, T(500), T(100));  // moves still count: they light nothing pressed
    EXPECT_FALSE(form.ButtonUp(forms::kLeftButton, 0, 0, T(150), T(140)));  // the dropped press's: no click
    EXPECT_TRUE(form.KeyDown(button, forms::kKeyReturn, 0)) << "a dropped key is taken, so the button ignores it";
    form.Click(button);
    EXPECT_EQ(r.events, (std::vector<std::string>{"move form"}));
    form.Idle();
    r.events.clear();
    EXPECT_TRUE(form.ButtonDown(forms::kLeftButton, forms::kLeftButton, 0, T(150), T(140)));
    EXPECT_FALSE(form.KeyDown(button, forms::kKeyReturn, 0));
    form.Click(button);
    EXPECT_EQ(r.events, (std::vector<std::string>{"down CountryImage(1)", "key Command1", "click Command1"}));
}

TEST(Capture, HandlerPositionsAreRelativeToTheReceiver) {
    struct Positions : forms::EventSink {
        float x = -1, y = -1;
        void MouseMove(forms::ControlId, const forms::MouseArgs& a) override { x = a.x, y = a.y; }
    } sink;
    forms::Form form(chooser::kFrmAutoSelect, sink);
    form.PointerMove(0, 0, 2200, 2100);  // CountryImage(1) starts at 2160, 2040
    EXPECT_FLOAT_EQ(sink.x, 40);
    EXPECT_FLOAT_EQ(sink.y, 60);
    form.PointerMove(0, 0, 7000, 1500);  // the form itself
    EXPECT_FLOAT_EQ(sink.x, 7000);
}

TEST(Pointer, HandOverTheButtonAndTheLanguagesCrossHairElsewhere) {
    forms::EventSink none;
    forms::Form form(chooser::kFrmAutoSelect, none);
    const struct {
        int x, y;
        bool hand;
    } cases[] = {{150, 140, true}, {150, 190, true}, {150, 240, true}, {200, 450, true}, {150, 300, false},
                 {10, 410, false}, {10, 450, false}, {700, 530, false}, {115, 530, false}, {500, 100, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(form.PointerOwner(T(c.x), T(c.y)) != nullptr, c.hand) << c.x << "," << c.y;
    }
    form.Model().SetVisible(form.Model().Find("CountryImage", 1), false);
    EXPECT_NE(form.PointerOwner(T(150), T(140)), nullptr) << "the highlighted face shows the hand too";
}

TEST(DrawOrder, VisibleDrawnControlsBackToFrontMeetingTheArea) {
    FormModel m(chooser::kFrmAutoSelect);
    std::vector<std::string> names;
    for (auto id : m.DrawOrder({0, 0, 11880, 8595})) names.push_back(NameAt(m, id));
    EXPECT_EQ(names, (std::vector<std::string>{"CountryPic(3)", "CountryPic(2)", "CountryPic(1)", "CountryImage(3)",
                                               "CountryImage(2)", "CountryImage(1)", "Label2", "Label3", "Image2",
                                               "CountryImage(0)", "CountryPic(0)", "Image4", "Label1", "Image1"}));
    names.clear();
    for (auto id : m.DrawOrder({2160, 3480, 15, 15})) names.push_back(NameAt(m, id));
    EXPECT_EQ(names, (std::vector<std::string>{"CountryPic(3)", "CountryImage(3)"}));
}

}  // namespace
