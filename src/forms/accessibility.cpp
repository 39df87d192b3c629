#include "forms/accessibility.h"

#include <algorithm>

namespace forms {

std::vector<AccessibleNode> AccessibleChildren(const FormModel& model) {
    std::vector<AccessibleNode> nodes;
    for (const AccessibleItem& item : model.Layout().accessible) {
        const ControlId id = model.Find(item.control, item.index);
        if (!model.Visible(id)) continue;
        AccessibleNode node{item.role, item.name ? item.name : model.Caption(id),
                            item.description ? item.description : L"", model.Control(id).rect, id};
        if (item.continuedBy) {
            // One line drawn as two labels reads as one text.
            const ControlId next = model.Find(item.continuedBy);
            const TwipRect& a = node.rect;
            const TwipRect& b = model.Control(next).rect;
            if (!item.name) node.name += model.Caption(next);
            const float left = std::min(a.left, b.left), top = std::min(a.top, b.top);
            node.rect = {left, top, std::max(a.Right(), b.Right()) - left, std::max(a.Bottom(), b.Bottom()) - top};
        }
        nodes.push_back(std::move(node));
    }
    return nodes;
}

const wchar_t* DefaultActionOf(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::PressablePicture:
        case AccessibleRole::Button:
            return L"Press";
        case AccessibleRole::Text:
        case AccessibleRole::Picture:
            break;
    }
    return L"";
}

}  // namespace forms
