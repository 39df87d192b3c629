#include "faces.h"

#include "design.h"
#include "flags.h"
#include "palette.h"

namespace artgen {

Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk) {
    // The grid of a face, by the script of its words: Latin words, drawn a quarter
    // pixel larger, stand lower and further right, and so do their flag and rule.
    const design::Script& g = l.latin ? design::kLatin : design::kCjk;
    Image img(design::kFace.width, design::kFace.height, lit ? kAzure : kNavy);
    Flag(img, l.flag, g.flagTop, lit);
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    const Mask words = (l.latin ? latin : cjk).Render(l.words, g.fontSize);
    if (g.shadow && !lit) Blend(img, words, g.wordsLeft + g.shadow, g.wordsTop + g.shadow, Rgb{0, 10, 40});
    Blend(img, words, g.wordsLeft, g.wordsTop, l.latin && lit ? kPaleBlue : kWhite);
    if (!lit) img.Fill(design::kRuleLeft, g.ruleRow, design::kRuleWidth, 1, kRule);
    return img;
}

}  // namespace artgen
