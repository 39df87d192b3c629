// The accessible object of a form's window: what a screen reader reads of the
// form (its items, where they are, which has the focus), what its default
// actions do, and the focus events it hears when the keyboard's choice moves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/win32/accessible.h"

namespace forms::win32 {

class FormWindow;

class FormAccessible final : NonCopyable, private AccessibleHost {
public:
    explicit FormAccessible(FormWindow& window) : window_(window) {}

    // The answer to WM_GETOBJECT for the client area; 0 lets the system answer.
    LRESULT Answer(WPARAM flags) { return server_.Answer(flags); }
    // The window is going: clients holding the object get errors from now on.
    void Disconnect() { server_.Disconnect(); }
    // The control chosen with the keyboard changed: a screen reader hears where the focus now is.
    void AnnounceFocus();

private:
    HWND AccessibleWindow() override;
    std::wstring AccessibleName() override;
    std::vector<AccessibleNode> AccessibleItems() override;
    RECT ClientRectOf(const TwipRect& rect) override;
    bool HasFocus(ControlId control) override;
    void DoDefaultAction(ControlId control) override;

    FormWindow& window_;
    AccessibilityServer server_{*this};
};

}  // namespace forms::win32
