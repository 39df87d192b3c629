// The pictures drawn from fixed words and shapes: the prompt, the exit
// button's words, the logo and the background tile.
#pragma once

#include <string>

#include "image.h"
#include "scale.h"
#include "text.h"

namespace artgen {

// The picture that becomes the file `name`, at a scale (its words set at that
// size, not scaled); throws for a name it does not draw.
Image Drawn(const std::string& name, const Font& latin, const Scale& s = {});

}  // namespace artgen
