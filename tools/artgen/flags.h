// The flag on a language's face: one the generator draws, or the product's own picture.
#pragma once

#include <string>
#include <vector>

#include "given.h"
#include "image.h"
#include "scale.h"

namespace artgen {

// Draws the flag `source` ("built-in:<name>" or "file:<path>") at the face's
// flag column and `top`, at design.h's flag size, its outermost pixels softened into the face's ground. `lit`: the
// highlighted face, where the flag takes the one hue of the highlight. At a
// scale a built-in flag is drawn at that size; a file's is the one `larger`
// gives for it, or is box-filtered to it from the nearest given (see SourceFor).
// `top` is the scaled row, and the softened edge stays one pixel wide.
void Flag(Image& img, const std::string& source, int top, bool lit, const Scale& s = {},
          const std::vector<Given>& larger = {});

}  // namespace artgen
