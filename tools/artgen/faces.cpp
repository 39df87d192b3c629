#include "faces.h"

#include "flags.h"
#include "palette.h"

namespace artgen {
namespace {

// The grid of a face, by the script of its words: Latin words, drawn a quarter
// pixel larger, stand lower and further right, and so do their flag and rule.
struct Grid {
    int flagTop, wordsLeft, wordsTop, ruleRow;
};
constexpr Grid kLatinGrid{5, 62, 13, 39}, kCjkGrid{4, 60, 10, 38};

}  // namespace

Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk) {
    const Grid& g = l.latin ? kLatinGrid : kCjkGrid;
    Image img(245, 45, lit ? kAzure : kNavy);
    Flag(img, l.flag, g.flagTop, lit);
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    const Mask words = l.latin ? latin.Render(l.words, 12.25) : cjk.Render(l.words, 12);
    if (l.latin && !lit) Blend(img, words, g.wordsLeft + 1, g.wordsTop + 1, Rgb{0, 10, 40});  // the shadow
    Blend(img, words, g.wordsLeft, g.wordsTop, l.latin && lit ? kPaleBlue : kWhite);
    if (!lit) img.Fill(4, g.ruleRow, 238, 1, kRule);
    return img;
}

}  // namespace artgen
