// What tests of any form share: naming the receiver of a point, points in
// client pixels, and the number of the run-time error a step raises.
#pragma once

#include <string>

#include "forms/errors.h"
#include "forms/form.h"

inline std::string NameAt(const forms::FormModel& m, forms::ControlId id) {
    if (id == forms::kFormItself) return "form";
    return forms::ControlName(m.Control(id).name, m.Control(id).index);
}

// Client pixel points (15 twips each), centred in the pixel.
inline float T(int pixels) { return pixels * 15.0f + 7.0f; }

// Who receives the pointer at a pixel.
struct HitCase {
    int x, y;
    const char* receiver;
};

// The number of the run-time error that `step` raises; 0 when it raises none.
template <class F>
int RuntimeErrorNumber(F&& step) {
    try {
        step();
    } catch (const forms::RuntimeError& e) {
        return e.number;
    }
    return 0;
}
