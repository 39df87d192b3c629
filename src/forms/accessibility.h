// The accessible children of a form, as a screen reader sees them: derived
// from the form's stored list and the current state of its controls.
#pragma once

#include <string>
#include <vector>

#include "forms/form.h"

namespace forms {

struct AccessibleNode {
    AccessibleRole role;
    std::wstring name;
    std::wstring description;
    TwipRect rect;
    ControlId control;  // the control it stands for
};

// The visible items, in reading order.
std::vector<AccessibleNode> AccessibleChildren(const FormModel& model);

// The default action's name, or empty where there is none.
const wchar_t* DefaultActionOf(AccessibleRole role);

}  // namespace forms
