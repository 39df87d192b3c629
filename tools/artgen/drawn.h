// The pictures drawn from fixed words and shapes (the prompt, the exit
// button's words, the background tile) and the maker's logo.
#pragma once

#include <string>

#include "image.h"
#include "scale.h"
#include "text.h"

namespace artgen {

// The picture that becomes the file `name`, at a scale (its words set at that
// size, not scaled); throws for a name it does not draw.
Image Drawn(const std::string& name, const Font& latin, const Scale& s = {});

// The maker's logo: its words (the company's name) scaled into its box, a grey rule beneath.
Image Logo(const std::u32string& words, const Font& latin, const Scale& s = {});

}  // namespace artgen
