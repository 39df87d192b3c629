#pragma once

#include "forms/runtime.h"

namespace chooser {

// Names the running version of Windows in Label3, or leaves it as it is for
// a version it does not know.
void ShowOperatingSystem(forms::Runtime& rt);

}  // namespace chooser
