// A language's face on the chooser: its flag and its words, normal or highlighted.
#pragma once

#include <string>
#include <vector>

#include "given.h"
#include "image.h"
#include "scale.h"
#include "text.h"

namespace artgen {

struct Language {
    int code;          // its number in the names of its two pictures
    bool latin;        // words in the Latin font; any other script in the CJK one
    std::string flag;  // "built-in:<name>" or "file:<path>"
    int highlightedBits;  // 8 or 24: how the highlighted face is stored
    std::u32string words;
    std::vector<Given> flagLarger;  // a flag file's own pictures for other scales
};

// The 245 x 45 face of a language, or that face at a scale; `lit` is the highlighted one.
Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk, const Scale& s = {});

}  // namespace artgen
