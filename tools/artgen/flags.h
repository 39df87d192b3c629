// The flag on a language's face: one the generator draws, or the product's own picture.
#pragma once

#include <string>

#include "image.h"

namespace artgen {

// Draws the flag `source` ("built-in:<name>" or "file:<path>") at the face's
// flag column and `top`, at design.h's flag size, its outermost pixels softened into the face's ground. `lit`: the
// highlighted face, where the flag takes the one hue of the highlight.
void Flag(Image& img, const std::string& source, int top, bool lit);

}  // namespace artgen
