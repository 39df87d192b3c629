// Pointer and key input of a form's window: the messages decoded and handed
// to the form, which routes them to the handlers; the capture and the cursor;
// the keys of the push buttons, which reach the form's handlers first.
#pragma once

#include <windows.h>

#include <map>

#include "forms/form.h"
#include "forms/win32/form_site.h"
#include "forms/win32/handle.h"
#include "forms/win32/input_state.h"

namespace forms::win32 {

class FormInput : NonCopyable {
public:
    explicit FormInput(FormSite& site) : site_(site) {}

    // The form's pointer and the controls' own cursors; a run-time error if one cannot be had.
    void LoadCursors();
    // Lets a push button's keys and cursor pass through here before the button acts.
    void TakeButton(HWND button);

    void OnButton(UINT msg, WPARAM wp, LPARAM lp);  // WM_xBUTTONDOWN, WM_xBUTTONUP
    void OnMouseMove(WPARAM wp, LPARAM lp);
    bool OnSetCursor(HWND over, UINT hitTest);  // false: the system's own cursor

private:
    // A key at a push button; true when the button must not act on it.
    bool OnKey(HWND button, bool down, WPARAM key, LPARAM lp);
    void FollowCapture(bool captured);
    static LRESULT CALLBACK ButtonProcedure(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    FormSite& site_;
    HCURSOR formCursor_ = nullptr;         // a shared system cursor: over the bare form and plain controls
    std::map<int, OwnedCursor> cursors_;   // the controls' own, by resource id
    WNDPROC buttonDefault_ = nullptr;
    SpaceKey space_;
};

}  // namespace forms::win32
