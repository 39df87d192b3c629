#include "forms/win32/form_accessible.h"

#include "forms/win32/form_window.h"
#include "forms/win32/gdi.h"

namespace forms::win32 {

HWND FormAccessible::AccessibleWindow() { return window_.Window(); }

std::wstring FormAccessible::AccessibleName() { return window_.Layout().caption; }

std::vector<AccessibleNode> FormAccessible::AccessibleItems() { return AccessibleChildren(window_.Model()); }

RECT FormAccessible::ClientRectOf(const TwipRect& rect) { return ToRect(ToPixels(rect, window_.TwipsPerPixel())); }

bool FormAccessible::HasFocus(ControlId control) {
    // A control chosen with the keyboard has the focus as a screen reader sees it;
    // the real focus stays on the button.
    if (window_.KeyboardChoice() != kFormItself) return control == window_.KeyboardChoice();
    HWND child = window_.ChildOf(control);
    return child && GetFocus() == child;
}

void FormAccessible::DoDefaultAction(ControlId control) { window_.DoDefaultAction(control); }

void FormAccessible::AnnounceFocus() {
    const auto items = AccessibleItems();
    for (size_t i = 0; i < items.size(); ++i) {
        if (HasFocus(items[i].control)) {
            NotifyWinEvent(EVENT_OBJECT_FOCUS, window_.Window(), OBJID_CLIENT, static_cast<LONG>(i + 1));
        }
    }
}

}  // namespace forms::win32
