// A product's art.list: what the art generator draws or copies. menubuild.product.configure
// writes it (its ART_KINDS names the same fields); this is its one reader.
//
// One picture to make per line; blank lines and lines starting with # are skipped.
// A line is its kind, then its fields as name=value, split by tabs, each named once
// (a value may hold '=' but no tab). Every field of the kind must be there, and no other:
//
//   font  script=<ISO 15924 tag> grid=<latin|cjk|other> source=<path>
//                                      the font that draws words in a script, and the face's grid
//                                      they stand on; before the lines that draw in it. The Latin
//                                      one (Latn) also draws the fixed pictures' words and the sheet's
//   draw  file=<file>                  a picture of fixed words and shapes, or the hand cursor (Hand.cur)
//   logo  file=<file> words=<text>     the maker's logo, the company's name in capitals
//   face  code=<1-99> name=<its English name> flag=<built-in:name|file:path> highlighted_bits=<8|24> words=<text>
//                                      a language's two faces, CountryImage<code>.bmp and CountryPic<code>.bmp
//   copy  file=<file> source=<path>    the product's own picture, as it is
//   larger  file=<file> dpi=<dpi> source=<path>
//                                      the product's own picture <file> given for a drawn scale;
//                                      before the copy line of <file>
//   larger-flag  code=<1-99> dpi=<dpi> source=<path>
//                                      a language's flag file given for a drawn scale; before its face line
//   face-font  code=<1-99> source=<path> face=<index> language=<BCP 47 tag, or empty>
//                                      the font of a language's own that draws its words (its words'
//                                      script's, as ScriptFonts::Own says), the face of the file, and the
//                                      language HarfBuzz is told for its glyph forms; before its face line
//   icon  source=<path>                the window's icon and the file's icon group
//   icon-sizes  source=<path>          an icon file of more images of the icon, for other
//                                      sizes: each an image of the group after it; after the icon line
//
// Texts are UTF-8.
#pragma once

#include <fstream>
#include <string>

#include "faces.h"

namespace artgen {

struct ArtItem {
    enum class Kind { kFont, kDraw, kLogo, kFace, kCopy, kLarger, kLargerFlag, kFaceFont, kIcon, kIconSizes };
    Kind kind;
    std::string file;    // draw, logo, copy, larger: the file written; font: the script's tag
    std::string source;  // copy, larger, larger-flag, icon: the product's file; font, face-font: the font file
    Grid grid = Grid::kLatin;  // font
    std::u32string text; // logo: its words
    Language language;   // face; larger-flag, face-font: its code
    int dpi = 96;        // larger, larger-flag
    int face = 0;        // face-font: the face of the font file
    std::string forms;   // face-font: the language HarfBuzz is told, or empty
};

// Read a line at a time, so that the pictures of the lines before a bad one
// are written before the bad one stops the generator.
class ArtList {
public:
    explicit ArtList(const std::string& path);  // throws when the list cannot be read

    // The next item; false at the end. Throws on a line of no known kind, or
    // whose fields are not the kind's, naming the line and the field.
    bool Next(ArtItem& item);

private:
    std::string path_;
    std::ifstream in_;
};

}  // namespace artgen
