#include "forms/win32/form_site.h"

#include "forms/win32/gdi.h"

namespace forms::win32 {

ControlId FormSite::IdOfChild(HWND child) const {
    if (!child || GetParent(child) != window) return kFormItself;
    const ControlId id = GetDlgCtrlID(child) - kFirstChildId;
    return id >= 0 && id < static_cast<ControlId>(children.size()) && children[id] == child ? id : kFormItself;
}

void FormSite::ShowChange(ControlId id) const {
    if (!window) return;
    if (HWND child = ChildOf(id)) {
        ShowWindow(child, form_->Model().Visible(id) ? SW_SHOWNA : SW_HIDE);
        return;
    }
    const RECT r = ToRect(ToPixels(layout.controls[id].rect, twipsPerPixel));
    InvalidateRect(window, &r, TRUE);
}

}  // namespace forms::win32
