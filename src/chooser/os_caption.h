#pragma once

#include <span>

#include "forms/runtime.h"
#include "product.h"

namespace chooser {

// Names the running version of Windows in Label3, or leaves it as it is for
// a version it does not know. `newer`: the product's own captions for the
// Windows NT versions the built-in table leaves out (Vista on).
void ShowOperatingSystem(forms::Runtime& rt, std::span<const product::OsCaption> newer = product::kOsCaptions);

}  // namespace chooser
