// The Win32 window of one form: its creation with the child windows, its
// message switch and the message loop. Pointer and key input are FormInput's,
// the drawing FormPainter's, the screen reader's object FormAccessible's, and
// the run-time services that the handlers call FormRuntime's.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/form.h"
#include "forms/win32/base_window.h"
#include "forms/win32/form_accessible.h"
#include "forms/win32/form_input.h"
#include "forms/win32/form_style.h"
#include "forms/win32/handle.h"
#include "forms/win32/painter.h"
#include "forms/win32/system.h"

namespace forms::win32 {

struct AppInfo {
    HINSTANCE instance;
    const wchar_t* title;  // the application's title, in message boxes
};

class FormWindow : public BaseWindow<FormWindow> {
public:
    FormWindow(const AppInfo& app, const FormSpec& layout);

    // Creates the window hidden, runs the load handler, shows the window and
    // runs the message loop until the form is unloaded.
    int Run(EventSink& sink);

    // What the run-time services, the input and the accessible object work on.
    const AppInfo& App() const { return app_; }
    const FormSpec& Layout() const { return spec_; }
    const FormModel& Model() const { return form_->Model(); }
    Form& TheForm() { return *form_; }
    float TwipsPerPixel() const { return tpp_; }
    HWND ChildOf(ControlId id) const;
    ControlId IdOfChild(HWND child) const;  // kFormItself for any other window

    // A control's visibility or caption, changed and shown.
    void SetVisible(ControlId id, bool visible);
    void SetCaption(ControlId id, std::wstring caption);
    // Draws a picture on the background layer (see FormPainter::DrawBackground).
    void PaintPicture(int picture, const PixelRect& dest) { painter_.DrawBackground(wnd_, picture, dest); }
    ControlId KeyboardChoice() const { return keyboardChoice_; }
    void SetKeyboardChoice(ControlId id);
    // A screen reader's press: queued, so it runs after the request has returned.
    void DoDefaultAction(ControlId control);
    void Close();  // the window and its hidden owner go; the message loop ends

    // Runs a handler; a run-time error that escapes it is reported and ends the process.
    template <class F>
    void Raise(F&& f) {
        Guarded(wnd_, app_.title, std::forward<F>(f));
    }

    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    void Create();
    void CreateChildren();
    SIZE OuterSize() const;  // the client area of the layout with the frame around it
    void ShowChange(ControlId id);
    void OnPaint();
    void OnDefaultAction(ControlId control);
    void FocusFirstChild();

    AppInfo app_;
    const FormSpec& spec_;
    EventSink* sink_ = nullptr;
    std::optional<Form> form_;
    const float tpp_ = forms::TwipsPerPixel(kLayoutDpi);
    FormPainter painter_;
    FormInput input_{*this};
    FormAccessible accessible_{*this};
    OwnedWindow owner_;                        // hidden: keeps the form off the taskbar
    std::vector<HWND> children_;               // per control, nullptr for drawn ones; destroyed with the window
    ControlId keyboardChoice_ = kFormItself;  // chosen with the keyboard; the focus stays on the button
};

}  // namespace forms::win32
