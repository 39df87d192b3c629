#include "forms/win32/form_site.h"

#include "forms/win32/gdi.h"

namespace forms::win32 {

ControlId FormSite::IdOfChild(HWND child) const {
    if (!child || GetParent(child) != window) return kFormItself;
    const ControlId id = GetDlgCtrlID(child) - kFirstChildId;
    return id >= 0 && id < static_cast<ControlId>(children.size()) && children[id] == child ? id : kFormItself;
}

void FormSite::ShowVisible(ControlId id, bool visible) {
    if (!window) return;
    if (HWND child = ChildOf(id)) {
        ShowWindow(child, visible ? SW_SHOWNA : SW_HIDE);
        return;
    }
    RedrawControl(id);
}

void FormSite::ShowCaption(ControlId id) {
    if (!ChildOf(id)) RedrawControl(id);
}

void FormSite::RedrawControl(ControlId id) { Redraw(ToRect(PixelsOf(layout.controls[id].rect))); }

void FormSite::Redraw(const RECT& area) {
    if (!window) return;
    RECT both;
    UnionRect(&both, &changed_, &area);
    changed_ = both;
    InvalidateRect(window, &area, FALSE);
}

}  // namespace forms::win32
