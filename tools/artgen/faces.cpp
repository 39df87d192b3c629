#include "faces.h"

#include <stdexcept>

#include "flags.h"
#include "palette.h"
#include "utf8.h"

namespace artgen {
namespace {

const design::Script& GridFacts(Grid grid) {
    return grid == Grid::kLatin ? design::kLatin : grid == Grid::kCjk ? design::kCjk : design::kOther;
}

[[noreturn]] void Refuse(const Language& l, const Scale& s, int pixels, const std::string& what) {
    throw std::runtime_error("the words of " + l.name + " (code " + std::to_string(l.code) + "), '" + ToUtf8(l.words) +
                             "', " + what + " by " + std::to_string(pixels) + " pixel" + (pixels == 1 ? "" : "s") +
                             " at " + std::to_string(s.dpi) +
                             " dpi: shorten them, or give both faces (normal_face, highlighted_face)");
}

}  // namespace

FaceWords PlaceWords(const Language& l, const ScriptFonts& fonts, const Scale& s) {
    const design::Script& g = GridFacts(fonts.For(ScriptOf(l.words)).grid);
    FaceWords w{&g, LayOutWords(l.words, fonts, g.fontSize * s.Factor()), {}, 0, 0, 0, 0};
    w.ink = Draw(w.layout, g.fontSize * s.Factor());
    // Latin words a quarter pixel larger than the CJK ones: their descender reaches
    // row 24 and the shadow row 25 of the face, as the CJK words fill rows 10 to 21.
    // Words on a baseline stand on it whatever their marks above and below.
    const int row = g.baseline ? g.baseline : g.wordsTop;
    w.shadowX = s(g.wordsLeft + g.shadow) - s(g.wordsLeft);
    w.shadowY = s(row + g.shadow) - s(row);
    const int left = s(g.wordsLeft), right = s(design::kWordsRight);
    w.x = w.layout.rightToLeft ? right - w.shadowX - w.ink.width : left;
    w.y = g.baseline ? s(g.baseline) - w.ink.baseline : s(g.wordsTop);
    if (const int room = right - left - w.shadowX, over = w.ink.width - room; over > 0)
        Refuse(l, s, over, "are wider than their room on the face (" + std::to_string(room) + " pixels)");
    if (const int over = s(design::kWordsMargin) - w.y; over > 0)
        Refuse(l, s, over, "reach above the face's top margin");
    if (const int over = w.y + w.ink.height + w.shadowY - (s(g.ruleRow) - s(design::kWordsMargin)); over > 0)
        Refuse(l, s, over, "reach below the room above the face's rule");
    return w;
}

Image Face(const Language& l, bool lit, const ScriptFonts& fonts, const Scale& s) {
    // The grid of a face, by the script of its words: Latin words, drawn a quarter
    // pixel larger, stand lower and further right, and so do their flag and rule.
    const FaceWords w = PlaceWords(l, fonts, s);
    const design::Script& g = *w.grid;
    Image img(s.Width(design::kFace.width), s.Height(design::kFace.height), lit ? kAzure : kNavy);
    Flag(img, l.flag, s(g.flagTop), lit, s, l.flagLarger);
    if (g.shadow && !lit) Blend(img, w.ink, w.x + w.shadowX, w.y + w.shadowY, Rgb{0, 10, 40});
    // Words that cast a shadow on the normal face are pale blue on the lit one.
    Blend(img, w.ink, w.x, w.y, g.shadow && lit ? kPaleBlue : kWhite);
    const int ruleRight = design::kRuleLeft + design::kRuleWidth;
    if (!lit)
        img.Fill(s(design::kRuleLeft), s(g.ruleRow), s(ruleRight) - s(design::kRuleLeft),
                 s(g.ruleRow + 1) - s(g.ruleRow), kRule);
    return img;
}

}  // namespace artgen
