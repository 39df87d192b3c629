// A language's face on the chooser: its flag and its words, normal or highlighted.
#pragma once

#include <string>
#include <vector>

#include "design.h"
#include "given.h"
#include "image.h"
#include "scale.h"
#include "shaping.h"
#include "text.h"

namespace artgen {

struct Language {
    int code;          // its number in the names of its two pictures
    std::string name;  // its name in English, for messages
    std::string flag;  // "built-in:<name>" or "file:<path>"
    int highlightedBits;  // 8 or 24: how the highlighted face is stored
    std::u32string words;
    std::vector<Given> flagLarger;  // a flag file's own pictures for other scales
};

// The words of a face at a scale: laid out, drawn, and where they stand.
struct FaceWords {
    const design::Script* grid;
    Layout layout;
    Mask ink;
    int x, y;                // the ink's top-left corner on the face
    int shadowX, shadowY;    // the shadow's offset from it, on a normal face of a grid that casts one
};

// The face's grid for words in a script, and the words placed on it: left-to-right
// words from the room's left, right-to-left ones ending at its right. Throws,
// naming the language and by how many pixels, where the ink (with its shadow)
// would leave the room: wider than it, or nearer the face's top edge or its rule
// than the margin.
FaceWords PlaceWords(const Language& l, const ScriptFonts& fonts, const Scale& s = {});

// The 245 x 45 face of a language, or that face at a scale; `lit` is the highlighted one.
Image Face(const Language& l, bool lit, const ScriptFonts& fonts, const Scale& s = {});

}  // namespace artgen
