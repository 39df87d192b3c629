// What the parts of one form's window share, and all they know of each other:
// the form (which routes every event to the handlers), the window and its
// child windows, the density it is laid out and drawn at, and what changed on
// it since the last paint. The window makes the site; the input, the painter,
// the run-time services and the screen reader's side each take it and none
// calls back into the window.
#pragma once

#include <windows.h>

#include <optional>
#include <utility>
#include <vector>

#include "forms/form.h"
#include "forms/geometry.h"
#include "forms/win32/error_box.h"
#include "forms/win32/handle.h"

namespace forms::win32 {

struct AppInfo {
    HINSTANCE instance;
    const wchar_t* title;  // the application's title, in message boxes
    // The product's own window classes: another product's menu running beside
    // this one keeps to its own.
    const wchar_t* formClass;
    const wchar_t* ownerClass;
};

// A screen reader's press, posted to the form's window so that it runs after the
// request has returned: the handlers may pump messages and end the program. wParam: the control.
constexpr UINT kDefaultActionMessage = WM_APP + 1;

class FormSite : NonCopyable {
public:
    FormSite(const AppInfo& app, const FormSpec& layout) : app(app), layout(layout) {}

    const AppInfo app;
    const FormSpec& layout;
    // The window's density, its one home: every conversion of twips and all the
    // drawing follow it. Only the window sets it, when it is made and when it
    // moves to another monitor, once the painter has made its composition for it.
    int dpi = kLayoutDpi;
    HWND window = nullptr;       // the form's; nullptr before it is made and once it is gone
    std::vector<HWND> children;  // per control, nullptr for drawn ones; destroyed with the window

    // The form with its handlers, from the window's start on.
    void Attach(EventSink& handlers) { form_.emplace(layout, handlers); }
    Form& TheForm() { return *form_; }
    const Form& TheForm() const { return *form_; }

    HWND ChildOf(ControlId id) const { return children.empty() ? nullptr : children[id]; }
    ControlId IdOfChild(HWND child) const;  // kFormItself for any other window
    float Twips(int pixels) const { return PointerTwips(pixels, dpi); }
    int Pixels(float twips) const { return TwipsToPixels(twips, dpi); }
    PixelRect PixelsOf(const TwipRect& r) const { return ToPixels(r, dpi); }

    // A control was shown or hidden: its window shows so, or its area is drawn again.
    void ShowVisible(ControlId id, bool visible);
    // A control's caption changed: a drawn one's area is drawn again (a child window shows none).
    void ShowCaption(ControlId id);
    // An area of the client whose drawing changed: drawn again at the next paint.
    void Redraw(const RECT& area);
    // What changed since the last paint, handed over once.
    RECT TakeChanged() { return std::exchange(changed_, RECT{}); }

    // Runs a handler; a run-time error that escapes it is reported and ends the process.
    template <class F>
    void Raise(F&& f) const {
        Guarded(window, app.title, std::forward<F>(f));
    }

    static constexpr int kFirstChildId = 100;  // a child's id is this plus its control's place in the layout

private:
    void RedrawControl(ControlId id);

    std::optional<Form> form_;
    RECT changed_{};
};

}  // namespace forms::win32
