// The hand cursor shown over a language's face.
#pragma once

#include "image.h"

namespace artgen {

// The hand: index finger up with its tip at (12, 1), the hotspot.
Icon4 HandCursor();

}  // namespace artgen
