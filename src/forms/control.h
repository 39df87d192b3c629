// What a form is made of, as stored data: the form's settings and a table of
// controls. The table order is the stacking order, back to front, within each
// drawing layer (drawn controls below, child windows above them).
#pragma once

#include <cstdint>
#include <span>

#include "forms/geometry.h"

namespace forms {

constexpr std::int16_t kNoIndex = -1;  // a control that is not an array member

using ControlId = int;                 // position in the form's control table
constexpr ControlId kFormItself = -1;  // the bare form, where no control lies

// A control as handlers name it, resolved once from the layout to its place in
// the control table; kFormItself names none.
struct ControlRef {
    ControlId id = kFormItself;
};

enum class ControlKind {
    Image,          // drawn by the form; no window of its own
    Label,          // drawn by the form; transparent, white text
    PictureBox,     // child window with a sunken border
    CommandButton,  // child window; graphical push button
};

inline bool IsChildWindow(ControlKind k) {
    return k == ControlKind::PictureBox || k == ControlKind::CommandButton;
}

enum class MousePointer {
    Default,  // none of its own: shows the form's pointer
    Custom,   // shows the control's MouseIcon
};

struct Font {
    const wchar_t* face = L"MS Sans Serif";
    float points = 8.25f;
    int weight = 400;
    int charset = 0;
};

struct ControlSpec {
    const char* name;
    std::int16_t index;  // kNoIndex outside an array
    ControlKind kind;
    TwipRect rect;
    bool visible;
    MousePointer pointer;
    int picture;              // resource id of the picture; 0 = none
    int mouseIcon;            // resource id of the cursor; 0 = none
    const wchar_t* caption;   // labels only; nullptr = empty
    Font font;
    bool stretch;             // scale the picture to the rectangle
};

enum class FormPointer { Crosshair };

// What a screen reader is told of a form whose text and pictures it draws
// itself: its items in reading order.
enum class AccessibleRole { Text, Picture, PressablePicture, Button };

struct AccessibleItem {
    AccessibleRole role;
    const char* control;          // the control it stands for: its rectangle and visibility
    std::int16_t index;
    const wchar_t* name;          // nullptr: the control's caption
    const wchar_t* description;   // nullptr: none
    const char* continuedBy;      // a label whose caption and rectangle continue this one; nullptr: none
};

struct FormSpec {
    const char* name;
    const wchar_t* caption;
    float clientWidth;   // twips
    float clientHeight;  // twips
    int icon;            // resource id
    FormPointer pointer;
    Font font;
    std::span<const ControlSpec> controls;
    std::span<const AccessibleItem> accessible;
};

}  // namespace forms
