// A product's art.list, as tools/product/product.py writes it: one picture to
// make per line, its fields split by tabs.
#pragma once

#include <fstream>
#include <string>

#include "faces.h"

namespace artgen {

struct ArtItem {
    enum class Kind {
        kDraw,  // draw <file>: a picture of fixed words and shapes, or the hand cursor
        kFace,  // face <number> <latin|cjk> <flag> <highlighted bits> <words>: a language's two faces
        kCopy,  // copy <file> <picture>: the product's own picture, as it is
        kIcon,  // icon <icon file>: the window's icon and the file's icon group
    };
    Kind kind;
    std::string file;    // draw, copy: the file written; face: the language's number as the list spells it
    std::string source;  // copy, icon: the product's file
    Language language;   // face
};

// Read a line at a time, so that the pictures of the lines before a bad one
// are written before the bad one stops the generator.
class ArtList {
public:
    explicit ArtList(const std::string& path);  // throws when the list cannot be read

    // The next item, past blank lines and # comments; false at the end.
    // Throws on a line of no known form.
    bool Next(ArtItem& item);

private:
    std::string path_;
    std::ifstream in_;
};

}  // namespace artgen
