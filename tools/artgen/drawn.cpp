#include "drawn.h"

#include <stdexcept>

#include "design.h"
#include "palette.h"

namespace artgen {

Image Drawn(const std::string& name, const Font& latin, const Scale& s) {
    constexpr design::DrawnWords d = design::kDrawn;
    // Condensed a little to their width on the button.
    const auto exitWords = [&] {
        const Mask wide = latin.Render(U"Exit Setup", d.exitSize * s.Factor());
        return Fit(wide, s(d.exitWidth), wide.height);
    };
    const auto ground = [&](design::Size size) { return Image(s.Width(size.width), s.Height(size.height), kNavy); };
    if (name == "Image4.bmp") {
        Image img = ground(design::kImage4);
        Blend(img, latin.Render(U"Please Select Language:", d.promptSize * s.Factor()), 0, s(d.promptTop), kWhite);
        return img;
    }
    if (name == "Image3.bmp") {
        Image img = ground(design::kImage3);
        Blend(img, exitWords(), 0, s(d.exitPictureTop), kWhite);
        return img;
    }
    if (name == "Command1.bmp") {
        Image img = ground(design::kCommand1);
        // The same words, right and lower.
        Blend(img, exitWords(), s(d.exitButtonLeft), s(d.exitButtonTop), kWhite);
        return img;
    }
    if (name == "Picture1.bmp") return ground(design::kPicture1);
    throw std::runtime_error("nothing to draw for " + name);
}

Image Logo(const std::u32string& words, const Font& latin, const Scale& s) {
    constexpr design::DrawnWords d = design::kDrawn;
    Image img(s.Width(design::kImage2.width), s.Height(design::kImage2.height), kNavy);
    // The name fills its box, condensed or widened: the configure step refuses one that would lose its shape.
    Blend(img, Fit(latin.Render(words, d.logoSize * s.Factor()), s(d.logoWidth), s(d.logoHeight)), s(d.logoLeft),
          s(d.logoTop), kWhite);
    const int right = d.logoLeft + d.logoWidth, bottom = d.logoRuleTop + d.logoRuleHeight;
    img.Fill(s(d.logoLeft), s(d.logoRuleTop), s(right) - s(d.logoLeft), s(bottom) - s(d.logoRuleTop),
             Rgb{128, 128, 128});  // the grey detail beneath
    return img;
}

}  // namespace artgen
