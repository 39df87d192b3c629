// The Win32 window of one form: its creation with the child windows, its
// message switch (paint requests, pointer and key input, focus, the screen
// reader's requests) and the message loop. The run-time services that the
// handlers call live in FormRuntime; the drawing in FormPainter.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "forms/form.h"
#include "forms/win32/accessible.h"
#include "forms/win32/base_window.h"
#include "forms/win32/form_style.h"
#include "forms/win32/handle.h"
#include "forms/win32/painter.h"
#include "forms/win32/system.h"

namespace forms::win32 {

struct AppInfo {
    HINSTANCE instance;
    const wchar_t* title;      // the application's title, in message boxes
    const wchar_t* mutexName;  // marks a running copy
};

class FormWindow : public BaseWindow<FormWindow>, private AccessibleHost {
public:
    FormWindow(const AppInfo& app, const FormSpec& layout);

    // Creates the window hidden, runs the load handler, shows the window and
    // runs the message loop until the form is unloaded.
    int Run(EventSink& sink);

    // What the run-time services work on.
    const AppInfo& App() const { return app_; }
    bool PrevInstance() const { return prevInstance_; }
    FormModel& Model() { return form_->Model(); }
    float TwipsPerPixel() const { return tpp_; }
    HWND ChildOf(ControlId id) const;
    // Shows a change of a control's visibility or caption.
    void ShowChange(ControlId id);
    // Draws a picture on the background layer: into the paint request being
    // handled, clipped to its area, or straight onto the window outside one.
    void PaintPicture(int picture, const PixelRect& dest);
    void SetKeyboardChoice(ControlId id);
    void Close();  // the window and its hidden owner go; the message loop ends

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    // AccessibleHost.
    HWND AccessibleWindow() override { return Window(); }
    std::wstring AccessibleName() override { return spec_.caption; }
    std::vector<AccessibleNode> AccessibleItems() override;
    RECT ClientRectOf(const TwipRect& rect) override;
    bool HasFocus(ControlId control) override;
    void DoDefaultAction(ControlId control) override;
    void OnDefaultAction(ControlId control);

    void Create();
    void CreateChildren();
    void LoadCursors();
    SIZE OuterSize() const;  // the client area of the layout with the frame around it

    void OnPaint();
    bool OnSetCursor(HWND over, UINT hitTest);
    void OnButtonMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnButton(bool down, int button, WPARAM wp, LPARAM lp, bool synthetic);
    void OnMouseMove(WPARAM wp, LPARAM lp);
    // A key at the focused button; true when the button must not act on it.
    bool OnKey(HWND child, bool down, WPARAM key, LPARAM lp);
    void FollowCapture(bool captured);
    ControlId IdOfChild(HWND child) const;
    void FocusFirstChild();
    float Twips(int pixels) const { return pixels * tpp_; }
    // Runs a handler; a run-time error that escapes it is reported and ends the process.
    template <class F>
    void Raise(F&& f) {
        Guarded(wnd_, app_.title, std::forward<F>(f));
    }
    static LRESULT CALLBACK ButtonProcedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    AppInfo app_;
    const FormSpec& spec_;
    EventSink* sink_ = nullptr;
    std::optional<Form> form_;
    bool prevInstance_ = false;
    const float tpp_ = forms::TwipsPerPixel(kLayoutDpi);
    FormPainter painter_;
    OwnedWindow owner_;                  // hidden: keeps the form off the taskbar
    HCURSOR formCursor_ = nullptr;  // a shared system cursor: over the bare form and plain controls
    std::map<int, OwnedCursor> cursors_;  // the controls' own, by resource id
    HDC paintDc_ = nullptr;         // the DC of the paint request being handled
    RECT paintArea_{};              // and the area it paints
    std::vector<HWND> children_;    // per control, nullptr for drawn ones; destroyed with the window
    WNDPROC buttonDefault_ = nullptr;
    ControlId keyboardChoice_ = kFormItself;  // chosen with the keyboard; the focus stays on the button
    enum class SpaceDown { None, Form, Button };
    SpaceDown spaceDown_ = SpaceDown::None;   // who took the key-down of the Space now held
    AccessibilityServer accessibility_{*this};
};

}  // namespace forms::win32
