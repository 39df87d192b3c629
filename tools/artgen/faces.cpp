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

Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk, const Scale& s) {
    const Grid& g = l.latin ? kLatinGrid : kCjkGrid;
    Image img(s.Width(245), s.Height(45), lit ? kAzure : kNavy);
    Flag(img, l.flag, s(g.flagTop), lit, s);
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    const Mask words = l.latin ? latin.Render(l.words, 12.25 * s.Factor()) : cjk.Render(l.words, 12 * s.Factor());
    if (l.latin && !lit) Blend(img, words, s(g.wordsLeft + 1), s(g.wordsTop + 1), Rgb{0, 10, 40});  // the shadow
    Blend(img, words, s(g.wordsLeft), s(g.wordsTop), l.latin && lit ? kPaleBlue : kWhite);
    if (!lit) img.Fill(s(4), s(g.ruleRow), s(242) - s(4), s(g.ruleRow + 1) - s(g.ruleRow), kRule);
    return img;
}

}  // namespace artgen
