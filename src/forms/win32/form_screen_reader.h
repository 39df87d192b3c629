// The window's side of what a screen reader reads of a form: its items, where
// they are, which has the focus, what their default actions do, and the focus
// events it hears when the keyboard's choice moves. The COM side is MsaaObject's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/win32/form_site.h"
#include "forms/win32/msaa_object.h"

namespace forms::win32 {

class FormScreenReader final : NonCopyable, private AccessibleSource {
public:
    explicit FormScreenReader(FormSite& site) : site_(site) {}

    // The answer to WM_GETOBJECT for the client area; 0 lets the system answer.
    LRESULT Answer(WPARAM flags) { return server_.Answer(flags); }
    // The window is going: clients holding the object get errors from now on.
    void Disconnect() { server_.Disconnect(); }

private:
    HWND AccessibleWindow() override { return site_.window; }
    std::wstring AccessibleName() override { return site_.layout.caption; }
    std::vector<AccessibleNode> AccessibleItems() override;
    RECT ClientRectOf(const TwipRect& rect) override;
    bool HasFocus(ControlId control) override;
    void DoDefaultAction(ControlId control) override;

    FormSite& site_;
    MsaaServer server_{*this};
};

// The control chosen with the keyboard changed: a screen reader hears where the focus now is.
void AnnounceFocus(const FormSite& site);

}  // namespace forms::win32
