#include "forms/win32/form_screen_reader.h"

#include "forms/win32/gdi.h"

namespace forms::win32 {
namespace {

// A control chosen with the keyboard has the focus as a screen reader sees it;
// the real focus stays on the button.
bool Focused(const FormSite& site, ControlId control) {
    const ControlId chosen = site.TheForm().KeyboardChoice();
    if (chosen != kFormItself) return control == chosen;
    HWND child = site.ChildOf(control);
    return child && GetFocus() == child;
}

}  // namespace

std::vector<AccessibleNode> FormScreenReader::AccessibleItems() { return AccessibleChildren(site_.TheForm().Model()); }

RECT FormScreenReader::ClientRectOf(const TwipRect& rect) { return ToRect(site_.PixelsOf(rect)); }

bool FormScreenReader::HasFocus(ControlId control) { return Focused(site_, control); }

void FormScreenReader::DoDefaultAction(ControlId control) {
    PostMessageW(site_.window, kDefaultActionMessage, static_cast<WPARAM>(control), 0);
}

void AnnounceFocus(const FormSite& site) {
    const auto items = AccessibleChildren(site.TheForm().Model());
    for (size_t i = 0; i < items.size(); ++i) {
        if (Focused(site, items[i].control)) {
            NotifyWinEvent(EVENT_OBJECT_FOCUS, site.window, OBJID_CLIENT, static_cast<LONG>(i + 1));
        }
    }
}

}  // namespace forms::win32
