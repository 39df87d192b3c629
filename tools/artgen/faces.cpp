#include "faces.h"

#include "design.h"
#include "flags.h"
#include "palette.h"

namespace artgen {

Image Face(const Language& l, bool lit, const Font& latin, const Font& cjk, const Scale& s) {
    // The grid of a face, by the script of its words: Latin words, drawn a quarter
    // pixel larger, stand lower and further right, and so do their flag and rule.
    const design::Script& g = l.latin ? design::kLatin : design::kCjk;
    Image img(s.Width(design::kFace.width), s.Height(design::kFace.height), lit ? kAzure : kNavy);
    Flag(img, l.flag, s(g.flagTop), lit, s, l.flagLarger);
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    const Mask words = (l.latin ? latin : cjk).Render(l.words, g.fontSize * s.Factor());
    if (g.shadow && !lit)
        Blend(img, words, s(g.wordsLeft + g.shadow), s(g.wordsTop + g.shadow), Rgb{0, 10, 40});
    Blend(img, words, s(g.wordsLeft), s(g.wordsTop), l.latin && lit ? kPaleBlue : kWhite);
    const int ruleRight = design::kRuleLeft + design::kRuleWidth;
    if (!lit)
        img.Fill(s(design::kRuleLeft), s(g.ruleRow), s(ruleRight) - s(design::kRuleLeft),
                 s(g.ruleRow + 1) - s(g.ruleRow), kRule);
    return img;
}

}  // namespace artgen
