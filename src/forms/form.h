// The platform-neutral form: the state of its controls, which control a point
// belongs to, and the routing of pointer input (capture while a button is
// held) to the form's event handlers. The Win32 layer feeds it input in client
// twips and draws what it says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "forms/control.h"

namespace forms {

// Mouse buttons and shift keys as handlers receive them.
enum MouseButton : std::int16_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

struct MouseArgs {
    std::int16_t button;  // the button that changed (press, release) or all held (move)
    std::int16_t shift;   // 1 Shift, 2 Ctrl, 4 Alt
    float x, y;           // twips, relative to the receiving control
};

// Key codes as handlers receive them (the system's virtual-key codes).
enum KeyCode : std::int16_t {
    kKeyReturn = 0x0D,
    kKeyEscape = 0x1B,
    kKeySpace = 0x20,
    kKeyEnd = 0x23,
    kKeyHome = 0x24,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
};

// The form's handlers. `control` is kFormItself for the form itself.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void Load() {}
    virtual void Paint() {}
    virtual void GotFocus() {}
    virtual void MouseDown(ControlId, const MouseArgs&) {}
    virtual void MouseMove(ControlId, const MouseArgs&) {}
    virtual void MouseUp(ControlId, const MouseArgs&) {}
    virtual void Click(ControlId) {}
    // A key pressed while `control` has the focus; true when a handler took it,
    // so the control does not act on it as well.
    virtual bool KeyDown(ControlId, std::int16_t /*key*/, std::int16_t /*shift*/) { return false; }
};

// "Name" outside an array, "Name(index)" for an array member: how handlers,
// messages and tests name a control.
std::string ControlName(std::string_view name, std::int16_t index);

// The control of that name (outside an array) in a layout, found once; a
// run-time error if there is none.
ControlRef FindControl(const FormSpec& layout, std::string_view name);

// The members of one control array, found once in a layout: a handler's
// CountryImage(Index) is a look-up by index, not a search by name.
class ControlArray {
public:
    ControlArray(const FormSpec& layout, std::string_view name);
    // A run-time error where the array has no such member.
    ControlRef operator()(std::int16_t index) const;

private:
    std::string_view name_;
    std::vector<std::pair<std::int16_t, ControlId>> members_;
};

class FormModel {
public:
    explicit FormModel(const FormSpec& layout);

    int Count() const { return static_cast<int>(state_.size()); }
    const FormSpec& Layout() const { return spec_; }
    const ControlSpec& Control(ControlId id) const { return spec_.controls[id]; }
    bool Visible(ControlId id) const { return state_[id].visible; }
    const std::wstring& Caption(ControlId id) const { return state_[id].caption; }

    // The control with that name and index; a run-time error if there is none.
    ControlId Find(std::string_view name, std::int16_t index = kNoIndex) const;

    // Both return whether anything changed, so the caller repaints only then.
    bool SetVisible(ControlId id, bool visible);
    bool SetCaption(ControlId id, std::wstring caption);

    // Who receives the pointer at a point: the front-most visible child
    // window, else the front-most visible drawn control (drawn or not at that
    // point), else the form itself. Hidden controls are passed through.
    ControlId HitTest(float x, float y) const;

    // Visible drawn controls meeting `area`, back to front: the painting order.
    std::vector<ControlId> DrawOrder(const TwipRect& area) const;

private:
    struct State {
        bool visible;
        std::wstring caption;
    };
    const FormSpec& spec_;
    std::vector<State> state_;
};

// Capture: once a button goes down, every pointer event goes to the receiver
// of that press until the last held button comes up.
//
// The record of held buttons follows the real ones: a release can happen
// where the form never sees it (on the secure desktop of an elevation prompt,
// or in a window that took the capture), and a stale record would send the
// next press to the control pressed before.
class PointerRouter {
public:
    ControlId Press(const FormModel& m, int button, float x, float y);
    ControlId Move(const FormModel& m, float x, float y) const;
    struct Release {
        bool routed;       // false when no press of ours was held
        ControlId target;  // the receiver of the press
        bool last;         // the last held button came up: capture ends
    };
    Release Up(int button);
    // Forgets every recorded button that `reallyHeld` no longer shows.
    void Follow(int reallyHeld) { held_ &= reallyHeld; }
    bool Captured() const { return held_ != 0; }
    void Reset() { held_ = 0; }

private:
    int held_ = 0;
    ControlId captured_ = kFormItself;
};

// Ties the model and the router to the handlers.
class Form {
public:
    Form(const FormSpec& layout, EventSink& sink) : model_(layout), sink_(sink) {}

    FormModel& Model() { return model_; }
    const FormModel& Model() const { return model_; }

    // The form's own events: every event reaches the handlers through the form.
    void Load() { sink_.Load(); }
    void Paint() { sink_.Paint(); }
    void GotFocus() { sink_.GotFocus(); }

    // Pointer input in client twips. `held` is every button really down as
    // the message reports it (for a press, the pressed one too; for a
    // release, not the released one). Each returns whether the form holds the
    // pointer captured afterwards.
    bool ButtonDown(int button, int held, int shift, float x, float y);
    bool ButtonUp(int button, int held, int shift, float x, float y);
    bool PointerMove(int held, int shift, float x, float y);
    void CaptureLost() { router_.Reset(); }
    // A click of a control that clicks by itself (a push button), or a screen
    // reader's press of it.
    void Click(ControlId control);
    // A key pressed while `control` has the focus; true when it was taken (a
    // handler took it, or it was dropped), so the control does not act on it.
    bool KeyDown(ControlId control, std::int16_t key, std::int16_t shift);

    // The control chosen with the keyboard while the focus stays where it is
    // (kFormItself: none). Setting it returns whether it changed.
    ControlId KeyboardChoice() const { return keyboardChoice_; }
    bool SetKeyboardChoice(ControlId control) { return std::exchange(keyboardChoice_, control) != control; }

    // Presses are dropped from the moment a start of another program is asked for
    // until the form is next idle. While the start runs, the elevation prompt's and
    // COM's message loops dispatch what another program sends (a click of a button)
    // and would run a handler under the prompt; after a decline, what the user did
    // meanwhile (input queued, a screen reader's call that waited) was meant for the
    // prompt. Only the main loop decides that the form is idle, so nothing a start
    // on the stack runs can end the hold. A press a handler's DoEvents dispatches
    // before that first idle is dropped as well: the queue has not run dry since the
    // prompt, so it is what waited behind it, not a new press.
    void HoldPressesUntilIdle() { pressesHeld_ = true; }
    void Idle() { pressesHeld_ = false; }
    bool PressesHeld() const { return pressesHeld_; }

    // Whether the custom pointer (the control's MouseIcon) shows at a point,
    // with the captured receiver deciding while a button is held.
    const ControlSpec* PointerOwner(float x, float y) const;

private:
    MouseArgs Args(ControlId id, int button, int shift, float x, float y) const;

    FormModel model_;
    EventSink& sink_;
    PointerRouter router_;
    ControlId keyboardChoice_ = kFormItself;
    bool pressesHeld_ = false;
};

}  // namespace forms
